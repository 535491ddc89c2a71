// The browser game in Debian's Chromium, each subject in a file of its own:
// frames_test.mjs (frames equal to the headless build's, the same scoring),
// play_test.mjs (play by keys, mouse and touch, settings kept, a second
// tab, the Menu button, the hidden page's pause), book_test.mjs (two
// computer seats playing a match out, the player book kept, within its
// budget, only read without the tab lock, downloaded as CSV) and
// robustness_test.mjs (storage and site data refused, a key-up with Ctrl or
// Meta held, focus lost behind an input storm, the pass pacer, offline after
// one visit), assist_test.mjs (a seat at half pace with auto-continue),
// hostgames_test.mjs (the host's Cricket chosen by touch and played out by
// computer seats) and a11y_test.mjs (the live region, the menu by keys alone,
// the axe-core audit); no console error anywhere. Every wait is on what the page can
// tell (its screen, step, frames), never on a fixed time.
//
//   node web_test.mjs --site DIR --replay BIN --hash HEX --book-tool BIN --golden DIR
//     --out DIR [--only NAME,NAME]
import fs from 'node:fs';
import path from 'node:path';
import { testAssists } from './assist_test.mjs';
import { setBookTool, testBookBudget, testBookReadOnly, testCpuSeats } from './book_test.mjs';
import { testRematchAndWatch, testResumeAfterReload } from './codes_test.mjs';
import { check, results } from './common.mjs';
import { testFrames, testScoring } from './frames_test.mjs';
import { testHostGames } from './hostgames_test.mjs';
import { testHostGamesToTheirEnds } from './host_games_ends_test.mjs';
import { testDailyDarts } from './daily_darts_test.mjs';
import {
  testHiddenPause, testKeysSettingsAndTabs, testTapToThrow, testTouch,
} from './play_test.mjs';
import {
  testInputStorm, testKeyUpWithModifier, testOffline, testPacer, testRefusals, testStorageRefused,
} from './robustness_test.mjs';
import { testPhoneLayout } from './phone_test.mjs';
import { testTitleHintDevice } from './touch_hint_test.mjs';
import { launch, serve } from './support.mjs';
import { testAxe, testKeyboardMenu, testSaidMatch } from './a11y_test.mjs';
import { testCues } from './cues_test.mjs';
import { testDailyChallenge, testShareAndOpen } from './share_test.mjs';
import { testFriendFarAway } from './friend_test.mjs';

const args = {};
for (let i = 2; i < process.argv.length; i += 2) {
  const name = process.argv[i].slice(2);
  const value = process.argv[i + 1];
  args[name] = /^(site|replay|book-tool|golden|out)$/.test(name) ? path.resolve(value) : value;
}

async function main() {
  const out = args.out;
  fs.mkdirSync(out, { recursive: true });
  setBookTool(args['book-tool']);
  const server = await serve(path.resolve(args.site));
  const browser = await launch();
  const started = Date.now();
  const url = server.url;
  const steps = {
    scoring: () => testScoring(browser, url, args),
    frames: () => testFrames(browser, url, args),
    keys: () => testKeysSettingsAndTabs(browser, url, out),
    touch: () => testTouch(browser, url, out),
    tapToThrow: () => testTapToThrow(browser, url, out),
    hiddenPause: () => testHiddenPause(browser, url),
    cpuSeats: () => testCpuSeats(browser, url),
    bookBudget: () => testBookBudget(browser, url),
    bookReadOnly: () => testBookReadOnly(browser, url),
    storage: () => testStorageRefused(browser, url),
    refusals: () => testRefusals(browser, url),
    modifiers: () => testKeyUpWithModifier(browser, url),
    storm: () => testInputStorm(browser, url),
    pacer: () => testPacer(browser, url),
    offline: () => testOffline(browser, args.site),
    phoneLayout: () => testPhoneLayout(browser, url),
    assists: () => testAssists(browser, url),
    hostGames: () => testHostGames(browser, url),
    resume: () => testResumeAfterReload(browser, url),
    rematchWatch: () => testRematchAndWatch(browser, url),
    said: () => testSaidMatch(browser, url, args),
    keyboardMenu: () => testKeyboardMenu(browser, url),
    axe: () => testAxe(browser, url),
    titleHintDevice: () => testTitleHintDevice(browser, url),
    cues: () => testCues(browser, url),
    share: () => testShareAndOpen(browser, url),
    daily: () => testDailyChallenge(browser, url),
    hostGamesToTheirEnds: () => testHostGamesToTheirEnds(browser, url),
    dailyDarts: () => testDailyDarts(browser, url),
    friend: () => testFriendFarAway(browser, url),
  };
  // --only NAME,NAME runs some of them.
  const chosen = args.only ? args.only.split(',') : Object.keys(steps);
  for (const name of chosen) {
    const step = steps[name];
    if (step === undefined) {
      check(`no subject named ${name}`, false);
      continue;
    }
    try {
      await step();
    } catch (e) {
      check(String(e.message || e).split('\n')[0], false);
    }
  }
  check('no console error or uncaught exception in the whole run',
    results.consoleErrors.length === 0, results.consoleErrors.slice(0, 5).join(' | '));
  await browser.close();
  await server.close();
  console.log(`web tests: ${results.passed} passed, ${results.failures.length} failed in ` +
    `${((Date.now() - started) / 1000).toFixed(1)} s`);
  process.exit(results.failures.length === 0 ? 0 : 1);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
