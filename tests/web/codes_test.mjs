// A match cut off by a reload, resumed in the browser (a phone's viewport):
// two computer seats play a "301" match until a few darts are kept in the
// page's storage (tobelyn.match, written after every dart); the page is
// reloaded, the host's menu offers "Resume match" under Play..., and the
// match goes on from the kept darts with the same seed.
import { check, frames, openGame } from './common.mjs';
import { playScript } from './support.mjs';

const CPU_SEATS = 'hints 0\nhintsChosen 1\nseat1Level 5\nseat2Level 4\nfastCpu 1\n';
const MATCH_KEY = 'tobelyn.match';

// The seed and the dart bytes of a match code (host/match_code.h), and how
// many darts it holds.
export function decodeCode(code) {
  const bytes = Buffer.from(code.replace(/-/g, '+').replace(/_/g, '/'), 'base64');
  let at = 1;
  const varint = () => {
    let value = 0;
    let shift = 0;
    for (;;) {
      const b = bytes[at++];
      value |= (b & 0x7f) << shift;
      shift += 7;
      if ((b & 0x80) === 0) return value;
    }
  };
  varint();  // the sequence
  varint();  // the game
  at += 1 + bytes[at];  // the options
  const players = bytes[at++];
  for (let i = 0; i < players; ++i) at += 2 + bytes[at + 1];
  const seed = bytes.subarray(at, at + 8).toString('hex');
  at += 8;
  const count = varint();
  return { seed, count, darts: bytes.subarray(at, bytes.length - 4) };
}

const kept = (page) => page.evaluate((key) => window.localStorage.getItem(key) || '', MATCH_KEY);

async function keptDarts(page) {
  const code = (await kept(page)).trim();
  return code ? decodeCode(code) : { seed: '', count: 0, darts: Buffer.alloc(0) };
}

export async function testResumeAfterReload(browser, url) {
  const context = await browser.newContext({ viewport: { width: 390, height: 844 },
    isMobile: true, hasTouch: true });
  const page = await openGame(context, url + '?test', 'resume', { 'tobelyn.host': CPU_SEATS });
  const toMatch = 'clock 100000\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n' +
    'run 14\nkey 0x28\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n';
  await playScript(page, toMatch);
  let before = { count: 0 };
  for (let i = 0; i < 40 && before.count < 6; ++i) {
    await playScript(page, 'run 200\n');
    await frames(page, 2);
    before = await keptDarts(page);
  }
  check('a match under way is kept in the page\'s storage after every dart', before.count >= 6,
    `${before.count} darts kept`);

  await page.reload();
  await page.waitForFunction(() => window.tobelyn && window.tobelyn.running);
  await page.evaluate(() => window.tobelyn.module._webMenu());
  // The menu: Resume, then Play... (a match is kept), whose first row is
  // "Resume match".
  await playScript(page, 'clock 200000\nrun 2\nkey 0x28\nrun 2\nkey 0x0D\nrun 2\nkey 0x0D\n' +
    'run 3\n');
  const caughtUp = await page.evaluate(() => window.tobelyn.module._webScene());
  check('after a reload the host\'s menu resumes the kept match', caughtUp === 5,
    `scene ${caughtUp}`);
  let after = before;
  for (let i = 0; i < 40 && after.count <= before.count; ++i) {
    await playScript(page, 'run 200\n');
    await frames(page, 2);
    after = await keptDarts(page);
  }
  const whole = Math.floor((before.count * 20) / 8);
  check('the resumed match goes on from the kept darts with the same seed',
    after.count > before.count && after.seed === before.seed &&
    after.darts.subarray(0, whole).equals(before.darts.subarray(0, whole)),
    `${before.count} then ${after.count} darts`);
  await context.close();
}
