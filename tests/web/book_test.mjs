// The player book in the browser: two computer seats play a match out and
// the tab that holds the game keeps it (a second tab only shows the notice),
// "Darts (CSV)" downloads it, a book over its budget is folded back within
// it, and a page without the tab lock reads the book but never writes it.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { check, frames, hideAndLeave, openGame, sceneStep, watchConsole } from './common.mjs';
import { DARTS_ROW, pressKey, toSettingsRow } from './phone_test.mjs';
import { playScript } from './support.mjs';

// The tools the book's own code gives (tobelyn_book_tool).
let bookTool = null;
export function setBookTool(tool) {
  bookTool = tool;
}

// Two computer seats, chosen in the host's stored settings, throwing fast.
const CPU_SEATS = 'hints 0\nhintsChosen 1\nseat1Level 5\nseat2Level 4\nfastCpu 1\n';
const BOOK_KEY = 'tobelyn.book';
// The page keeps its player book within this many bytes.
const BOOK_BUDGET = 2 * 1024 * 1024;
const CSV_HEADER = 'match,date,game,seat,name,round,dart,aim_x,gauge_peak,gauge_release,' +
  'x,y,sector,ring,score,counted,bust';

// Opens the game under ?test with the two computer seats and, when given, a
// player book already in the page's storage.
function openCpuGame(context, url, label, book = null) {
  const stored = { 'tobelyn.host': CPU_SEATS };
  if (book !== null) stored[BOOK_KEY] = book;
  return openGame(context, url + '?test', label, stored);
}

// From the title: START, "301", two players, the ready screen; then no key
// is pressed until the match's end screen. Returns the step it stopped at.
async function playCpuMatch(page) {
  const toMatch = 'clock 100000\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n' +
    'run 14\nkey 0x28\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n';
  await playScript(page, toMatch + 'wait 14 400000\n');
  return sceneStep(page);
}

const storedBook = (page) => page.evaluate((key) => window.localStorage.getItem(key), BOOK_KEY);

// Waits until the page has copied its book to the storage (a match's end is
// kept at the next animation frame); the stored text.
async function bookKeptAfter(page, before) {
  await page.waitForFunction(([key, old]) => window.localStorage.getItem(key) !== old,
    [BOOK_KEY, before], { timeout: 5000 }).catch(() => {});
  return storedBook(page);
}

// What a book holds, as the book's own reader counts it.
function countBook(text) {
  return JSON.parse(execFileSync(bookTool, ['count'], { input: text }).toString());
}

// A valid book past the page's budget, made by the book's own writer.
let bigBook = null;
function makeBigBook() {
  if (bigBook === null) {
    bigBook = execFileSync(bookTool, ['make', String(BOOK_BUDGET + 200 * 1024)],
      { maxBuffer: 4 * BOOK_BUDGET }).toString('latin1');
  }
  return bigBook;
}

// The two computer seats play a whole "301" match to its end screen by
// themselves, and the tab that holds the game keeps it in its book, while a
// second tab only shows the notice and, closed, leaves that book alone. The
// page's CSV button downloads the match's darts.
export async function testCpuSeats(browser, url) {
  const context = await browser.newContext({ viewport: { width: 480, height: 800 },
    acceptDownloads: true });
  const page = await openCpuGame(context, url, 'cpu seats');
  const second = await context.newPage();
  watchConsole(second, 'cpu seats, second tab');
  await second.goto(url);
  await second.waitForSelector('#other.shown', { timeout: 5000 }).catch(() => {});
  const notice = await second.evaluate(() =>
    document.getElementById('other').classList.contains('shown') && !window.tobelyn.running);
  await page.bringToFront();
  const step = await playCpuMatch(page);
  check('two CPU seats play a "301" match to its end screen by themselves', step === 14,
    `step ${step}`);
  const book = (await bookKeptAfter(page, null)) || '';
  const match = book.split('\n').find((line) => line.startsWith('M '));
  check('the finished match is kept in the player book in the page\'s storage',
    book.startsWith('tobelyn-book 2') && match !== undefined, book.slice(0, 80));
  check('the book names the seats and the levels they threw at',
    match !== undefined && / CPU_80 .* 5 4 [0-9a-f]+$/.test(match), match);

  await hideAndLeave(second);
  await second.close({ runBeforeUnload: true });
  await frames(page, 10);
  check('a second tab shows the notice, and closing it leaves the first tab\'s book as kept',
    notice && (await storedBook(page)) === book, `notice ${notice}`);

  // "Darts (CSV)" in the menu's Settings.
  await toSettingsRow(page, DARTS_ROW);
  const [download] = await Promise.all([page.waitForEvent('download', { timeout: 5000 }),
    pressKey(page, 'Enter')]);
  const csv = fs.readFileSync(await download.path(), 'latin1');
  const rows = csv.split('\r\n');
  const darts = book.split('\n').filter((line) => line.startsWith('D ')).length;
  check('"Darts (CSV)" downloads tobelyn-darts.csv, headed, with CRLF line ends',
    download.suggestedFilename() === 'tobelyn-darts.csv' && rows[0] === CSV_HEADER &&
    csv.endsWith('\r\n') && !/[^\r]\n/.test(csv), `${download.suggestedFilename()} ${rows[0]}`);
  check('the CSV has one row for each dart of the match', darts > 0 &&
    rows.length - 2 === darts && rows.slice(1, -1).every((r) => r.startsWith('1,')),
    `${rows.length - 2} rows, ${darts} darts`);
  await context.close();
}

// A book already past the page's budget: after a match it is within the
// budget again, with every match it had and the new one; the oldest darts
// are folded into totals, none lost.
export async function testBookBudget(browser, url) {
  const seeded = makeBigBook();
  const before = countBook(seeded);
  const context = await browser.newContext({ viewport: { width: 480, height: 800 } });
  const page = await openCpuGame(context, url, 'book budget', seeded);
  const step = await playCpuMatch(page);
  const kept = (await bookKeptAfter(page, seeded)) || '';
  const after = countBook(kept);
  const detail = `${JSON.stringify(before)} then ${JSON.stringify(after)}`;
  check(`a book of ${before.bytes} bytes is within the ${BOOK_BUDGET}-byte budget after a match`,
    step === 14 && before.bytes > BOOK_BUDGET && after.bytes <= BOOK_BUDGET &&
    after.bytes === Buffer.byteLength(kept), detail);
  check('the book kept within its budget begins with its header and reads whole',
    kept.startsWith('tobelyn-book 2 ') && after.file === 'ours' && after.skipped === 0, detail);
  check('the book kept within its budget has every match it had and the new one',
    after.matches === before.matches + 1 && after.firstMatch === before.firstMatch &&
    after.lastMatch === before.lastMatch + 1, detail);
  check('its oldest darts are folded into totals, none lost',
    after.folded > before.folded &&
    after.darts + after.folded === before.darts + before.folded + after.lastMatchDarts, detail);
  await context.close();
}

// Where the tab lock is missing or refused, the page cannot tell whether
// another tab keeps the book: it reads the book but never writes it, not at
// a match's end nor when hidden or left.
export async function testBookReadOnly(browser, url) {
  const seeded = makeBigBook();
  const seededDarts = countBook(seeded).darts;
  const cases = [
    { name: 'without tab locks', locks: 'absent' },
    { name: 'whose tab lock is refused', locks: 'refused' },
  ];
  for (const c of cases) {
    const context = await browser.newContext({ viewport: { width: 480, height: 800 } });
    await context.addInitScript((locks) => {
      Object.defineProperty(Navigator.prototype, 'locks', {
        get() {
          if (locks === 'absent') return undefined;
          return { request: () => Promise.reject(new DOMException('refused', 'SecurityError')) };
        },
      });
    }, c.locks);
    const page = await openCpuGame(context, url, `book read only, ${c.name}`, seeded);
    const csvRows = await page.evaluate(() => {
      const m = window.tobelyn.module;
      return m.UTF8ToString(m._webBookCsv()).split('\r\n').length - 2;
    });
    const step = await playCpuMatch(page);
    // Frames in which a page that held the book would copy it.
    await frames(page, 10);
    await hideAndLeave(page);
    const kept = await storedBook(page);
    check(`a page ${c.name} reads the stored book and plays a match out`,
      csvRows === seededDarts && step === 14, `${csvRows} of ${seededDarts} darts, step ${step}`);
    check(`a page ${c.name} leaves the stored book byte for byte as it was`, kept === seeded,
      `${kept === null ? 'none' : kept.length} bytes of ${seeded.length}`);
    await context.close();
  }
}