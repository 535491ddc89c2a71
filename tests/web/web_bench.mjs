// Figures of the browser game in headless Chromium, printed, never judged:
// the site's transfer size compressed with gzip, the time from navigation
// to the first frame drawn, the CPU of all of Chromium's processes over a
// stretch of a match, and the input latency from a key event's time stamp
// to the first frame drawn that shows it.
//
// Two figures are measured side by side with a minimal page in the same
// run, so that the machine's load counts alike for both: a cold load (a
// fresh browser context each time) against a blank page that fetches files
// of the same sizes and paints once, and the CPU while aiming against a
// page that redraws the same moving band of rows each frame at the same
// scale.
//
//   node web_bench.mjs --site DIR [--seconds 10] [--loads 7]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { launch, serve } from './support.mjs';

const args = {};
for (let i = 2; i < process.argv.length; i += 2) args[process.argv[i].slice(2)] = process.argv[i + 1];
const site = path.resolve(args.site);
const seconds = Number(args.seconds || 10);
const loads = Number(args.loads || 7);  // cold loads of each page
const TICKS = 100;  // clock ticks a second in /proc/PID/stat

function median(values) {
  const v = [...values].sort((a, b) => a - b);
  return v[Math.floor(v.length / 2)];
}

// CPU ticks (user + system) of each descendant of a process (Chromium's
// processes, started by this one), by process id.
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
  const tree = new Map();
  const stack = [...(children.get(rootPid) || [])];
  while (stack.length) {
    const pid = stack.pop();
    tree.set(pid, ticks.get(pid) || 0);
    stack.push(...(children.get(pid) || []));
  }
  return tree;
}

// Ticks the descendants used between two readings: a process that ended
// in between counts what it used up to the first reading's end (nothing
// after), one that started counts all it used.
function ticksBetween(before, after) {
  let total = 0;
  for (const [pid, t] of after) total += Math.max(0, t - (before.get(pid) || 0));
  return total;
}

async function main() {
  console.log(`== browser figures, ${new Date().toISOString().slice(0, 16)} UTC, ` +
    `load average ${fs.readFileSync('/proc/loadavg', 'utf8').split(' ').slice(0, 3).join(' ')}`);

  // Transfer size: every file of the site, each compressed with gzip -9;
  // the install sheet's screenshots apart (only an install fetches them).
  const sizes = { raw: 0, gz: 0, rows: [] };
  const shots = { raw: 0, gz: 0, rows: [] };
  for (const f of fs.readdirSync(site).sort()) {
    if (f.endsWith('.gz') || !fs.statSync(path.join(site, f)).isFile()) continue;
    const body = fs.readFileSync(path.join(site, f));
    const z = zlib.gzipSync(body, { level: 9 }).length;
    const into = f.startsWith('screenshot') ? shots : sizes;
    into.raw += body.length;
    into.gz += z;
    into.rows.push(`${f} ${(body.length / 1024).toFixed(1)}/${(z / 1024).toFixed(1)} KB`);
  }
  console.log(`site transfer size, gzip: ${(sizes.gz / 1024).toFixed(1)} KB (${(sizes.raw / 1024).toFixed(1)} KB ` +
    `uncompressed); each file uncompressed/gzip: ${sizes.rows.join(', ')}`);
  if (shots.rows.length) {
    console.log(`install sheet screenshots, apart: ${(shots.gz / 1024).toFixed(1)} KB gzip ` +
      `(${(shots.raw / 1024).toFixed(1)} KB): ${shots.rows.join(', ')}`);
  }

  const server = await serve(site);
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tobelyn-bench-'));
  const blank = await serve(blankSite(path.join(work, 'blank')));
  const band = await serve(bandSite(path.join(work, 'band')));
  const browser = await launch();

  // Cold loads, side by side: each in a fresh context (empty cache), the
  // game and the blank page taking turns.
  const cold = { game: [], blank: [] };
  for (let i = 0; i < loads; ++i) {
    for (const [kind, url, ready, time] of [
      ['game', server.url, () => window.tobelyn && window.tobelyn.presents > 0,
        () => window.tobelyn.firstPresentMs],
      ['blank', blank.url, () => window.paintedMs > 0, () => window.paintedMs]]) {
      const fresh = await browser.newContext({ viewport: { width: 800, height: 900 } });
      const p = await fresh.newPage();
      await p.goto(url + '?cold=' + i);
      await p.waitForFunction(ready);
      cold[kind].push(await p.evaluate(time));
      await fresh.close();
    }
  }
  const coldGame = median(cold.game), coldBlank = median(cold.blank);
  const pairRatio = median(cold.game.map((g, i) => g / cold.blank[i]));
  console.log(`cold load, navigation to the first frame drawn, median of ${loads} in fresh contexts: ` +
    `game ${coldGame.toFixed(1)} ms (${Math.min(...cold.game).toFixed(1)} to ${Math.max(...cold.game).toFixed(1)}), ` +
    `blank page fetching the same sizes ${coldBlank.toFixed(1)} ms ` +
    `(${Math.min(...cold.blank).toFixed(1)} to ${Math.max(...cold.blank).toFixed(1)}): ` +
    `${(coldGame / coldBlank).toFixed(2)}x (median of the ${loads} side-by-side ratios ${pairRatio.toFixed(2)}x)`);

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
  // a desktop-sized page and on a phone-sized touch screen; the desktop-sized
  // one three times, each beside a run of the minimal page that redraws the
  // same band of rows, so that the machine's load counts alike for both.
  await page.close();
  const phone = await browser.newContext({
    viewport: { width: 412, height: 915 }, deviceScaleFactor: 2.625, hasTouch: true, isMobile: true,
  });
  let aimBand = null;
  // CPU of all of Chromium's processes, in per cent of one core, over
  // SECONDS of whatever the page is doing.
  async function cpuOver(p) {
    const t0 = treeTicks(process.pid);
    const w0 = Date.now();
    await p.waitForTimeout(seconds * 1000);
    const used = ticksBetween(t0, treeTicks(process.pid)) / TICKS;
    return (100 * used) / ((Date.now() - w0) / 1000);
  }
  async function aiming(ctx, stopped) {
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
    if (!aimBand) {
      // The rows the game redraws while aiming, and its scale, for the
      // minimal page.
      aimBand = await p.evaluate(async () => {
        const c = window.tobelyn.source.getContext('2d');
        const put = c.putImageData;
        const bands = [];
        c.putImageData = function (...a) {
          bands.push([a[4] || 0, a[6] || 320]);
          return put.apply(this, a);
        };
        await new Promise((r) => setTimeout(r, 1000));
        c.putImageData = put;
        const first = Math.min(...bands.map((b) => b[0]));
        const last = Math.max(...bands.map((b) => b[0] + b[1]));
        const L = window.tobelyn.layout;
        return { first, rows: last - first, frames: bands.length, scale: L.scale > 0 ? L.scale : L.sharp };
      });
    }
    const cpu = await cpuOver(p);
    await p.close();
    return { cpu, step };
  }
  async function minimal() {
    const p = await context.newPage();
    const b = aimBand;
    await p.goto(`${band.url}?first=${b.first}&rows=${b.rows}&scale=${b.scale}`);
    await p.waitForFunction(() => window.drawn > 10);
    const cpu = await cpuOver(p);
    await p.close();
    return cpu;
  }
  const pairs = [];
  for (let i = 0; i < 3; ++i) {
    const game = await aiming(context, false);
    pairs.push([game.cpu, await minimal(), game.step]);
  }
  const gameCpu = median(pairs.map((x) => x[0]));
  const minimalCpu = median(pairs.map((x) => x[1]));
  const b = aimBand;
  console.log(`CPU of all Chromium processes over ${seconds} s of a match (step ${pairs[0][2]}), ` +
    `aiming in an 800x900 page, median of 3: ${gameCpu.toFixed(1)} % of one core ` +
    `(${pairs.map((x) => x[0].toFixed(1)).join(', ')}); a minimal page redrawing rows ${b.first} to ` +
    `${b.first + b.rows - 1} at ${b.scale}x each frame, run after each (the game redrew them in ` +
    `${b.frames} frames a second): ${minimalCpu.toFixed(1)} % (${pairs.map((x) => x[1].toFixed(1)).join(', ')}): ` +
    `${(gameCpu / minimalCpu).toFixed(2)}x`);
  for (const [label, ctx, stopped] of [['a 412x915 phone screen', phone, false],
    ['an 800x900 page, passes stopped (animation frames only, for comparison)', context, true]]) {
    const r = await aiming(ctx, stopped);
    console.log(`CPU of all Chromium processes over ${seconds} s of a match (step ${r.step}), ` +
      `${label}: ${r.cpu.toFixed(1)} % of one core`);
  }
  await browser.close();
  await server.close();
  await blank.close();
  await band.close();
  fs.rmSync(work, { recursive: true, force: true });
}

// A page that fetches files of the sizes the game's page loads before its
// first frame (its script, the game's script and WebAssembly, the page
// itself padded to the same size) and then paints a canvas once.
function blankSite(dir) {
  fs.mkdirSync(dir, { recursive: true });
  const fetched = ['game.js', 'game.wasm', 'page.js'];
  for (const f of fetched) fs.writeFileSync(path.join(dir, f + '.bin'), Buffer.alloc(fs.statSync(path.join(site, f)).size, 1));
  let html = '<!doctype html><html><head><meta charset="utf-8"><title>blank</title></head>' +
    '<body style="margin:0;background:#001c00"><canvas id="c" width="720" height="960"></canvas><script>' +
    `Promise.all(${JSON.stringify(fetched.map((f) => f + '.bin'))}.map((f) => fetch(f).then((r) => r.arrayBuffer())))` +
    '.then(() => requestAnimationFrame(() => { const x = document.getElementById("c").getContext("2d");' +
    ' x.fillStyle = "#060"; x.fillRect(0, 0, 720, 960); window.paintedMs = performance.now(); }));' +
    '</script></body></html>';
  const size = fs.statSync(path.join(site, 'index.html')).size;
  html += `<!--${'-'.repeat(Math.max(0, size - html.length - 7))}-->`;
  fs.writeFileSync(path.join(dir, 'index.html'), html);
  return dir;
}

// A page that redraws one band of rows of a 240x320 picture every frame,
// moving a bright block along it, and scales it to the page's canvas as the
// game's page does.
function bandSite(dir) {
  fs.mkdirSync(dir, { recursive: true });
  fs.writeFileSync(path.join(dir, 'index.html'), `<!doctype html><html><head><meta charset="utf-8">
<title>band</title></head><body style="margin:0;background:#001c00">
<canvas id="c" style="position:absolute"></canvas><script>
const q = new URLSearchParams(location.search);
const first = +q.get('first'), rows = Math.max(1, +q.get('rows')), s = +q.get('scale') / devicePixelRatio;
const canvas = document.getElementById('c');
canvas.width = 240 * +q.get('scale');
canvas.height = 320 * +q.get('scale');
canvas.style.width = 240 * s + 'px';
canvas.style.height = 320 * s + 'px';
const ctx = canvas.getContext('2d', { alpha: false });
const source = document.createElement('canvas');
source.width = 240;
source.height = 320;
const sourceCtx = source.getContext('2d', { alpha: false });
const pixels = new Uint8ClampedArray(240 * 320 * 4);
const image = new ImageData(pixels, 240, 320);
window.drawn = 0;
function frame() {
  const at = (window.drawn * 4) % 240;
  for (let y = first; y < first + rows; ++y) {
    for (let x = 0; x < 240; ++x) {
      const i = (y * 240 + x) * 4, on = Math.abs(x - at) < 4;
      pixels[i] = on ? 255 : 0; pixels[i + 1] = on ? 255 : 102; pixels[i + 2] = 0; pixels[i + 3] = 255;
    }
  }
  sourceCtx.putImageData(image, 0, 0, 0, first, 240, rows);
  ctx.imageSmoothingEnabled = false;
  const k = canvas.width / 240;
  ctx.drawImage(source, 0, first, 240, rows, 0, first * k, canvas.width, rows * k);
  window.drawn++;
  requestAnimationFrame(frame);
}
requestAnimationFrame(frame);
</script></body></html>`);
  return dir;
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
