// The browser game against the native one: the golden scripts played in the
// page give the headless build's frames pixel for pixel, and the landing
// table hashes as the Linux build's.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { check, openGame } from './common.mjs';
import { playScript, readPng, tempDir } from './support.mjs';

export async function testFrames(browser, url, args) {
  const work = tempDir('tobelyn-frames-');
  const scripts = ['golden_menus.txt', 'golden_option_about.txt', 'golden_301.txt'];
  const context = await browser.newContext({ viewport: { width: 480, height: 800 } });
  // Compared with the game alone: the menu layer's hints are switched off.
  await context.addInitScript(() => {
    window.localStorage.setItem('tobelyn.host', 'hints 0\nhintsChosen 1\n');
  });
  for (const script of scripts) {
    const text = fs.readFileSync(path.join(args.golden, script), 'utf8');
    const dir = path.join(work, script);
    fs.mkdirSync(dir);
    execFileSync(args.replay, [path.join(args.golden, script)], { cwd: dir, stdio: 'ignore' });
    const page = await openGame(context, url + '?test', 'frames ' + script);
    const shots = await playScript(page, text);
    await page.close();
    for (const [name, b64] of Object.entries(shots)) {
      const mine = Buffer.from(b64, 'base64');
      const theirs = readPng(path.join(dir, name));
      let differing = 0;
      for (let i = 0; i < mine.length; i += 4) {
        if (mine[i] !== theirs.rgba[i] || mine[i + 1] !== theirs.rgba[i + 1] ||
            mine[i + 2] !== theirs.rgba[i + 2]) {
          differing++;
        }
      }
      check(`frame ${script} ${name} equals the headless frame`, differing === 0,
        `${differing} pixels differ`);
    }
  }
  await context.close();
  fs.rmSync(work, { recursive: true, force: true });
}

export async function testScoring(browser, url, args) {
  const context = await browser.newContext();
  const page = await openGame(context, url + '?test', 'scoring');
  const hash = await page.evaluate(async () => {
    const idle = { present() {}, play() {}, stop() {}, ended() {} };
    const m = await createTobelyn({ tob: idle });
    return m.UTF8ToString(m._webLandingHash());
  });
  check('the landing table and gauge arc hash as the Linux build\'s', hash === args.hash,
    `${hash} against ${args.hash}`);
  await context.close();
}
