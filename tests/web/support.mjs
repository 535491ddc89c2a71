// What the browser tests and the browser figures share: a static server for
// the built site, Debian's Chromium through playwright-core, a PNG reader
// and a player for the replay scripts inside the page.
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { chromium } from 'playwright-core';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json',
  '.png': 'image/png',
};

// Serves `root` on a free localhost port. Each response records its
// gzip-compressed size, as a server that compresses would send it.
export async function serve(root) {
  const sent = [];
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://localhost');
    let file = path.normalize(decodeURIComponent(url.pathname)).replace(/^(\.\.[/\\])+/, '');
    if (file.endsWith('/')) file += 'index.html';
    const full = path.join(root, file);
    if (!full.startsWith(root) || !fs.existsSync(full) || !fs.statSync(full).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    const body = fs.readFileSync(full);
    // The gzip size is worked out only when asked for: compressing every
    // response as it is sent would delay the large ones (the WebAssembly)
    // more than the small ones, and the benchmark times loads.
    sent.push({ file, bytes: body.length, get gzip() { return zlib.gzipSync(body, { level: 9 }).length; } });
    res.writeHead(200, {
      'Content-Type': TYPES[path.extname(full)] || 'application/octet-stream',
      'Cache-Control': 'no-cache',
    });
    res.end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const sockets = new Set();
  server.on('connection', (s) => {
    sockets.add(s);
    s.on('close', () => sockets.delete(s));
  });
  return {
    url: `http://localhost:${server.address().port}/`,
    sent,
    close: () =>
      new Promise((resolve) => {
        for (const s of sockets) s.destroy();
        server.close(resolve);
      }),
  };
}

export const CHROMIUM_FLAGS = [
  '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  // Sound may start without a gesture in tests; the page still waits for one.
  '--autoplay-policy=no-user-gesture-required',
];

export function chromiumPath() {
  for (const p of [process.env.CHROMIUM, '/usr/bin/chromium', '/usr/bin/chromium-browser']) {
    if (p && fs.existsSync(p)) return p;
  }
  return null;
}

// Chromium, headless, with a fresh empty profile (playwright-core makes a
// new temporary one for every launch and removes it afterwards).
export async function launch() {
  return chromium.launch({ executablePath: chromiumPath(), headless: true, args: CHROMIUM_FLAGS });
}

// Reads an 8-bit RGB or RGBA PNG into RGBA bytes.
export function readPng(file) {
  const data = fs.readFileSync(file);
  let pos = 8;
  let width = 0, height = 0, type = 0;
  const idat = [];
  while (pos < data.length) {
    const len = data.readUInt32BE(pos);
    const kind = data.toString('latin1', pos + 4, pos + 8);
    const body = data.subarray(pos + 8, pos + 8 + len);
    if (kind === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || (body[9] !== 2 && body[9] !== 6) || body[12] !== 0) {
        throw new Error(`${file}: only 8-bit RGB or RGBA PNGs without interlace are read`);
      }
      type = body[9];
    } else if (kind === 'IDAT') {
      idat.push(body);
    }
    pos += 12 + len;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const bpp = type === 6 ? 4 : 3;
  const stride = width * bpp;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; ++x) {
      const a = x >= bpp ? rows[y * stride + x - bpp] : 0;
      const b = y > 0 ? rows[(y - 1) * stride + x] : 0;
      const c = x >= bpp && y > 0 ? rows[(y - 1) * stride + x - bpp] : 0;
      let v = line[x];
      if (filter === 1) v += a;
      else if (filter === 2) v += b;
      else if (filter === 3) v += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      rows[y * stride + x] = v & 255;
    }
  }
  const rgba = Buffer.alloc(width * height * 4);
  for (let i = 0; i < width * height; ++i) {
    rgba[i * 4] = rows[i * bpp];
    rgba[i * 4 + 1] = rows[i * bpp + 1];
    rgba[i * 4 + 2] = rows[i * bpp + 2];
    rgba[i * 4 + 3] = bpp === 4 ? rows[i * bpp + 3] : 255;
  }
  return { width, height, rgba };
}

// Plays a replay script in a page opened with ?test, as tobelyn-replay
// plays it on the headless build. Returns the canvas pixels (RGBA, as an
// bytes in base64) at each `shot`, by file name.
export async function playScript(page, scriptText) {
  return page.evaluate((text) => {
    const t = window.tobelyn;
    const m = t.module;
    let step = 16;
    const shots = {};
    const num = (w) => (w.startsWith('0x') ? parseInt(w, 16) : parseInt(w, 10));
    const pass = () => {
      if (!t.running) return;
      m._webRunPass();
      m._webAdvanceClock(step);
    };
    for (const raw of text.split('\n')) {
      const words = raw.replace(/#.*/, '').trim().split(/\s+/).filter(Boolean);
      if (words.length === 0) continue;
      const [cmd, a, b] = words;
      if (cmd === 'clock') m._webSetClock(num(a));
      else if (cmd === 'step') step = num(a);
      else if (cmd === 'key') m._webPostKey(num(a));
      else if (cmd === 'hold') m._webHoldKey(num(a), 1);
      else if (cmd === 'release') m._webHoldKey(num(a), 0);
      else if (cmd === 'activate') t.input(5, num(a));
      else if (cmd === 'tap') {
        const L = t.layout;
        t.input(3, 0, 0, L.x + ((num(a) + 0.5) * L.w) / 240, L.y + ((num(b) + 0.5) * L.h) / 320);
        t.input(4);
      } else if (cmd === 'run') {
        for (let i = 0; i < num(a); ++i) pass();
      } else if (cmd === 'wait') {
        const limit = b ? num(b) : 10000;
        let reached = false;
        for (let i = 0; i < limit && t.running; ++i) {
          pass();
          if (m._webSceneStep() === num(a)) {
            reached = true;
            break;
          }
        }
        if (!reached) throw new Error(`wait ${a} not reached: sceneStep ${m._webSceneStep()}`);
      } else if (cmd === 'shot') {
        const d = t.source.getContext('2d').getImageData(0, 0, 240, 320).data;
        let bin = '';
        for (let i = 0; i < d.length; i += 8192) {
          bin += String.fromCharCode.apply(null, d.subarray(i, i + 8192));
        }
        shots[a] = btoa(bin);
      } else if (cmd !== 'dump') {
        throw new Error(`the page cannot play "${cmd}"`);
      }
    }
    return shots;
  }, scriptText);
}

export function tempDir(prefix) {
  return fs.mkdtempSync(path.join(os.tmpdir(), prefix));
}
