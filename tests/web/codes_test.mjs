// A match cut off by a reload, resumed in the browser (a phone's viewport):
// two computer seats play a "301" match until a few darts are kept in the
// page's storage (tobelyn.match, written after every dart); the page is
// reloaded, the host's menu offers "Resume match" under Play..., and the
// match goes on from the kept darts with the same seed.
import { check, frames, openGame } from './common.mjs';
import { playScript } from './support.mjs';

const CPU_SEATS = 'hints 0\nhintsChosen 1\nseat1Level 5\nseat2Level 4\nfastCpu 1\n';
const MATCH_KEY = 'tobelyn.match';

// The seed and the dart bytes of a match code (host/match_code.h), and how
// many darts it holds.
export function decodeCode(code) {
  const bytes = Buffer.from(code.replace(/-/g, '+').replace(/_/g, '/'), 'base64');
  let at = 1;
  const varint = () => {
    let value = 0;
    let shift = 0;
    for (;;) {
      const b = bytes[at++];
      value |= (b & 0x7f) << shift;
      shift += 7;
      if ((b & 0x80) === 0) return value;
    }
  };
  varint();  // the sequence
  varint();  // the game
  at += 1 + bytes[at];  // the options
  const players = bytes[at++];
  const seats = [];
  for (let i = 0; i < players; ++i) {
    seats.push(bytes.subarray(at + 2, at + 2 + bytes[at + 1]).toString('latin1'));
    at += 2 + bytes[at + 1];
  }
  const seed = bytes.subarray(at, at + 8).toString('hex');
  at += 8;
  const count = varint();
  return { seed, count, seats, darts: bytes.subarray(at, bytes.length - 4) };
}

const kept = (page) => page.evaluate((key) => window.localStorage.getItem(key) || '', MATCH_KEY);

async function keptDarts(page) {
  const code = (await kept(page)).trim();
  return code ? decodeCode(code) : { seed: '', count: 0, seats: [], darts: Buffer.alloc(0) };
}

const TO_MATCH = 'clock 100000\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n' +
  'run 14\nkey 0x28\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n';
const BOOK_KEY = 'tobelyn.book';
const storedBook = (page) => page.evaluate((key) => window.localStorage.getItem(key) || '',
  BOOK_KEY);
const bookMatches = (book) => book.split('\n').filter((line) => line.startsWith('M '));
const codeOfLine = (line) => (/ code=([A-Za-z0-9_-]+)/.exec(line || '') || [])[1] || '';

export async function testResumeAfterReload(browser, url) {
  const context = await browser.newContext({ viewport: { width: 390, height: 844 },
    isMobile: true, hasTouch: true });
  const page = await openGame(context, url + '?test', 'resume', { 'tobelyn.host': CPU_SEATS });
  const toMatch = 'clock 100000\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n' +
    'run 14\nkey 0x28\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n';
  await playScript(page, toMatch);
  let before = { count: 0 };
  for (let i = 0; i < 40 && before.count < 6; ++i) {
    await playScript(page, 'run 200\n');
    await frames(page, 2);
    before = await keptDarts(page);
  }
  check('a match under way is kept in the page\'s storage after every dart', before.count >= 6,
    `${before.count} darts kept`);

  await page.reload();
  await page.waitForFunction(() => window.tobelyn && window.tobelyn.running);
  await page.evaluate(() => window.tobelyn.module._webMenu());
  // The menu: Resume, then Play... (a match is kept), whose first row is
  // "Resume match".
  await playScript(page, 'clock 200000\nrun 2\nkey 0x28\nrun 2\nkey 0x0D\nrun 2\nkey 0x0D\n' +
    'run 3\n');
  const caughtUp = await page.evaluate(() => window.tobelyn.module._webScene());
  check('after a reload the host\'s menu resumes the kept match', caughtUp === 5,
    `scene ${caughtUp}`);
  let after = before;
  for (let i = 0; i < 40 && after.count <= before.count; ++i) {
    await playScript(page, 'run 200\n');
    await frames(page, 2);
    after = await keptDarts(page);
  }
  const whole = Math.floor((before.count * 20) / 8);
  check('the resumed match goes on from the kept darts with the same seed',
    after.count > before.count && after.seed === before.seed &&
    after.darts.subarray(0, whole).equals(before.darts.subarray(0, whole)),
    `${before.count} then ${after.count} darts`);
  await context.close();
}

// On a phone: two computer seats finish a "301" match; a finger on the summary
// card's rematch words starts the rematch (the seats moved round, a new
// seed). Then a second phone opens the book that match was kept in, and the
// menu's Player book... > Records > A watches it again, which adds nothing
// to the book.
export async function testRematchAndWatch(browser, url) {
  const phone = { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true };
  const context = await browser.newContext(phone);
  const page = await openGame(context, url + '?test', 'rematch', { 'tobelyn.host': CPU_SEATS });
  // The computers leave the end screen soon: the card is tapped at once.
  await playScript(page, TO_MATCH + 'wait 14 400000\nrun 5\n');
  const book = await storedBook(page);
  const played = decodeCode(codeOfLine(bookMatches(book)[0]));
  check('a finished match is kept in the book with its code', played.count > 0,
    book.slice(0, 80));
  // A finger on the card's rematch words, at its foot's right end (the
  // layout is in the screen box's own units).
  const at = await page.evaluate(([gx, gy]) => {
    const L = window.tobelyn.layout;
    const r = document.getElementById('screen').getBoundingClientRect();
    const sx = r.width / (L.x * 2 + L.w);
    return [r.left + (L.x + (gx * L.w) / 240) * sx, r.top + (L.y + (gy * L.h) / 320) * sx];
  }, [215.5, 311.5]);
  await page.touchscreen.tap(at[0], at[1]);
  await playScript(page, 'run 5\n');
  let rematch = { count: 0, seats: [] };
  for (let i = 0; i < 40 && rematch.count < 2; ++i) {
    await playScript(page, 'run 200\n');
    await frames(page, 2);
    rematch = await keptDarts(page);
  }
  check('a finger on the card\'s rematch words starts the rematch with the seats moved round',
    rematch.count >= 2 && rematch.seats.length === 2 &&
    rematch.seats[0] === played.seats[1] && rematch.seats[1] === played.seats[0],
    `${played.seats} then ${rematch.seats}, ${rematch.count} darts`);
  check('the rematch has a new seed', rematch.seed !== '' && rematch.seed !== played.seed,
    `${played.seed} then ${rematch.seed}`);
  await context.close();

  const other = await browser.newContext(phone);
  const viewer = await openGame(other, url + '?test', 'watch',
    { 'tobelyn.host': CPU_SEATS, [BOOK_KEY]: book });
  await viewer.evaluate(() => window.tobelyn.module._webMenu());
  // The title's menu: Resume, Play..., Players, Player book..., whose first
  // row is Records; A there watches its newest entry's match.
  await playScript(viewer, 'clock 200000\nrun 2\nkey 0x28\nrun 2\nkey 0x28\nrun 2\n' +
    'key 0x28\nrun 2\nkey 0x0D\nrun 2\nkey 0x0D\nrun 2\nkey 0x0D\nrun 5\n');
  const watching = await viewer.evaluate(() => window.tobelyn.module._webScene());
  check('Records\' A on a phone watches the kept match again', watching === 5,
    `scene ${watching}`);
  // A watched match stops on its last result, for the watcher to leave.
  await playScript(viewer, 'wait 12 400000\nrun 40\n');
  await frames(viewer, 2);
  const after = bookMatches(await storedBook(viewer));
  check('a watched match to its end adds nothing to the book',
    after.length === bookMatches(book).length, `${after.length} matches`);
  await other.close();
}
