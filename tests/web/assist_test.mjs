// A seat's assists in the browser: seat 1 set to half pace with
// auto-continue in the page's stored host settings, then a "301" dart
// played pass by pass under ?test. Auto-continue leaves the announcement
// and the result by itself, never before about 1.2 s; while the seat aims
// and works the gauge the game's clock counts one pass in two, and the
// gauge's climb and fall take twice the passes they take at full pace.
import { check, openGame, sceneStep } from './common.mjs';
import { playScript } from './support.mjs';

const ASSISTED = 'hints 0\nhintsChosen 1\nseat1Assist 2\nseat1AutoContinue 1\n';
// START, "301", one player, the ready screen, into the match.
const TO_MATCH = 'clock 100000\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n' +
  'run 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 1\n';
// A press of A held over two passes (one of them the game's at half pace).
const PRESS = 'hold 0x0D\nrun 2\nrelease 0x0D\n';

export async function testAssists(browser, url) {
  const context = await browser.newContext({ viewport: { width: 480, height: 800 } });
  const page = await openGame(context, url + '?test', 'assists', { 'tobelyn.host': ASSISTED });
  const after = async (script) => {
    await playScript(page, script);
    return sceneStep(page);
  };
  const clock = () => page.evaluate(() => window.tobelyn.module._webGameClock());

  await playScript(page, TO_MATCH);
  check('assists: the announcement is still up after 60 passes', await after('run 60\n') === 1);
  check('assists: auto-continue leaves the announcement by itself',
    await after('run 20\n') === 3);

  // 40 platform passes of aiming: 20 game passes of 16 ms.
  const before = await clock();
  const aiming = await after('run 40\n');
  const moved = (await clock()) - before;
  check('assists: at half pace the game clock counts only the game passes',
    aiming === 3 && moved === 320, `step ${aiming}, ${moved} ms`);

  check('assists: A fixes the pointer', await after(PRESS) === 4);
  check('assists: A starts the gauge', await after('run 30\n' + PRESS) === 5);
  // At full pace the gauge climbs to the top and falls back to the bottom
  // in 140 passes and the dart is in the air; at half pace it takes 280.
  const gauge = await after('run 200\n');
  check('assists: the gauge still works after 200 passes', gauge === 5 || gauge === 6,
    `step ${gauge}`);
  check('assists: the dart lands when the gauge reaches the bottom',
    await after('wait 8 200\n') === 8);
  check('assists: auto-continue leaves the result for the next announcement',
    await after('wait 1 300\n') === 1);
  check('assists: and that announcement too', await after('wait 3 200\n') === 3);
  await context.close();
}
