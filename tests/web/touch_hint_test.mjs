// The title's hint on how to open the menu names the device in use; before
// any input that is the page's: a touch screen showing its on-screen
// buttons is touch, a desktop without one the keyboard.
import { check, frames, openGame } from './common.mjs';

// The rows of the picture the title's hint is drawn in (game pixels).
const HINT_TOP = 240, HINT_BOTTOM = 270;

const hintStrip = (page) => page.evaluate(([top, bottom]) => {
  const c = window.tobelyn.source;
  const data = c.getContext('2d').getImageData(0, top, c.width, bottom - top).data;
  return Array.from(data).join(',');
}, [HINT_TOP, HINT_BOTTOM]);

const DESKTOP = { viewport: { width: 1280, height: 800 } };
const PHONE = { viewport: { width: 412, height: 915 }, deviceScaleFactor: 2.625, hasTouch: true,
  isMobile: true };

async function stripOf(browser, url, options, keyFirst) {
  const context = await browser.newContext(options);
  try {
    const page = await openGame(context, url, 'title hint');
    await frames(page, 30);
    // Shift: a key the title does nothing with.
    if (keyFirst) {
      await page.keyboard.press('Shift');
      await frames(page, 10);
    }
    return await hintStrip(page);
  } finally {
    await context.close();
  }
}

export async function testTitleHintDevice(browser, url) {
  const keyboard = await stripOf(browser, url, DESKTOP, false);
  const rows = [
    { name: 'a phone names touch in its first title hint, not the keyboard', options: PHONE,
      keyFirst: false, keyboardWords: false },
    { name: 'a phone whose keyboard was used names the keyboard', options: PHONE, keyFirst: true,
      keyboardWords: true },
    { name: 'a desktop names the keyboard again on a second start', options: DESKTOP,
      keyFirst: false, keyboardWords: true },
  ];
  for (const r of rows) {
    const strip = await stripOf(browser, url, r.options, r.keyFirst);
    check(r.name, (strip === keyboard) === r.keyboardWords);
  }
}
