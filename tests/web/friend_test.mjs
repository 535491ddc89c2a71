// A friend far away in the browser: a tab with Seat 2 set to Friend throws
// its turn of a "301" match and gets the code, shared as a #m= link; the
// link opened in another tab plays that turn back, hands the throw over and
// gives a code back at the end of the answering turn, the same match with
// more darts.
import { check, openGame, scene } from './common.mjs';
import { decodeCode } from './codes_test.mjs';
import { playScript } from './support.mjs';

const QUIET = 'hints 0\nhintsChosen 1\n';
// Title > Select game ("301") > two players > ready > the match.
const TO_MATCH = 'clock 100000\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n' +
  'run 14\nkey 0x28\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n';
// One press of A (its message and its held state, which the throw reads),
// then time past the game's gap between presses.
const PRESS = 'hold 0x0D\nkey 0x0D\nrun 1\nrelease 0x0D\nrun 24\n';

const matchCode = (page) => page.evaluate(() => {
  const m = window.tobelyn.module;
  return m.UTF8ToString(m._webMatchCode());
});
const readerPage = (page) => page.evaluate(() => {
  const m = window.tobelyn.module;
  return JSON.parse(m.UTF8ToString(m._webReaderPage()));
});

// Presses A until the page with the code for the friend is up; a press
// while the friend's darts are played back is not the player's and is
// dropped.
async function throwTurn(page, presses) {
  for (let i = 0; i < presses; ++i) {
    const shown = await readerPage(page);
    if (shown.open === 1 && shown.name === 'friend-turn') return true;
    await playScript(page, PRESS);
  }
  return false;
}

// The link the page's A makes, with no share sheet.
async function sharedLink(page) {
  await page.evaluate(() => {
    navigator.share = undefined;
  });
  await playScript(page, PRESS);
  return page.evaluate(() => window.tobelyn.sharedLink || '');
}

export async function testFriendFarAway(browser, url) {
  const first = await browser.newContext();
  const sender = await openGame(first, url + '?test', 'friend: sender',
    { 'tobelyn.host': QUIET + 'seat2Friend 1\n' });
  await playScript(sender, TO_MATCH);
  check('the first turn ends on the page with the code for the friend',
    await throwTurn(sender, 40));
  const sent = await matchCode(sender);
  const link = await sharedLink(sender);
  check('A on that page shares the code as a #m= link', link === `${url}?test#m=${sent}`, link);
  await first.close();

  const second = await browser.newContext();
  const friend = await openGame(second, link, 'friend: answer', { 'tobelyn.host': QUIET });
  await playScript(friend, 'clock 300000\nrun 5\n');
  check('the friend\'s link opens the match at once', (await scene(friend)) === 5);
  check('the answering turn ends on the page with the code to send back',
    await throwTurn(friend, 160));
  const back = await matchCode(friend);
  await second.close();

  const a = decodeCode(sent);
  const b = decodeCode(back || 'AA');
  check('the code sent back is the same match with the answering turn\'s darts after',
    a.count > 0 && b.count > a.count && a.seed === b.seed &&
    a.seats.join() === b.seats.join() &&
    b.darts.subarray(0, Math.floor(a.count * 20 / 8)).equals(
      a.darts.subarray(0, Math.floor(a.count * 20 / 8))),
    `${a.count} darts sent, ${b.count} back; ${sent.length} and ${back.length} letters`);
}
