// What every subject of the browser tests shares: the checks and their
// tally, the console watch, opening the game in a tab, and waits on what
// the page can tell (its screen, its step, its frames) instead of on time.
export const VK_RETURN = 0x0d;

// The game's screens, as the page's webScene tells them.
export const SCENE = { title: 1, gameSelect: 2, playerSelect: 3, ready: 4, match: 5, option: 6 };

export const results = { passed: 0, failures: [], consoleErrors: [] };

export function check(name, ok, detail) {
  if (ok) {
    results.passed++;
    console.log(`ok   ${name}`);
  } else {
    results.failures.push(name);
    console.log(`FAIL ${name}${detail ? ': ' + detail : ''}`);
  }
}

export function watchConsole(page, label) {
  page.on('console', (m) => {
    if (m.type() === 'error') results.consoleErrors.push(`${label}: ${m.text()}`);
  });
  page.on('pageerror', (e) => results.consoleErrors.push(`${label}: ${e.message}`));
}

// Opens the game in a new tab of context; stored, when given, is put in the
// page's storage (key to text) before the page's own script runs.
export async function openGame(context, url, label, stored = null) {
  const page = await context.newPage();
  watchConsole(page, label);
  if (stored) {
    await page.addInitScript((items) => {
      for (const [key, text] of Object.entries(items)) window.localStorage.setItem(key, text);
    }, stored);
  }
  await page.goto(url);
  // Under ?test nothing is drawn until the test runs passes.
  const manual = url.includes('?test');
  await page.waitForFunction((m) => window.tobelyn && window.tobelyn.running &&
    (m || window.tobelyn.presents > 0), manual);
  return page;
}

export const sceneStep = (page) => page.evaluate(() => window.tobelyn.module._webSceneStep());
export const scene = (page) => page.evaluate(() => window.tobelyn.module._webScene());
export const picture = (page) => page.evaluate(() => window.tobelyn.source.toDataURL());

// Waits until the page's screen and step satisfy done(scene, step) (a
// function of those two alone, or its source), polled at each animation
// frame; true when they did within ms.
export function waitForGame(page, done, ms = 5000) {
  const source = typeof done === 'string' ? done : done.toString();
  const holds = (text) => {
    const m = window.tobelyn.module;
    return new Function('scene', 'step', `return (${text})(scene, step);`)(
      m._webScene(), m._webSceneStep());
  };
  if (ms === 0) return page.evaluate(holds, source);
  return page.waitForFunction(holds, source, { timeout: ms, polling: 'raf' })
    .then(() => true, () => false);
}

// Lets n animation frames pass in the page (each runs the game's passes
// due): a wait on the page's own frames, not on the clock.
export function frames(page, n) {
  return page.evaluate((count) => new Promise((resolve) => {
    let seen = 0;
    const next = () => (++seen >= count ? resolve() : requestAnimationFrame(next));
    requestAnimationFrame(next);
  }), n);
}

// Waits until a new frame has been drawn since `presents` frames.
export function waitForFrame(page, presents, ms = 5000) {
  return page.waitForFunction((n) => window.tobelyn.presents > n, presents,
    { timeout: ms, polling: 'raf' }).then(() => true, () => false);
}

// Presses (a key, a tap) until the game's screen and step satisfy done,
// each press waited on until the game shows that it took it; a press the
// game drops (inside a screen's input gap) is made again. Returns the step
// it stopped at, or -1 when done never held.
export async function pressUntil(page, press, done, tries = 40) {
  for (let i = 0; i < tries; ++i) {
    if (await waitForGame(page, done, 0)) return sceneStep(page);
    const [s0, t0] = [await scene(page), await sceneStep(page)];
    await press();
    // Returns as soon as the game moves; a loaded machine may take a while.
    await waitForGame(page, `(s, t) => (${done.toString()})(s, t) || s !== ${s0} || t !== ${t0}`,
      1500);
  }
  return (await waitForGame(page, done, 0)) ? sceneStep(page) : -1;
}

// From the title through "301", one player, into the match, then one dart
// thrown: the match reaches the dart's flight (7) or its result (8).
// Returns the step reached, -1 when it was not.
export async function playIntoMatchAndThrow(page, press) {
  const screens = [SCENE.gameSelect, SCENE.playerSelect, SCENE.ready, SCENE.match];
  for (const next of screens) {
    if (await pressUntil(page, press, new Function('s', `return s === ${next};`)) < 0) return -1;
  }
  return pressUntil(page, press, (s, t) => s === 5 && t >= 7 && t <= 8);
}

// The page hidden (another tab, the phone's home screen), or shown again:
// the page's own visibility branch runs, as it does in a browser.
export async function setVisibility(target, state) {
  await target.evaluate((s) => {
    Object.defineProperty(document, 'visibilityState', { configurable: true, get: () => s });
    document.dispatchEvent(new Event('visibilitychange'));
  }, state);
}

export const hidePage = (target) => setVisibility(target, 'hidden');

// The page going away: hidden first, then gone.
export async function hideAndLeave(page) {
  await hidePage(page);
  await page.evaluate(() => window.dispatchEvent(new PageTransitionEvent('pagehide', { persisted: false })));
}
