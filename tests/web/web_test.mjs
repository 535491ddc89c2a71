// The browser game in Debian's Chromium: frames equal to the headless
// build's, the same scoring, play by keys, mouse and touch, settings kept,
// storage refused, site data refused (in a sandboxed frame too), a key-up
// with Ctrl or Meta held, focus lost behind an input storm, a second tab,
// the pass pacer, two computer seats playing a match out, the player book
// (kept by the tab that holds the game, within its budget, only read
// without the tab lock, downloaded as CSV), offline after one visit, and no
// console error anywhere.
//
//   node web_test.mjs --site DIR --replay BIN --hash HEX --book-tool BIN --golden DIR
//     --out DIR [--only NAME,NAME]
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { launch, playScript, readPng, serve, tempDir } from './support.mjs';

const args = {};
for (let i = 2; i < process.argv.length; i += 2) {
  const name = process.argv[i].slice(2);
  const value = process.argv[i + 1];
  args[name] = /^(site|replay|book-tool|golden|out)$/.test(name) ? path.resolve(value) : value;
}

const VK_RETURN = 0x0d;
const failures = [];
const consoleErrors = [];
let passed = 0;

function check(name, ok, detail) {
  if (ok) {
    passed++;
    console.log(`ok   ${name}`);
  } else {
    failures.push(name);
    console.log(`FAIL ${name}${detail ? ': ' + detail : ''}`);
  }
}

function watchConsole(page, label) {
  page.on('console', (m) => {
    if (m.type() === 'error') consoleErrors.push(`${label}: ${m.text()}`);
  });
  page.on('pageerror', (e) => consoleErrors.push(`${label}: ${e.message}`));
}

// Opens the game in a new tab of context; stored, when given, is put in the
// page's storage (key to text) before the page's own script runs.
async function openGame(context, url, label, stored = null) {
  const page = await context.newPage();
  watchConsole(page, label);
  if (stored) {
    await page.addInitScript((items) => {
      for (const [key, text] of Object.entries(items)) window.localStorage.setItem(key, text);
    }, stored);
  }
  await page.goto(url);
  // Under ?test nothing is drawn until the test runs passes.
  const manual = url.includes('?test');
  await page.waitForFunction((m) => window.tobelyn && window.tobelyn.running &&
    (m || window.tobelyn.presents > 0), manual);
  return page;
}

const sceneStep = (page) => page.evaluate(() => window.tobelyn.module._webSceneStep());

// Presses a key (or taps a button) until the game's step satisfies `done`,
// giving each press time to show.
async function pressUntil(page, press, done, what, tries = 40) {
  for (let i = 0; i < tries; ++i) {
    if (done(await sceneStep(page))) return true;
    await press();
    await page.waitForTimeout(250);
  }
  const step = await sceneStep(page);
  if (done(step)) return true;
  throw new Error(`${what}: step ${step}`);
}

// From the title through "301", one player, into the match, then one dart
// thrown: the match reaches the dart's flight (7) or its result (8).
async function playIntoMatchAndThrow(page, press) {
  // Four confirmations: START, "301", one player, the ready screen. Each
  // screen starts at step 0 and waits at 1.
  for (let screen = 0; screen < 4; ++screen) {
    await page.waitForTimeout(400);
    await press();
    await page.waitForTimeout(600);
  }
  await pressUntil(page, press, (s) => s >= 7 && s <= 8, 'a thrown dart');
}

async function testFrames(browser, url) {
  const work = tempDir('tobelyn-frames-');
  const scripts = ['golden_menus.txt', 'golden_option_about.txt', 'golden_301.txt'];
  const context = await browser.newContext({ viewport: { width: 480, height: 800 } });
  // Compared with the game alone: the menu layer's hints are switched off.
  await context.addInitScript(() => {
    window.localStorage.setItem('tobelyn.host', 'hints 0\nhintsChosen 1\n');
  });
  for (const script of scripts) {
    const text = fs.readFileSync(path.join(args.golden, script), 'utf8');
    const dir = path.join(work, script);
    fs.mkdirSync(dir);
    execFileSync(args.replay, [path.join(args.golden, script)], { cwd: dir, stdio: 'ignore' });
    const page = await openGame(context, url + '?test', 'frames ' + script);
    const shots = await playScript(page, text);
    await page.close();
    for (const [name, b64] of Object.entries(shots)) {
      const mine = Buffer.from(b64, 'base64');
      const theirs = readPng(path.join(dir, name));
      let differing = 0;
      for (let i = 0; i < mine.length; i += 4) {
        if (mine[i] !== theirs.rgba[i] || mine[i + 1] !== theirs.rgba[i + 1] ||
            mine[i + 2] !== theirs.rgba[i + 2]) {
          differing++;
        }
      }
      check(`frame ${script} ${name} equals the headless frame`, differing === 0,
        `${differing} pixels differ`);
    }
  }
  await context.close();
  fs.rmSync(work, { recursive: true, force: true });
}

async function testScoring(browser, url) {
  const context = await browser.newContext();
  const page = await openGame(context, url + '?test', 'scoring');
  const hash = await page.evaluate(async () => {
    const idle = { present() {}, play() {}, stop() {}, ended() {} };
    const m = await createTobelyn({ tob: idle });
    return m.UTF8ToString(m._webLandingHash());
  });
  check('the landing table and gauge arc hash as the Linux build\'s', hash === args.hash,
    `${hash} against ${args.hash}`);
  await context.close();
}

async function testKeysSettingsAndTabs(browser, url, out) {
  const context = await browser.newContext({ viewport: { width: 800, height: 900 } });
  let page = await openGame(context, url, 'keys');
  // Arrows and space never scroll the page.
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Space');
  check('arrows and space leave the page unscrolled',
    await page.evaluate(() => window.scrollY === 0 && document.scrollingElement.scrollTop === 0));
  await page.keyboard.press('ArrowUp');
  await page.waitForTimeout(300);
  await playIntoMatchAndThrow(page, () => page.keyboard.press('Enter'));
  check('keys play from the title into a "301" match and throw a dart', true);
  check('a key starts Web Audio and the game\'s sounds play', await page.evaluate(() =>
    window.tobelyn.soundsStarted > 0));
  await page.screenshot({ path: path.join(out, 'web-desktop-match.png') });
  await page.close();

  // Redefine Button C as X on the option screen, with keys and a mouse
  // click on the game's picture, then reload.
  page = await openGame(context, url, 'settings');
  await page.waitForTimeout(300);
  await page.keyboard.press('ArrowDown');
  await page.waitForTimeout(300);
  await page.keyboard.press('Enter');
  await page.waitForTimeout(1500);
  const point = await page.evaluate(() => {
    const t = window.tobelyn;
    const r = document.getElementById('screen').getBoundingClientRect();
    const L = t.layout;
    const k = r.width / t.areaW;
    return { x: r.left + (L.x + (20.5 * L.w) / 240) * k, y: r.top + (L.y + (260.5 * L.h) / 320) * k };
  });
  await page.mouse.click(point.x, point.y);
  await page.waitForTimeout(300);
  await page.keyboard.press('x');
  await page.waitForTimeout(300);
  check('a click on the picture and a key redefine Button C',
    await page.evaluate(() => window.tobelyn.module._webBinding(6) === 0x58));
  await page.keyboard.press('Escape');
  await page.waitForTimeout(800);
  await page.reload();
  await page.waitForFunction(() => window.tobelyn.running && window.tobelyn.presents > 0);
  check('the redefined button is kept across a reload',
    await page.evaluate(() => window.tobelyn.module._webBinding(6) === 0x58));

  // A second tab finds the first.
  const second = await context.newPage();
  watchConsole(second, 'second tab');
  await second.goto(url);
  await second.waitForSelector('#other.shown', { timeout: 5000 }).catch(() => {});
  check('a second tab shows the notice instead of a second game',
    await second.evaluate(() => document.getElementById('other').classList.contains('shown') &&
      !window.tobelyn.running));
  await second.close();
  await page.bringToFront();

  // Reset controls, then QUIT, the goodbye and "Play again".
  await page.click('#reset');
  check('"Reset controls" asks before it resets',
    await page.evaluate(() => window.tobelyn.module._webBinding(6) === 0x58 &&
      document.getElementById('reset').classList.contains('armed')));
  await page.click('#reset');
  check('"Reset controls" puts Button C back on C',
    await page.evaluate(() => window.tobelyn.module._webBinding(6) === 0x43));
  await page.waitForTimeout(300);
  for (let i = 0; i < 3; ++i) {
    await page.keyboard.press('ArrowDown');
    await page.waitForTimeout(250);
  }
  await page.keyboard.press('Enter');
  await page.waitForSelector('#bye.shown', { timeout: 10000 }).catch(() => {});
  check('QUIT shows the goodbye', await page.evaluate(() => !window.tobelyn.running &&
    document.getElementById('bye').classList.contains('shown')));
  await page.click('#again');
  await page.waitForFunction(() => window.tobelyn.running && window.tobelyn.presents > 0, null,
    { timeout: 10000 }).catch(() => {});
  check('"Play again" starts a fresh game', await page.evaluate(() => window.tobelyn.running &&
    window.tobelyn.module._webSceneStep() <= 1));
  await context.close();
}

async function testTouch(browser, url, out) {
  const context = await browser.newContext({
    viewport: { width: 412, height: 915 }, deviceScaleFactor: 2.625, hasTouch: true, isMobile: true,
  });
  const page = await openGame(context, url, 'touch');
  const tapButton = async (i) => {
    const box = await page.locator(`[data-button="${i}"]`).boundingBox();
    await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  };
  const picture = () => page.evaluate(() => window.tobelyn.source.toDataURL());
  await page.waitForTimeout(400);
  const before = await picture();
  await tapButton(1);  // Down
  await page.waitForTimeout(400);
  check('the on-screen Down moves the title\'s cursor', (await picture()) !== before);
  await tapButton(0);  // Up, back to START
  await page.waitForTimeout(400);
  const layout = await page.evaluate(() => window.tobelyn.layout);
  check('the phone\'s picture fills its width from a whole-number scale',
    layout.w >= 1000 && (layout.scale > 0 || layout.sharp >= 3), JSON.stringify(layout));
  await page.screenshot({ path: path.join(out, 'web-phone-title.png') });
  await playIntoMatchAndThrow(page, () => tapButton(4));
  check('touch buttons alone play into a match and throw a dart', true);
  await page.screenshot({ path: path.join(out, 'web-phone-match.png') });
  await context.close();
}

// On a phone the board itself throws: each touch on the picture is a press
// of A during a match (a mouse click is not). The bar's Menu button pauses
// the game under the menu and closes it again.
async function testTapToThrow(browser, url, out) {
  const context = await browser.newContext({
    viewport: { width: 412, height: 915 }, deviceScaleFactor: 2.625, hasTouch: true, isMobile: true,
  });
  const page = await openGame(context, url, 'tap to throw');
  const touch = async (selector) => {
    const box = await page.locator(selector).boundingBox();
    await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  };
  const picture = () => page.evaluate(() => window.tobelyn.source.toDataURL());
  for (let screen = 0; screen < 4; ++screen) {
    await page.waitForTimeout(400);
    await touch('[data-button="4"]');
    await page.waitForTimeout(600);
  }
  const box = await page.locator('#canvas').boundingBox();
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
  await page.waitForTimeout(400);
  check('a mouse click on the board does not throw', (await sceneStep(page)) === 1);
  await pressUntil(page, () => touch('#canvas'), (s) => s >= 7 && s <= 8,
    'a dart thrown by touching the board');
  check('touching the board alone throws a whole dart', true);
  await pressUntil(page, () => touch('#canvas'), (s) => s === 1 || s === 3, 'the next dart');
  const playing = await picture();
  await page.click('#menu');
  await page.waitForTimeout(400);
  const menu = await picture();
  await page.waitForTimeout(600);
  check('the Menu button lays the menu over a paused game',
    menu !== playing && (await picture()) === menu);
  await page.screenshot({ path: path.join(out, 'web-phone-menu.png') });
  await page.click('#menu');
  await page.waitForTimeout(400);
  check('the Menu button again closes the menu', (await picture()) !== menu);
  await context.close();
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

// The page hidden (another tab, the phone's home screen): the page's own
// hidden branch runs, as it does in a browser.
async function hidePage(target) {
  await target.evaluate(() => {
    Object.defineProperty(document, 'visibilityState', { configurable: true, get: () => 'hidden' });
    document.dispatchEvent(new Event('visibilitychange'));
  });
}

// The page going away: hidden first, then gone.
async function hideAndLeave(page) {
  await hidePage(page);
  await page.evaluate(() => window.dispatchEvent(new PageTransitionEvent('pagehide', { persisted: false })));
}

// What a book holds, as the book's own reader counts it.
function countBook(text) {
  return JSON.parse(execFileSync(args['book-tool'], ['count'], { input: text }).toString());
}

// A valid book past the page's budget, made by the book's own writer.
let bigBook = null;
function makeBigBook() {
  if (bigBook === null) {
    bigBook = execFileSync(args['book-tool'], ['make', String(BOOK_BUDGET + 200 * 1024)],
      { maxBuffer: 4 * BOOK_BUDGET }).toString('latin1');
  }
  return bigBook;
}

// The two computer seats play a whole "301" match to its end screen by
// themselves, and the tab that holds the game keeps it in its book, while a
// second tab only shows the notice and, closed, leaves that book alone. The
// page's CSV button downloads the match's darts.
async function testCpuSeats(browser, url) {
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
  await page.waitForTimeout(300);
  check('a second tab shows the notice, and closing it leaves the first tab\'s book as kept',
    notice && (await storedBook(page)) === book, `notice ${notice}`);

  const [download] = await Promise.all([page.waitForEvent('download', { timeout: 5000 }),
    page.click('#csv')]);
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
async function testBookBudget(browser, url) {
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
async function testBookReadOnly(browser, url) {
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
    await page.waitForTimeout(500);
    await hideAndLeave(page);
    const kept = await storedBook(page);
    check(`a page ${c.name} reads the stored book and plays a match out`,
      csvRows === seededDarts && step === 14, `${csvRows} of ${seededDarts} darts, step ${step}`);
    check(`a page ${c.name} leaves the stored book byte for byte as it was`, kept === seeded,
      `${kept === null ? 'none' : kept.length} bytes of ${seeded.length}`);
    await context.close();
  }
}

async function testStorageRefused(browser, url) {
  const context = await browser.newContext();
  await context.addInitScript(() => {
    Object.defineProperty(window, 'localStorage', {
      get() {
        throw new DOMException('storage is off', 'SecurityError');
      },
    });
  });
  const page = await openGame(context, url, 'no storage');
  await page.waitForTimeout(300);
  await page.keyboard.press('Enter');
  await page.waitForTimeout(800);
  const step = await sceneStep(page);
  await hidePage(page);
  check('a page whose storage throws still plays, and is hidden without an error', step >= 1 &&
    await page.evaluate(() => window.tobelyn.running), `step ${step}`);
  await context.close();
}

// The browser refuses site data: blocked in the profile, or the site inside
// a sandboxed or cross-site frame. Locks, storage, the service worker and
// audio may each throw or reject; the game starts and plays all the same.
async function testRefusals(browser, url) {
  const cases = [
    {
      name: 'inside a sandboxed frame without allow-same-origin',
      async open(context) {
        // The frame's origin is opaque, so its requests are cross-origin.
        await context.route('**/*', async (route) => {
          if (route.request().url().endsWith('/frame-host.html')) {
            await route.fulfill({ contentType: 'text/html', body:
              `<iframe sandbox="allow-scripts" src="${url}" width="480" height="640"></iframe>` });
            return;
          }
          const response = await route.fetch();
          await route.fulfill({ response,
            headers: { ...response.headers(), 'access-control-allow-origin': '*' } });
        });
        const page = await context.newPage();
        watchConsole(page, 'sandboxed frame');
        await page.goto(url + 'frame-host.html');
        await page.waitForFunction(() => document.querySelector('iframe'));
        await page.waitForTimeout(200);
        return [page, page.frames().find((f) => f !== page.mainFrame())];
      },
    },
    {
      name: 'with locks, storage, the service worker and audio all refused',
      async open(context) {
        await context.addInitScript(() => {
          const refusal = () => new DOMException('site data is blocked', 'SecurityError');
          Object.defineProperty(window, 'localStorage', { get() { throw refusal(); } });
          Object.defineProperty(Navigator.prototype, 'serviceWorker', {
            get() { throw refusal(); },
          });
          Object.defineProperty(Navigator.prototype, 'locks', {
            get() { return { request: () => Promise.reject(refusal()) }; },
          });
          window.AudioContext = function () { throw refusal(); };
        });
        const page = await context.newPage();
        watchConsole(page, 'refused');
        await page.goto(url);
        return [page, page.mainFrame()];
      },
    },
  ];
  for (const c of cases) {
    const context = await browser.newContext({ viewport: { width: 500, height: 700 } });
    const [page, frame] = await c.open(context);
    const started = await frame.waitForFunction(() => window.tobelyn && window.tobelyn.running &&
      window.tobelyn.presents > 0, null, { timeout: 15000 }).then(() => true, () => false);
    let step = -1;
    if (started) {
      await page.waitForTimeout(400);
      await frame.locator('#screen').click();
      await page.keyboard.press('Enter');
      await page.waitForTimeout(800);
      step = await frame.evaluate(() => window.tobelyn.module._webSceneStep());
      await hidePage(frame);
    }
    check(`the game starts and plays ${c.name}`, started && step >= 1, `step ${step}`);
    await context.close();
  }
}

// A key let go while Ctrl or Meta is held is let go in the game too.
async function testKeyUpWithModifier(browser, url) {
  const context = await browser.newContext();
  const page = await openGame(context, url + '?test', 'modifier key-up');
  // Every event the page gives the module is noted. (The module replaces
  // its export on the first call, hence the setter.)
  await page.evaluate(() => {
    const t = window.tobelyn;
    let real = t.module._webInput;
    const noting = (kind, a, ...rest) => {
      t.sent.push([kind, a]);
      return real(kind, a, ...rest);
    };
    Object.defineProperty(t.module, '_webInput', { configurable: true,
      get: () => noting, set: (f) => { real = f; } });
  });
  for (const modifier of ['Control', 'Meta']) {
    await page.evaluate(() => { window.tobelyn.sent = []; });
    await page.keyboard.down('Enter');
    await page.keyboard.down(modifier);
    await page.keyboard.up('Enter');
    await page.keyboard.up(modifier);
    const sent = await page.evaluate(() => window.tobelyn.sent);
    check(`Enter released while ${modifier} is held is released in the game`,
      sent.some(([kind, vk]) => kind === 2 && vk === VK_RETURN), JSON.stringify(sent));
  }
  await context.close();
}

// A storm of key presses between two passes: the presses are capped, and
// the window losing focus behind them still reaches the game, which then
// stops drawing.
async function testInputStorm(browser, url) {
  const context = await browser.newContext();
  const page = await openGame(context, url + '?test', 'storm');
  const r = await page.evaluate(() => {
    const m = window.tobelyn.module;
    const KEY_DOWN = 1, KEY_UP = 2, ACTIVATE = 5, VK_Q = 0x51, VK_RETURN = 0x0d;
    const run = (passes) => {
      for (let i = 0; i < passes; ++i) {
        m._webRunPass();
        m._webAdvanceClock(16);
      }
    };
    run(120);
    for (let i = 0; i < 1000; ++i) m._webInput(KEY_DOWN, VK_Q, 0, 0, 0);
    const deactivateQueued = m._webInput(ACTIVATE, 0, 0, 0, 0);
    run(300);
    // Enter on the title changes the picture, unless the game is inactive.
    const presents = window.tobelyn.presents;
    m._webInput(KEY_DOWN, VK_RETURN, 0, 0, 0);
    m._webInput(KEY_UP, VK_RETURN, 0, 0, 0);
    run(120);
    return { deactivateQueued, drawnWhileInactive: window.tobelyn.presents - presents };
  });
  check('focus lost behind a storm of key presses is kept and reaches the game',
    r.deactivateQueued === 1 && r.drawnWhileInactive === 0, JSON.stringify(r));
  await context.close();
}

async function testPacer(browser, url) {
  const context = await browser.newContext();
  const page = await openGame(context, url + '?test', 'pacer');
  for (const hz of [30, 60, 120, 144]) {
    const r = await page.evaluate((rate) => {
      const m = window.tobelyn.module;
      m._webResetPacer();
      let t = 5000, total = 0, most = 0;
      const frames = Math.round(rate * 10);
      for (let i = 0; i < frames; ++i) {
        // A little jitter, as real frame stamps have.
        const n = m._webFrame(t + ((i * 7919) % 5) * 0.1 - 0.2);
        total += n;
        most = Math.max(most, n);
        t += 1000 / rate;
      }
      const afterGap = m._webFrame(t + 10000);
      return { total, most, afterGap };
    }, hz);
    check(`pacer at ${hz} Hz: 60 passes a second, no burst after a 10 s gap`,
      Math.abs(r.total - 600) <= 1 && r.most <= Math.ceil(60 / hz) + 1 && r.afterGap === 1,
      JSON.stringify(r));
  }
  await context.close();
}

async function testOffline(browser, site) {
  const server = await serve(site);
  const context = await browser.newContext();
  const page = await context.newPage();
  watchConsole(page, 'offline');
  await page.goto(server.url);
  await page.waitForFunction(() => navigator.serviceWorker && navigator.serviceWorker.controller,
    null, { timeout: 20000 }).catch(() => {});
  await server.close();
  let ok = false;
  try {
    await page.reload();
    await page.waitForFunction(() => window.tobelyn && window.tobelyn.presents > 0, null,
      { timeout: 10000 });
    ok = true;
  } catch (e) {
    ok = false;
  }
  check('the site starts again with the server gone after one visit', ok);
  // The page went offline on purpose: its failed network requests are not
  // faults of the game.
  await context.close();
}

async function main() {
  const out = args.out;
  fs.mkdirSync(out, { recursive: true });
  const server = await serve(path.resolve(args.site));
  const browser = await launch();
  const started = Date.now();
  const steps = {
    scoring: () => testScoring(browser, server.url),
    frames: () => testFrames(browser, server.url),
    keys: () => testKeysSettingsAndTabs(browser, server.url, out),
    touch: () => testTouch(browser, server.url, out),
    tapToThrow: () => testTapToThrow(browser, server.url, out),
    cpuSeats: () => testCpuSeats(browser, server.url),
    bookBudget: () => testBookBudget(browser, server.url),
    bookReadOnly: () => testBookReadOnly(browser, server.url),
    storage: () => testStorageRefused(browser, server.url),
    refusals: () => testRefusals(browser, server.url),
    modifiers: () => testKeyUpWithModifier(browser, server.url),
    storm: () => testInputStorm(browser, server.url),
    pacer: () => testPacer(browser, server.url),
    offline: () => testOffline(browser, args.site),
  };
  // --only NAME,NAME runs some of them.
  const chosen = args.only ? args.only.split(',') : Object.keys(steps);
  for (const name of chosen) {
    const step = steps[name];
    try {
      await step();
    } catch (e) {
      check(String(e.message || e).split('\n')[0], false);
    }
  }
  check('no console error or uncaught exception in the whole run', consoleErrors.length === 0,
    consoleErrors.slice(0, 5).join(' | '));
  await browser.close();
  await server.close();
  console.log(`web tests: ${passed} passed, ${failures.length} failed in ${((Date.now() - started) / 1000).toFixed(1)} s`);
  process.exit(failures.length === 0 ? 0 : 1);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
