// The host's own games in the browser, by touch alone: the menu's Play...,
// Cricket's page (two players), Play; two computer seats then play the game
// out to its end screen, and the choice is written to the host's file.
import { check, openGame, scene, sceneStep } from './common.mjs';
import { playScript } from './support.mjs';

// Two computer seats, throwing fast; hints off so that nothing covers the rows.
const CPU_SEATS = 'hints 0\nhintsChosen 1\nseat1Level 5\nseat2Level 4\nfastCpu 1\n';
const HOST_KEY = 'tobelyn.host';
const HOST_FILE = '/tobelyn/host';

// Rows of a game's page start at y 52, 28 apart: a tap at a row's middle.
// The menu over the title has Play... at y 134, the Play... group (X01,
// Cricket, Shanghai, Bob's 27) Cricket at y 155.
const row = (n) => `tap 120 ${62 + 28 * n}\nrun 2\n`;
const PLAY = 'tap 120 134\nrun 2\n';
const CRICKET = 'tap 120 155\nrun 2\n';

export async function testHostGames(browser, url) {
  const context = await browser.newContext({ viewport: { width: 480, height: 800 },
    hasTouch: true, isMobile: true });
  const page = await openGame(context, url + '?test', 'host games', { [HOST_KEY]: CPU_SEATS });
  // The menu over the title (its key), then by taps: Play..., Cricket, Players
  // from 1 to 2, Play.
  await playScript(page, 'clock 100000\nrun 20\nkey 112\nrun 2\n' + PLAY + CRICKET + row(0) +
    'tap 120 80\nrun 2\n' + 'run 1\n');
  check('Cricket chosen by touch on the menu starts a match', (await scene(page)) === 5,
    `scene ${await scene(page)}`);
  // The game writes the host's file at once (the page copies it to the
  // storage when it saves its settings).
  const stored = await page.evaluate((file) => window.tobelyn.module.FS.readFile(file,
    { encoding: 'utf8' }), HOST_FILE);
  check('the game\'s choice is written to the host\'s file',
    stored.includes('game cricket\n') && stored.includes('gamePlayers 2\n'), stored);
  await playScript(page, 'wait 14 400000\n');
  check('two computer seats play Cricket to its end screen in the browser',
    (await sceneStep(page)) === 14, `step ${await sceneStep(page)}`);
  await context.close();
}
