// Sharing a match in the browser and opening it from a link (a phone's
// viewport): two computer seats play a "301" match; Start on its
// summary card shares it as a link on the site's own address (#m=CODE);
// that link opened in a new tab plays the same darts again; a damaged link
// is refused on "Watch or answer" with its reason, and the page's field
// then opens a good code.
import { check, openGame, scene } from './common.mjs';
import { decodeCode } from './codes_test.mjs';
import { playScript } from './support.mjs';

const CPU_SEATS = 'hints 0\nhintsChosen 1\nseat1Level 5\nseat2Level 4\nfastCpu 1\n';
const PHONE = { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true };
// Title > Select game ("301") > two players > ready > the match.
const TO_MATCH = 'clock 100000\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n' +
  'run 14\nkey 0x28\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n';
const END_SHOWN = 14;
const FINISHED = 12;

const matchCode = (page) => page.evaluate(() => {
  const m = window.tobelyn.module;
  return m.UTF8ToString(m._webMatchCode());
});
const readerPage = (page) => page.evaluate(() => {
  const m = window.tobelyn.module;
  return JSON.parse(m.UTF8ToString(m._webReaderPage()));
});

async function watchedDarts(browser, link) {
  const context = await browser.newContext(PHONE);
  const page = await openGame(context, link, 'share: opened', { 'tobelyn.host': CPU_SEATS });
  await playScript(page, 'clock 300000\nrun 5\n');
  const watching = await scene(page);
  // A watched match stops when it is finished: nobody presses on.
  await playScript(page, `wait ${FINISHED} 400000\n`);
  const code = await matchCode(page);
  const address = await page.evaluate(() => location.href);
  await context.close();
  return { watching, code, address };
}

export async function testShareAndOpen(browser, url) {
  const context = await browser.newContext(PHONE);
  const page = await openGame(context, url + '?test', 'share', { 'tobelyn.host': CPU_SEATS });
  await playScript(page, TO_MATCH + `wait ${END_SHOWN} 400000\nrun 20\n`);
  const code = await matchCode(page);
  check('two computer seats play a match to its summary card', code.length > 0, code);
  // Start on the card: the share sheet where there is one, else the link.
  await page.evaluate(() => {
    navigator.share = undefined;
  });
  await playScript(page, 'key 0x53\nrun 2\n');
  const link = await page.evaluate(() => window.tobelyn.sharedLink || '');
  check('Share on the card makes a link on the site\'s own address with the code as #m=',
    link === `${url}?test#m=${code}`, link);
  await context.close();

  const opened = await watchedDarts(browser, link);
  const a = decodeCode(code);
  const b = decodeCode(opened.code || 'AA');
  check('the #m= link opens the match at once', opened.watching === 5, `scene ${opened.watching}`);
  check('the #m= link plays the same darts to the same end',
    a.count > 0 && a.count === b.count && a.seed === b.seed && a.darts.equals(b.darts),
    `${a.count} darts shared, ${b.count} watched`);
  check('the link leaves the address once opened', !opened.address.includes('#m='),
    opened.address);

  // A damaged link: one letter of the code changed.
  const at = Math.floor(code.length / 2);
  const damaged = code.slice(0, at) + (code[at] === 'A' ? 'B' : 'A') + code.slice(at + 1);
  const ctx = await browser.newContext(PHONE);
  const tab = await openGame(ctx, `${url}?test#m=${damaged}`, 'share: damaged',
    { 'tobelyn.host': CPU_SEATS });
  await playScript(tab, 'clock 300000\nrun 5\n');
  const shown = await readerPage(tab);
  const words = (shown.rows || []).map((r) => r.label).join(' ');
  check('a damaged link is refused on "Watch or answer" with its reason',
    shown.open === 1 && shown.name === 'open-code' &&
    words === 'This code is damaged: its check does not match. Copy it again.', JSON.stringify(shown));
  await tab.evaluate(() => window.tobelyn.codesSync());
  const field = tab.locator('#code-input');
  check('the page shows its field beside "Watch or answer"', await field.isVisible());
  // A code typed into the field with markup round it: refused as text.
  await field.fill('<img src=x onerror="window.injected=1">');
  await tab.locator('#code-form button').click();
  await playScript(tab, 'run 3\n');
  const injected = await tab.evaluate(() => window.injected === 1 ||
    document.querySelector('img[src="x"]') !== null);
  check('a code\'s text never reaches the page as markup', !injected);
  await tab.evaluate(() => window.tobelyn.codesSync());
  await field.fill(link);
  await tab.locator('#code-form button').click();
  await playScript(tab, 'run 5\n');
  check('a link pasted into the field opens the match', (await scene(tab)) === 5,
    `scene ${await scene(tab)}`);
  await ctx.close();

  // The link opened while the game runs in another tab: that tab plays it.
  const both = await browser.newContext(PHONE);
  const running = await openGame(both, url + '?test', 'share: running',
    { 'tobelyn.host': CPU_SEATS });
  await playScript(running, 'clock 100000\nrun 20\n');
  const second = await both.newPage();
  await second.goto(link);
  await second.waitForFunction(() => document.getElementById('other').classList.contains('shown'));
  let reached = 0;
  for (let i = 0; i < 20 && reached !== 5; ++i) {
    await playScript(running, 'run 3\n');
    reached = await scene(running);
  }
  check('a link opened in a second tab reaches the game running in the first', reached === 5,
    `scene ${reached}`);
  const notice = await second.locator('#other').textContent();
  check('the second tab says where the match went', notice.includes('other tab'), notice);
  await both.close();
}

// The daily challenge of a fixed day: the same game, level and seed as the
// desktop's and Windows' builds pin (tests/test_daily.cpp).
export async function testDailyChallenge(browser, url) {
  const context = await browser.newContext(PHONE);
  const page = await openGame(context, url + '?test', 'daily');
  const day = await page.evaluate(() => {
    const m = window.tobelyn.module;
    return m.UTF8ToString(m._webDailyChallenge(20794));
  });
  check('the browser picks 2026-12-07\'s challenge as every platform does',
    day === '2 5 15713340923749869242', day);
  await context.close();
}
