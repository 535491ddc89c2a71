// Playing the browser game: by keys into a match and a dart, the sound, a
// button redefined and kept across a reload, a second tab's notice, "Reset
// controls", QUIT and "Play again"; the phone's touch buttons and its
// throws by touching the board; the Menu button's pause; and the hidden
// page, which pauses the game as a minimised window does.
import path from 'node:path';
import {
  SCENE, check, openGame, picture, playIntoMatchAndThrow, pressUntil, sceneStep, setVisibility,
  frames, waitForGame, waitForFrame, watchConsole,
} from './common.mjs';
import { RESET_ROW, closeMenu, pressKey, toSettingsRow } from './phone_test.mjs';
import { playScript } from './support.mjs';

const cursor = (page) => page.evaluate(() => window.tobelyn.module._webMenuCursor());

// Moves the title's cursor to row, a key at a time, each move waited on.
async function cursorTo(page, row) {
  for (let i = 0; i < 20 && (await cursor(page)) !== row; ++i) {
    const before = await cursor(page);
    await page.keyboard.press((await cursor(page)) < row ? 'ArrowDown' : 'ArrowUp');
    await page.waitForFunction((b) => window.tobelyn.module._webMenuCursor() !== b, before,
      { timeout: 600, polling: 'raf' }).catch(() => {});
  }
  return (await cursor(page)) === row;
}

export async function testKeysSettingsAndTabs(browser, url, out) {
  const context = await browser.newContext({ viewport: { width: 800, height: 900 } });
  let page = await openGame(context, url, 'keys');
  // Arrows and space never scroll the page.
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Space');
  check('arrows and space leave the page unscrolled',
    await page.evaluate(() => window.scrollY === 0 && document.scrollingElement.scrollTop === 0));
  await cursorTo(page, 0);
  const thrown = await playIntoMatchAndThrow(page, () => page.keyboard.press('Enter'));
  check('keys play from the title into a "301" match and throw a dart', thrown >= 7,
    `step ${thrown}`);
  check('a key starts Web Audio and the game\'s sounds play', await page.evaluate(() =>
    window.tobelyn.soundsStarted > 0));
  await page.screenshot({ path: path.join(out, 'web-desktop-match.png') });
  await page.close();

  // Redefine Button C as X on the option screen, with keys and a mouse
  // click on the game's picture, then reload.
  page = await openGame(context, url, 'settings');
  await cursorTo(page, 1);
  // The option screen's steps: 2 idle, 3 waiting for the new key.
  await pressUntil(page, () => page.keyboard.press('Enter'), (s, t) => s === 6 && t === 2);
  const point = await page.evaluate(() => {
    const t = window.tobelyn;
    const r = document.getElementById('screen').getBoundingClientRect();
    const L = t.layout;
    const k = r.width / t.areaW;
    return { x: r.left + (L.x + (20.5 * L.w) / 240) * k, y: r.top + (L.y + (260.5 * L.h) / 320) * k };
  });
  // "Press The Button": the screen waits for the new key.
  await pressUntil(page, () => page.mouse.click(point.x, point.y), (s, t) => s === 6 && t === 3);
  const bound = () => page.waitForFunction(() => window.tobelyn.module._webBinding(6) === 0x58,
    null, { timeout: 3000, polling: 'raf' }).then(() => true, () => false);
  await page.keyboard.press('x');
  check('a click on the picture and a key redefine Button C', await bound());
  await pressUntil(page, () => page.keyboard.press('Escape'), (s) => s === 1);
  await page.reload();
  await page.waitForFunction(() => window.tobelyn.running && window.tobelyn.presents > 0);
  check('the redefined button is kept across a reload', await bound());

  // A second tab finds the first.
  const second = await context.newPage();
  watchConsole(second, 'second tab');
  await second.goto(url);
  await second.waitForSelector('#other.shown', { timeout: 5000 }).catch(() => {});
  check('a second tab shows the notice instead of a second game',
    await second.evaluate(() => document.getElementById('other').classList.contains('shown') &&
      !window.tobelyn.running));
  await second.close();
  await page.bringToFront();

  // Reset controls (the menu's Settings), then QUIT, the goodbye and "Play again".
  await toSettingsRow(page, RESET_ROW);
  await pressKey(page, 'Enter');
  check('"Reset controls" asks before it resets',
    await page.evaluate(() => window.tobelyn.module._webBinding(6) === 0x58));
  await pressKey(page, 'Enter');
  check('"Reset controls" puts Button C back on C',
    await page.evaluate(() => window.tobelyn.module._webBinding(6) === 0x43));
  await closeMenu(page);
  await cursorTo(page, 3);
  // The title's step 5: QUIT was chosen.
  await pressUntil(page, () => page.keyboard.press('Enter'), (s, t) => s === 1 && t === 5);
  await page.waitForSelector('#bye.shown', { timeout: 10000 }).catch(() => {});
  check('QUIT shows the goodbye', await page.evaluate(() => !window.tobelyn.running &&
    document.getElementById('bye').classList.contains('shown')));
  await page.click('#again');
  await page.waitForFunction(() => window.tobelyn.running && window.tobelyn.presents > 0, null,
    { timeout: 10000 }).catch(() => {});
  check('"Play again" starts a fresh game', await page.evaluate(() => window.tobelyn.running &&
    window.tobelyn.module._webSceneStep() <= 1));
  await context.close();
}

const PHONE = {
  viewport: { width: 412, height: 915 }, deviceScaleFactor: 2.625, hasTouch: true, isMobile: true,
};

// Taps the middle of what selector finds.
async function touch(page, selector) {
  const box = await page.locator(selector).boundingBox();
  await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
}

export async function testTouch(browser, url, out) {
  const context = await browser.newContext(PHONE);
  const page = await openGame(context, url, 'touch');
  await waitForGame(page, (s, t) => s === 1 && t === 1);
  const before = await cursor(page);
  // A tap within the title's first 200 ms is refused by the game's input
  // gap, as a key is: tap again until the cursor moves.
  let moved = false;
  for (let i = 0; i < 5 && !moved; ++i) {
    await touch(page, '[data-button="1"]');  // Down
    moved = await page.waitForFunction((b) => window.tobelyn.module._webMenuCursor() !== b,
      before, { timeout: 1500, polling: 'raf' }).then(() => true, () => false);
  }
  check('the on-screen Down moves the title\'s cursor', moved);
  for (let i = 0; i < 10 && (await cursor(page)) !== 0; ++i) {
    await touch(page, '[data-button="0"]');  // Up, back to START
    await page.waitForFunction(() => window.tobelyn.module._webMenuCursor() === 0, null,
      { timeout: 600, polling: 'raf' }).catch(() => {});
  }
  const layout = await page.evaluate(() => window.tobelyn.layout);
  check('the phone\'s picture fills its width from a whole-number scale',
    layout.w >= 1000 && (layout.scale > 0 || layout.sharp >= 3), JSON.stringify(layout));
  await page.screenshot({ path: path.join(out, 'web-phone-title.png') });
  const thrown = await playIntoMatchAndThrow(page, () => touch(page, '[data-button="4"]'));
  check('touch buttons alone play into a match and throw a dart', thrown >= 7, `step ${thrown}`);
  await page.screenshot({ path: path.join(out, 'web-phone-match.png') });
  await context.close();
}

// On a phone the board itself throws: each touch on the picture is a press
// of A during a match (a mouse click is not). The bar's Menu button pauses
// the game under the menu and closes it again.
export async function testTapToThrow(browser, url, out) {
  const context = await browser.newContext(PHONE);
  const page = await openGame(context, url, 'tap to throw');
  for (const next of [SCENE.gameSelect, SCENE.playerSelect, SCENE.ready, SCENE.match]) {
    await pressUntil(page, () => touch(page, '[data-button="4"]'),
      new Function('s', `return s === ${next};`));
  }
  await waitForGame(page, (s, t) => s === 5 && t === 1);
  await frames(page, 20);  // past the announcement's input gap
  const box = await page.locator('#canvas').boundingBox();
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
  await frames(page, 20);
  check('a mouse click on the board does not throw', (await sceneStep(page)) === 1);
  const thrown = await pressUntil(page, () => touch(page, '#canvas'), (s, t) => t >= 7 && t <= 8);
  check('touching the board alone throws a whole dart', thrown >= 7, `step ${thrown}`);
  await pressUntil(page, () => touch(page, '#canvas'), (s, t) => t === 1 || t === 3);
  const playing = await picture(page);
  const presents = await page.evaluate(() => window.tobelyn.presents);
  await page.click('#menu');
  await waitForFrame(page, presents);
  await frames(page, 2);
  const menu = await picture(page);
  await frames(page, 40);
  check('the Menu button lays the menu over a paused game',
    menu !== playing && (await picture(page)) === menu);
  await page.screenshot({ path: path.join(out, 'web-phone-menu.png') });
  const underMenu = await page.evaluate(() => window.tobelyn.presents);
  await page.click('#menu');
  await waitForFrame(page, underMenu);
  check('the Menu button again closes the menu', (await picture(page)) !== menu);
  await context.close();
}

// From the title into a "301" match for one player, under ?test.
const TO_MATCH = 'clock 100000\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n' +
  'run 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n';

// Hiding the page pauses the game as minimising a window does: across ten
// seconds hidden the clock the game reads moves by one pass at most, and a
// dart in flight takes as many passes after the page shows again as a dart
// seen whole. Passes that run while hidden (a browser that still gives the
// page frames) change nothing.
export async function testHiddenPause(browser, url) {
  const context = await browser.newContext();
  const page = await openGame(context, url + '?test', 'hidden page',
    { 'tobelyn.host': 'hints 0\nhintsChosen 1\n' });
  await playScript(page, TO_MATCH);
  // Presses A every 15 passes until the dart flies; the step after.
  const toFlight = () => page.evaluate(() => {
    const m = window.tobelyn.module;
    for (let i = 0; i < 5000 && m._webSceneStep() !== 7; ++i) {
      if (i % 15 === 0) m._webHoldKey(0x0d, 1);
      m._webRunPass();
      m._webAdvanceClock(16);
      m._webHoldKey(0x0d, 0);
    }
    return m._webSceneStep();
  });
  // The passes the flight still takes.
  const restOfFlight = () => page.evaluate(() => {
    const m = window.tobelyn.module;
    let passes = 0;
    for (; passes < 5000 && m._webSceneStep() === 7; ++passes) {
      m._webRunPass();
      m._webAdvanceClock(16);
    }
    return passes;
  });
  const seenWhole = (await toFlight()) === 7 ? await restOfFlight() : -1;
  const flying = await toFlight();
  const before = await page.evaluate(() => window.tobelyn.module._webGameClock());
  await setVisibility(page, 'hidden');
  const hiddenPasses = await page.evaluate(() => {
    const m = window.tobelyn.module;
    let n = 0;
    for (let i = 0; i < 5; ++i, ++n) {
      m._webAdvanceClock(2000);
      m._webRunPass();
    }
    return n;
  });
  await setVisibility(page, 'visible');
  const after = await page.evaluate(() => {
    const m = window.tobelyn.module;
    const step = m._webSceneStep();
    m._webRunPass();
    m._webAdvanceClock(16);
    return { step, clock: m._webGameClock() };
  });
  const rest = after.step === 7 ? 1 + await restOfFlight() : 0;
  const detail = `flight ${seenWhole} passes seen whole, ${rest} after ${hiddenPasses} hidden ` +
    `passes; game clock ${before} then ${after.clock}; step ${flying} then ${after.step}`;
  check('across 10 s hidden the game\'s clock moves by one pass at most',
    flying === 7 && after.clock - before <= 16, detail);
  check('a dart in flight when the page is hidden takes its whole flight after it shows again',
    seenWhole > 0 && rest === seenWhole, detail);
  await context.close();
}
