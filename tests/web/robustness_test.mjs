// The browser game where the browser refuses things or pushes it hard:
// storage that throws, site data refused (in a sandboxed frame too), a key
// let go with Ctrl or Meta held, focus lost behind a storm of key presses,
// the pass pacer at every common display rate, and the site offline after
// one visit.
import { check, hidePage, openGame, pressUntil, scene, watchConsole,
  VK_RETURN } from './common.mjs';
import { serve } from './support.mjs';

export async function testStorageRefused(browser, url) {
  const context = await browser.newContext();
  await context.addInitScript(() => {
    Object.defineProperty(window, 'localStorage', {
      get() {
        throw new DOMException('storage is off', 'SecurityError');
      },
    });
  });
  const page = await openGame(context, url, 'no storage');
  await pressUntil(page, () => page.keyboard.press('Enter'), (s) => s === 2);
  const shown = await scene(page);
  await hidePage(page);
  check('a page whose storage throws still plays, and is hidden without an error',
    shown === 2 && await page.evaluate(() => window.tobelyn.running), `screen ${shown}`);
  await context.close();
}

// The browser refuses site data: blocked in the profile, or the site inside
// a sandboxed or cross-site frame. Locks, storage, the service worker and
// audio may each throw or reject; the game starts and plays all the same.
export async function testRefusals(browser, url) {
  const cases = [
    {
      name: 'inside a sandboxed frame without allow-same-origin',
      async open(context) {
        // The frame's origin is opaque, so its requests are cross-origin.
        await context.route('**/*', async (route) => {
          if (route.request().url().endsWith('/frame-host.html')) {
            await route.fulfill({ contentType: 'text/html', body:
              `<iframe sandbox="allow-scripts" src="${url}" width="480" height="640"></iframe>` });
            return;
          }
          const response = await route.fetch();
          await route.fulfill({ response,
            headers: { ...response.headers(), 'access-control-allow-origin': '*' } });
        });
        const page = await context.newPage();
        watchConsole(page, 'sandboxed frame');
        await page.goto(url + 'frame-host.html');
        await page.waitForFunction(() => document.querySelector('iframe'));
        // The frame's document is attached once the frame has navigated.
        while (page.frames().length < 2) await page.waitForEvent('frameattached');
        return [page, page.frames().find((f) => f !== page.mainFrame())];
      },
    },
    {
      name: 'with locks, storage, the service worker and audio all refused',
      async open(context) {
        await context.addInitScript(() => {
          const refusal = () => new DOMException('site data is blocked', 'SecurityError');
          Object.defineProperty(window, 'localStorage', { get() { throw refusal(); } });
          Object.defineProperty(Navigator.prototype, 'serviceWorker', {
            get() { throw refusal(); },
          });
          Object.defineProperty(Navigator.prototype, 'locks', {
            get() { return { request: () => Promise.reject(refusal()) }; },
          });
          window.AudioContext = function () { throw refusal(); };
        });
        const page = await context.newPage();
        watchConsole(page, 'refused');
        await page.goto(url);
        return [page, page.mainFrame()];
      },
    },
  ];
  for (const c of cases) {
    const context = await browser.newContext({ viewport: { width: 500, height: 700 } });
    const [page, frame] = await c.open(context);
    const started = await frame.waitForFunction(() => window.tobelyn && window.tobelyn.running &&
      window.tobelyn.presents > 0, null, { timeout: 15000 }).then(() => true, () => false);
    let shown = -1;
    if (started) {
      // A tap on START (a sandboxed frame never takes the keyboard's focus
      // in headless Chromium, so keys would prove nothing there).
      const box = await frame.locator('#screen').boundingBox();
      const start = await frame.evaluate(() => {
        const t = window.tobelyn;
        const r = document.getElementById('screen').getBoundingClientRect();
        const k = r.width / t.areaW;
        return { x: (t.layout.x + (150.5 * t.layout.w) / 240) * k,
          y: (t.layout.y + (125.5 * t.layout.h) / 320) * k };
      });
      await pressUntil(frame, () => page.mouse.click(box.x + start.x, box.y + start.y),
        (s) => s === 2);
      shown = await scene(frame);
      await hidePage(frame);
    }
    check(`the game starts and plays ${c.name}`, started && shown === 2, `screen ${shown}`);
    await context.close();
  }
}

// A key let go while Ctrl or Meta is held is let go in the game too.
export async function testKeyUpWithModifier(browser, url) {
  const context = await browser.newContext();
  const page = await openGame(context, url + '?test', 'modifier key-up');
  // Every event the page gives the module is noted. (The module replaces
  // its export on the first call, hence the setter.)
  await page.evaluate(() => {
    const t = window.tobelyn;
    let real = t.module._webInput;
    const noting = (kind, a, ...rest) => {
      t.sent.push([kind, a]);
      return real(kind, a, ...rest);
    };
    Object.defineProperty(t.module, '_webInput', { configurable: true,
      get: () => noting, set: (f) => { real = f; } });
  });
  for (const modifier of ['Control', 'Meta']) {
    await page.evaluate(() => { window.tobelyn.sent = []; });
    await page.keyboard.down('Enter');
    await page.keyboard.down(modifier);
    await page.keyboard.up('Enter');
    await page.keyboard.up(modifier);
    const sent = await page.evaluate(() => window.tobelyn.sent);
    check(`Enter released while ${modifier} is held is released in the game`,
      sent.some(([kind, vk]) => kind === 2 && vk === VK_RETURN), JSON.stringify(sent));
  }
  await context.close();
}

// A storm of key presses between two passes: the presses are capped, and
// the window losing focus behind them still reaches the game, which then
// stops drawing.
export async function testInputStorm(browser, url) {
  const context = await browser.newContext();
  const page = await openGame(context, url + '?test', 'storm');
  const r = await page.evaluate(() => {
    const m = window.tobelyn.module;
    const KEY_DOWN = 1, KEY_UP = 2, ACTIVATE = 5, VK_Q = 0x51, VK_RETURN = 0x0d;
    const run = (passes) => {
      for (let i = 0; i < passes; ++i) {
        m._webRunPass();
        m._webAdvanceClock(16);
      }
    };
    run(120);
    for (let i = 0; i < 1000; ++i) m._webInput(KEY_DOWN, VK_Q, 0, 0, 0);
    const deactivateQueued = m._webInput(ACTIVATE, 0, 0, 0, 0);
    run(300);
    // Enter on the title changes the picture, unless the game is inactive.
    const presents = window.tobelyn.presents;
    m._webInput(KEY_DOWN, VK_RETURN, 0, 0, 0);
    m._webInput(KEY_UP, VK_RETURN, 0, 0, 0);
    run(120);
    return { deactivateQueued, drawnWhileInactive: window.tobelyn.presents - presents };
  });
  check('focus lost behind a storm of key presses is kept and reaches the game',
    r.deactivateQueued === 1 && r.drawnWhileInactive === 0, JSON.stringify(r));
  await context.close();
}

export async function testPacer(browser, url) {
  const context = await browser.newContext();
  const page = await openGame(context, url + '?test', 'pacer');
  for (const hz of [30, 60, 120, 144]) {
    const r = await page.evaluate((rate) => {
      const m = window.tobelyn.module;
      m._webResetPacer();
      let t = 5000, total = 0, most = 0;
      const frames = Math.round(rate * 10);
      for (let i = 0; i < frames; ++i) {
        // A little jitter, as real frame stamps have.
        const n = m._webFrame(t + ((i * 7919) % 5) * 0.1 - 0.2);
        total += n;
        most = Math.max(most, n);
        t += 1000 / rate;
      }
      const afterGap = m._webFrame(t + 10000);
      return { total, most, afterGap };
    }, hz);
    check(`pacer at ${hz} Hz: 60 passes a second, no burst after a 10 s gap`,
      Math.abs(r.total - 600) <= 1 && r.most <= Math.ceil(60 / hz) + 1 && r.afterGap === 1,
      JSON.stringify(r));
  }
  await context.close();
}

export async function testOffline(browser, site) {
  const server = await serve(site);
  const context = await browser.newContext();
  const page = await context.newPage();
  watchConsole(page, 'offline');
  await page.goto(server.url);
  await page.waitForFunction(() => navigator.serviceWorker && navigator.serviceWorker.controller,
    null, { timeout: 20000 }).catch(() => {});
  await server.close();
  let ok = false;
  try {
    await page.reload();
    await page.waitForFunction(() => window.tobelyn && window.tobelyn.presents > 0, null,
      { timeout: 10000 });
    ok = true;
  } catch (e) {
    ok = false;
  }
  check('the site starts again with the server gone after one visit', ok);
  // The page went offline on purpose: its failed network requests are not
  // faults of the game.
  await context.close();
}