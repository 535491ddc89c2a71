// Every one of the host's games in the browser, by touch alone, played to
// its end by two computer seats: from the menu over the title, Play..., the
// game's row, its page's Play; the end screen, then the title again, where
// the next game is chosen.
import { SCENE, check, openGame, scene, sceneStep } from './common.mjs';
import { playScript } from './support.mjs';

// Two computer seats, throwing fast; hints off so that nothing covers the rows.
const CPU_SEATS = 'hints 0\nhintsChosen 1\nseat1Level 5\nseat2Level 4\nfastCpu 1\n';
const HOST_KEY = 'tobelyn.host';

// The menu over the title has Play... at y 134; the Play... group's rows
// are 20 apart from X01 at y 133. A game's page has Players at y 59 and
// its rows 20 apart: Play is the last (X01's sixth, the others' second).
const PLAY = 'tap 120 134\nrun 2\n';
const GAMES = [
  { name: 'X01', word: 'x01', row: 133, play: 159 },
  { name: 'Cricket', word: 'cricket', row: 155, play: 80 },
  { name: 'Shanghai', word: 'shanghai', row: 175, play: 80 },
  { name: "Bob's 27", word: 'bobs27', row: 194, play: 80 },
];
const END_SHOWN = 14;

export async function testHostGamesToTheirEnds(browser, url) {
  const context = await browser.newContext({ viewport: { width: 480, height: 800 },
    hasTouch: true, isMobile: true });
  const page = await openGame(context, url + '?test', 'host games to their ends',
    { [HOST_KEY]: CPU_SEATS });
  await playScript(page, 'clock 100000\nrun 20\n');
  for (const [i, game] of GAMES.entries()) {
    // Players from 1 to 2 on the first game's page; the others remember it.
    const players = i === 0 ? 'tap 120 62\nrun 2\n' : '';
    await playScript(page, 'key 112\nrun 2\n' + PLAY + `tap 120 ${game.row}\nrun 2\n` + players +
      `tap 120 ${game.play}\nrun 2\nrun 1\n`);
    const started = await page.evaluate(() => window.tobelyn.module._webScene());
    check(`${game.name} chosen by touch on the menu starts a match`, started === SCENE.match,
      `scene ${started}`);
    const stored = await page.evaluate(() => window.tobelyn.module.FS.readFile('/tobelyn/host',
      { encoding: 'utf8' }));
    check(`${game.name} is the game the host's file remembers`,
      stored.includes(`game ${game.word}`) && stored.includes('gamePlayers 2\n'), stored);
    await playScript(page, `wait ${END_SHOWN} 400000\n`);
    check(`two computer seats play ${game.name} to its end screen in the browser`,
      (await sceneStep(page)) === END_SHOWN, `step ${await sceneStep(page)}`);
    // The seats leave the end screen themselves, after its summary.
    await playScript(page, 'run 700\n');
    check(`after ${game.name} the computers leave its end for the title`,
      (await scene(page)) === SCENE.title, `scene ${await scene(page)}`);
  }
  await context.close();
}
