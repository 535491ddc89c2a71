// The phone page, upright and sideways: every button a finger's width (at
// least 44 CSS pixels each way), the picture straight under the bar when
// upright, filling the height sideways from the largest whole scale (the
// desktop's sharp fit), and the Menu button clear of the picture's frame.
// Also the menu's Settings rows that took the bar's place: "Reset controls"
// (asked twice) and "Darts (CSV)".
import { check, frames, openGame } from './common.mjs';

const TOUCH_MIN = 44;  // CSS pixels
const FRAME = 6;       // the wooden frame round the picture, CSS pixels

const ORIENTATIONS = [
  { name: 'upright', viewport: { width: 412, height: 915 } },
  { name: 'sideways', viewport: { width: 915, height: 412 } },
];

// Boxes of the page's parts, in CSS pixels.
function measure(page) {
  return page.evaluate(() => {
    const box = (el) => {
      const r = el.getBoundingClientRect();
      return { x: r.x, y: r.y, w: r.width, h: r.height };
    };
    const buttons = [document.getElementById('menu'), ...document.querySelectorAll('[data-button]')];
    return {
      buttons: buttons.map((el) => ({ name: el.getAttribute('aria-label') || el.id, ...box(el) })),
      menu: box(document.getElementById('menu')),
      bar: { ...box(document.getElementById('bar')),
        buttons: document.getElementById('bar').querySelectorAll('button').length },
      screen: box(document.getElementById('screen')),
      canvas: box(document.getElementById('canvas')),
      layout: window.tobelyn.layout,
      area: [window.tobelyn.areaW, window.tobelyn.areaH],
    };
  });
}

const overlaps = (a, b, margin) => a.x < b.x + b.w + margin && b.x < a.x + a.w + margin &&
  a.y < b.y + b.h + margin && b.y < a.y + a.h + margin;

export async function testPhoneLayout(browser, url) {
  for (const o of ORIENTATIONS) {
    const context = await browser.newContext({
      viewport: o.viewport, deviceScaleFactor: 2.625, hasTouch: true, isMobile: true,
    });
    const page = await openGame(context, url, `phone ${o.name}`);
    await frames(page, 4);
    const m = await measure(page);
    const small = m.buttons.filter((b) => b.w < TOUCH_MIN || b.h < TOUCH_MIN);
    check(`${o.name}: every on-screen button is at least ${TOUCH_MIN} CSS pixels each way`,
      small.length === 0, JSON.stringify(small));
    check(`${o.name}: the Menu button keeps clear of the picture's frame`,
      !overlaps(m.menu, m.canvas, FRAME), JSON.stringify([m.menu, m.canvas]));
    check(`${o.name}: only Menu is left in the bar`, m.bar.buttons === 1, `${m.bar.buttons}`);
    const L = m.layout;
    const whole = Math.min(Math.floor(m.area[0] / 240), Math.floor(m.area[1] / 320));
    if (o.name === 'upright') {
      check('upright: the picture starts at the top of its area, no band above it',
        L.y === 0 && Math.abs(m.canvas.y - m.screen.y) < 1 && m.canvas.y - (m.bar.y + m.bar.h) < 1,
        JSON.stringify([L, m.canvas, m.bar]));
    } else {
      check('sideways: the picture fills the height, sharp from the largest whole scale',
        L.h >= m.area[1] - 1 && L.scale === 0 && L.sharp === whole,
        `${JSON.stringify(L)} in ${m.area}`);
      check('sideways: the picture is centred', Math.abs(2 * L.x + L.w - m.area[0]) <= 1,
        JSON.stringify(L));
    }
    await context.close();
  }
}

// The menu's Settings, reached from Resume by going up past Quit..., so
// that rows added to the menu move nothing here; then `up` rows up from its
// first row (the rows that act once are its last). Returns with that row
// chosen and the menu open.
export async function toSettingsRow(page, up) {
  await page.evaluate(() => window.tobelyn.module._webMenu());
  await settle(page);
  for (const key of ['ArrowUp', 'ArrowUp', 'Enter']) await pressKey(page, key);
  for (let i = 0; i < up; ++i) await pressKey(page, 'ArrowUp');
}

// A few passes for the menu to take what was sent: run by hand under ?test,
// by the page's own frames otherwise.
export async function settle(page) {
  await page.evaluate(() => {
    const t = window.tobelyn;
    for (let i = 0; t.manual && i < 3; ++i) {
      t.module._webRunPass();
      t.module._webAdvanceClock(16);
    }
  });
  await frames(page, 3);
}

export async function pressKey(page, key) {
  await page.keyboard.press(key);
  await settle(page);
}

export async function closeMenu(page) {
  await page.evaluate(() => window.tobelyn.module._webMenu());
  await settle(page);
}

// Rows from the foot of Settings: "Reset controls", then "Darts (CSV)".
export const RESET_ROW = 2;
export const DARTS_ROW = 1;
