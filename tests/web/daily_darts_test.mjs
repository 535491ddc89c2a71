// The daily challenge of a fixed day played in the browser as
// tests/test_daily.cpp plays it on Linux and under Wine: the day's page,
// A, then Button A pressed at the same passes; the match's code once a
// dozen darts are thrown must be the code that test pins, the computer's
// darts and the person's the same on every platform.
import { SCENE, check, openGame } from './common.mjs';

const PHONE = { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true };
const DAY = 20794; // 2026-12-07, days since 1970
// tests/test_daily.cpp's pinned code of that day's first dozen darts.
const PINNED =
  'AQwCAAIACFBMQVlFUiAxDQZDUFUgODC6Jrg6UQAR2gwDBjBgAAMGUAUdFPBxBRvAxgBsDMDGYAUd009yBR347qhV';
const VK_RETURN = 0x0d;

export async function testDailyDarts(browser, url) {
  const context = await browser.newContext(PHONE);
  const page = await openGame(context, url + '?test', 'daily darts');
  const played = await page.evaluate(({ day, pinned, vk, match }) => {
    const t = window.tobelyn;
    const m = t.module;
    const pass = () => {
      m._webRunPass();
      m._webAdvanceClock(16);
    };
    const run = (n) => {
      for (let i = 0; i < n; ++i) pass();
    };
    const reader = () => JSON.parse(m.UTF8ToString(m._webReaderPage()));
    // A row of the menu's page by its label.
    const choose = (label) => {
      const rows = reader().rows || [];
      const row = rows.findIndex((r) => r.label === label);
      if (row < 0) return false;
      m._webChooseRow(row);
      run(2);
      return true;
    };
    m._webSetClock(100000);
    run(20);
    m._webDailySetDay(day);
    m._webMenu();
    run(2);
    if (!choose('Player book...') || !choose('Daily challenge')) {
      return { error: `no Daily challenge row: ${JSON.stringify(reader())}` };
    }
    // A on the day's page starts its match (the player's A, as the page
    // takes it); then the passes up to its first announcement.
    m._webPostKey(vk);
    let reached = false;
    for (let i = 0; i < 2000 && !reached; ++i) {
      pass();
      reached = m._webScene() === match && m._webSceneStep() === 1;
    }
    if (!reached) return { error: `no announcement: scene ${m._webScene()}` };
    // The presses of tests/host_driver.h's press(): held one pass, let go,
    // then 20 to 26 passes; presses in the computer's turn do nothing.
    let code = '';
    for (let i = 0; i < 3000; ++i) {
      code = m.UTF8ToString(m._webMatchCode());
      if (code === pinned) break;
      m._webHoldKey(vk, 1);
      m._webPostKey(vk);
      pass();
      m._webHoldKey(vk, 0);
      run(20 + (i % 7));
    }
    m._webDailySetDay(-1);
    return { code };
  }, { day: DAY, pinned: PINNED, vk: VK_RETURN, match: SCENE.match });
  check('the browser\'s daily challenge of 2026-12-07 throws the darts Linux and Windows pin',
    played.code === PINNED, played.error || played.code);
  await context.close();
}
