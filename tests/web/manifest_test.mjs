// The web app manifest as Chromium reads it from the served site: no fault
// the browser reports, an explicit id, a description that says what the
// game offers, categories, and the install sheet's pictures: one narrow and
// one wide, relative to the site, each a PNG of the size the manifest
// states and of the proportions the browser's richer install sheet takes.
//
//   node manifest_test.mjs --site DIR
import path from 'node:path';
import { launch, serve } from './support.mjs';

const args = {};
for (let i = 2; i < process.argv.length; i += 2) args[process.argv[i].slice(2)] = process.argv[i + 1];
const site = path.resolve(args.site);

// Width and height from a PNG's header, or null when it is not a PNG.
function pngSize(bytes) {
  const signature = [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a];
  if (bytes.length < 24 || signature.some((b, i) => bytes[i] !== b)) return null;
  const word = (at) => ((bytes[at] << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3]) >>> 0;
  return [word(16), word(20)];
}

async function main() {
  const server = await serve(site);
  const browser = await launch();
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(server.url + '?test');
  const cdp = await context.newCDPSession(page);
  const got = await cdp.send('Page.getAppManifest');
  const manifest = JSON.parse(got.data || '{}');
  const shots = [];
  for (const s of manifest.screenshots || []) {
    const bytes = await page.evaluate(async (src) => {
      const r = await fetch(src);
      return r.ok ? Array.from(new Uint8Array(await r.arrayBuffer())) : [];
    }, s.src);
    shots.push({ ...s, served: pngSize(bytes) });
  }
  const swText = await page.evaluate(async () => (await fetch('sw.js')).text());
  await browser.close();
  await server.close();

  const byForm = (form) => shots.find((s) => s.form_factor === form);
  const stated = (s) => (s && /^\d+x\d+$/.test(s.sizes) ? s.sizes.split('x').map(Number) : null);
  const fits = (s) => {
    const [w, h] = stated(s) || [0, 0];
    return Math.min(w, h) >= 320 && Math.max(w, h) <= 3840 && Math.max(w, h) / Math.min(w, h) <= 2.3;
  };
  const rows = [
    ['the browser reports no fault in the manifest', () => got.errors.length === 0,
      JSON.stringify(got.errors)],
    ['the id is set explicitly', () => manifest.id === 'tobelyn', manifest.id],
    ['the description names the computer opponents', () => /computer opponents/.test(manifest.description)],
    ['the description names records and statistics',
      () => /records/.test(manifest.description) && /statistics/.test(manifest.description)],
    ['the description names the landing map', () => /where each player's darts landed/.test(manifest.description)],
    ['the categories hold games and sports',
      () => ['games', 'sports'].every((c) => (manifest.categories || []).includes(c))],
    ['a narrow picture, upright', () => {
      const s = stated(byForm('narrow'));
      return s && s[1] > s[0];
    }],
    ['a wide picture, lying', () => {
      const s = stated(byForm('wide'));
      return s && s[0] > s[1];
    }],
    ['every picture is relative to the site',
      () => shots.length === 2 && shots.every((s) => !/^(\/|[a-z]+:)/.test(s.src))],
    ['every picture is served as a PNG of its stated size',
      () => shots.every((s) => s.served && s.served.join('x') === s.sizes),
      JSON.stringify(shots.map((s) => [s.src, s.sizes, s.served]))],
    ['every picture has the proportions of the install sheet', () => shots.every(fits)],
    ['every picture has a label', () => shots.every((s) => typeof s.label === 'string' && s.label.length > 0)],
    ['the offline copy leaves the pictures out', () => !/screenshot/.test(swText)],
  ];
  let failed = 0;
  for (const [name, ok, detail] of rows) {
    if (ok()) {
      console.log(`ok   manifest: ${name}`);
    } else {
      failed++;
      console.log(`FAIL manifest: ${name}${detail ? ': ' + detail : ''}`);
    }
  }
  process.exit(failed ? 1 : 0);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
