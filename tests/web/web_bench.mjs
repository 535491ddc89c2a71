// Figures of the browser game in headless Chromium, printed, never judged:
// the site's transfer size compressed with gzip, the time from navigation
// to the first frame drawn, the CPU of all of Chromium's processes over a
// stretch of a match, and the input latency from a key event's time stamp
// to the first frame drawn that shows it.
//
//   node web_bench.mjs --site DIR [--seconds 10]
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { launch, serve } from './support.mjs';

const args = {};
for (let i = 2; i < process.argv.length; i += 2) args[process.argv[i].slice(2)] = process.argv[i + 1];
const site = path.resolve(args.site);
const seconds = Number(args.seconds || 10);
const TICKS = 100;  // clock ticks a second in /proc/PID/stat

function median(values) {
  const v = [...values].sort((a, b) => a - b);
  return v[Math.floor(v.length / 2)];
}

// CPU ticks (user + system) of all descendants of a process (Chromium's
// processes, started by this one).
function treeTicks(rootPid) {
  const children = new Map();
  const ticks = new Map();
  for (const name of fs.readdirSync('/proc')) {
    if (!/^[0-9]+$/.test(name)) continue;
    let stat;
    try {
      stat = fs.readFileSync(`/proc/${name}/stat`, 'utf8');
    } catch (e) {
      continue;
    }
    const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    const ppid = Number(fields[1]);
    ticks.set(Number(name), Number(fields[11]) + Number(fields[12]));
    if (!children.has(ppid)) children.set(ppid, []);
    children.get(ppid).push(Number(name));
  }
  let total = -(ticks.get(rootPid) || 0);
  const stack = [rootPid];
  while (stack.length) {
    const pid = stack.pop();
    total += ticks.get(pid) || 0;
    stack.push(...(children.get(pid) || []));
  }
  return total;
}

async function main() {
  console.log(`== browser figures, ${new Date().toISOString().slice(0, 16)} UTC, ` +
    `load average ${fs.readFileSync('/proc/loadavg', 'utf8').split(' ').slice(0, 3).join(' ')}`);

  // Transfer size: every file of the site, each compressed with gzip -9.
  let raw = 0, gz = 0;
  const rows = [];
  for (const f of fs.readdirSync(site).sort()) {
    const body = fs.readFileSync(path.join(site, f));
    const z = zlib.gzipSync(body, { level: 9 }).length;
    raw += body.length;
    gz += z;
    rows.push(`${f} ${(z / 1024).toFixed(1)} KB`);
  }
  console.log(`site transfer size, gzip: ${(gz / 1024).toFixed(1)} KB (${(raw / 1024).toFixed(1)} KB ` +
    `uncompressed): ${rows.join(', ')}`);

  const server = await serve(site);
  const browser = await launch();
  const context = await browser.newContext({ viewport: { width: 800, height: 900 } });

  // Time to the first frame: navigation start to the first frame drawn, 7
  // loads with the files in the browser's cache, plus the first load.
  const firsts = [];
  const page = await context.newPage();
  for (let i = 0; i < 8; ++i) {
    await page.goto(server.url + '?load=' + i);
    await page.waitForFunction(() => window.tobelyn && window.tobelyn.presents > 0);
    firsts.push(await page.evaluate(() => window.tobelyn.firstPresentMs));
    await page.waitForTimeout(200);
  }
  console.log(`navigation to first frame drawn: first load ${firsts[0].toFixed(1)} ms; ` +
    `cached loads median ${median(firsts.slice(1)).toFixed(1)} ms (min ${Math.min(...firsts.slice(1)).toFixed(1)}, ` +
    `max ${Math.max(...firsts.slice(1)).toFixed(1)})`);

  // Input latency on the title: each arrow key moves the cursor, which the
  // next pass draws. Key event time stamp to the first frame drawn after
  // the key reached the game.
  await page.goto(server.url);
  await page.waitForFunction(() => window.tobelyn && window.tobelyn.presents > 0);
  await page.waitForTimeout(1000);
  await page.evaluate(() => {
    window.latencies = [];
    window.addEventListener('keydown', (e) => {
      const t = window.tobelyn;
      const before = t.presents;
      const stamp = e.timeStamp;
      const poll = () => {
        if (t.presents > before) window.latencies.push(t.lastPresentMs - stamp);
        else requestAnimationFrame(poll);
      };
      requestAnimationFrame(poll);
    }, true);
  });
  for (let i = 0; i < 60; ++i) {
    await page.keyboard.press(i % 2 ? 'ArrowUp' : 'ArrowDown');
    // The menus take one key per 200 ms; keys come 260 to 330 ms apart.
    await page.waitForTimeout(260 + (i * 37) % 70);
  }
  await page.waitForTimeout(300);
  const lat = (await page.evaluate(() => window.latencies)).sort((a, b) => a - b);
  const mean = lat.reduce((a, b) => a + b, 0) / lat.length;
  const p99 = lat[Math.min(lat.length - 1, Math.ceil(lat.length * 0.99) - 1)];
  console.log(`input latency, key event to the frame drawn: mean ${mean.toFixed(1)} ms, ` +
    `99th percentile ${p99.toFixed(1)} ms, over ${lat.length} keys`);

  // CPU: into a "301" match, then aiming (the pointer moves every pass), in
  // a desktop-sized page and on a phone-sized touch screen.
  await page.close();
  const phone = await browser.newContext({
    viewport: { width: 412, height: 915 }, deviceScaleFactor: 2.625, hasTouch: true, isMobile: true,
  });
  const runs = [['an 800x900 page', context, false], ['a 412x915 phone screen', phone, false],
    ['an 800x900 page, passes stopped (animation frames only, for comparison)', context, true]];
  for (const [label, ctx, stopped] of runs) {
    const p = await ctx.newPage();
    await p.goto(server.url + '?cpu');
    await p.waitForFunction(() => window.tobelyn && window.tobelyn.presents > 0);
    // Title, "301", one player, the ready screen, the announcement: then
    // the pointer slides (step 3). A press lost to a busy machine is made
    // again.
    let step = -1;
    for (let i = 0; i < 9 && !(i >= 5 && step === 3); ++i) {
      await p.keyboard.press('Enter');
      await p.waitForTimeout(900);
      step = await p.evaluate(() => window.tobelyn.module._webSceneStep());
    }
    if (stopped) await p.evaluate(() => { window.tobelyn.manual = true; });
    const t0 = treeTicks(process.pid);
    const w0 = Date.now();
    await p.waitForTimeout(seconds * 1000);
    const used = (treeTicks(process.pid) - t0) / TICKS;
    const wall = (Date.now() - w0) / 1000;
    console.log(`CPU of all Chromium processes over ${wall.toFixed(1)} s of a match (step ${step}), ` +
      `${label}: ${((100 * used) / wall).toFixed(1)} % of one core`);
    await p.close();
  }
  await browser.close();
  await server.close();
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
