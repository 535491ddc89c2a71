// The page for a player who cannot see it: the announcements of a scripted
// match in the live region equal the list tobelyn-replay's dump gives;
// every page of the host's menu is reached with the keyboard alone, focus
// on the row the game's cursor is on, a value change said once and the
// match's log silent while the menu is open; and axe-core's audit finds
// nothing serious or critical on the title, in a match or in the menu.
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { check, frames, openGame, playIntoMatchAndThrow } from './common.mjs';
import { playScript } from './support.mjs';

const require = createRequire(import.meta.url);
const AXE = require.resolve('axe-core/axe.min.js');
// The replay script's host, seat and seed lines are the page's storage.
const SEATS = 'hints 0\nhintsChosen 1\nseat2Level 5\n';

function lines(text) {
  return text.split('\n').filter((l) => l && !l.startsWith('#'));
}

// The live region's lines, brought up to date first.
function liveRegion(page) {
  return page.evaluate(() => {
    window.tobelyn.a11ySync();
    return [...document.querySelectorAll('#said > div')].map((d) => d.textContent);
  });
}

export async function testSaidMatch(browser, url, args) {
  const scripts = path.join(args.golden, '..', 'scripts');
  const script = fs.readFileSync(path.join(scripts, 'said_match.txt'), 'utf8')
    .split('\n').filter((l) => !/^(host|seat|seed)\b/.test(l)).join('\n');
  const expected = lines(fs.readFileSync(path.join(scripts, 'said_match.expected'), 'utf8'));
  const context = await browser.newContext({ viewport: { width: 480, height: 800 } });
  const page = await openGame(context, url + '?test', 'said match', { 'tobelyn.host': SEATS });
  await playScript(page, script);
  const said = await liveRegion(page);
  check(`the live region says the scripted match's ${expected.length} announcements, as the dump`,
    JSON.stringify(said) === JSON.stringify(expected),
    said.map((s, i) => (s === expected[i] ? null : `${i}: "${s}" for "${expected[i]}"`))
      .filter(Boolean).slice(0, 3).join(' | ') || `${said.length} lines`);
  const region = await page.evaluate(() => {
    const r = document.getElementById('said');
    return `${r.getAttribute('role')} ${r.getAttribute('aria-live')}`;
  });
  check('the announcements are a polite live log', region === 'log polite', region);
  await context.close();
}

// What the focused control is, and what the mirror shows.
function focusNow(page) {
  return page.evaluate(() => {
    window.tobelyn.a11ySync();
    const el = document.activeElement;
    const mirror = document.getElementById('mirror');
    return {
      inMirror: mirror.contains(el) && el !== mirror,
      text: el ? el.textContent : '',
      current: el ? el.getAttribute('aria-current') === 'true' : false,
      row: el && el.dataset ? el.dataset.row : undefined,
      title: mirror.hidden ? '' : (mirror.querySelector('h2') || {}).textContent,
      page: JSON.parse(window.tobelyn.module.UTF8ToString(window.tobelyn.module._webReaderPage())),
      rows: [...mirror.querySelectorAll('button[data-row]')].map((b) => b.textContent),
      buttons: [...mirror.querySelectorAll('button.page-button')].map((b) => b.textContent),
      saidHidden: document.getElementById('said').getAttribute('aria-hidden') === 'true',
      saidLines: document.querySelectorAll('#said > div').length,
      changed: document.getElementById('mirror-said').textContent,
      follows: (() => {
        const p = JSON.parse(window.tobelyn.module.UTF8ToString(
          window.tobelyn.module._webReaderPage()));
        if (!p.open || !mirror.contains(el) || el === mirror) return false;
        const chosen = p.rows.findIndex((r) => r.chosen);
        if (chosen < 0) return el.id === 'mirror-text' || el.classList.contains('page-button');
        const row = p.rows[chosen];
        return el.dataset.row === String(chosen) && el.getAttribute('aria-current') === 'true' &&
          el.textContent === (row.value ? `${row.label}: ${row.value}` : row.label);
      })(),
    };
  });
}

// Waits until the page has caught up with the game and done(now) holds:
// focus is on the mirror's row the game's cursor is on (or, on a page of
// words, on those words or its buttons).
async function settle(page, done = () => true) {
  let now = null;
  for (let i = 0; i < 300; ++i) {
    now = await focusNow(page);
    if (now.follows && done(now)) return { ok: true, now };
    await frames(page, 1);
  }
  return { ok: false, now };
}

async function key(page, name) {
  await page.keyboard.press(name);
}

export async function testKeyboardMenu(browser, url) {
  const context = await browser.newContext({ viewport: { width: 480, height: 800 } });
  const page = await openGame(context, url, 'keyboard menu', {
    'tobelyn.host': 'hints 0\nhintsChosen 1\n' });
  await key(page, 'F1');
  let f = await settle(page);
  check('F1 opens the menu over the title: its mirror titled "Menu", focus on "Resume"',
    f.ok && f.now.title === 'Menu' && f.now.text === 'Resume', JSON.stringify(f.now).slice(0, 200));
  check('while the menu is open the match\'s log is hidden: only the menu speaks', f.now.saidHidden);
  const top = f.now.rows;
  const saidBefore = f.now.saidLines;
  const visited = [];
  // Every row of the menu but Resume, each page it opens, and each page of
  // a group, by Down, Enter and Escape alone.
  for (let i = 1; i < top.length; ++i) {
    await key(page, 'ArrowDown');
    f = await settle(page, (n) => n.text === top[i]);
    check(`Down moves focus to the menu's row "${top[i]}"`, f.ok && f.now.text === top[i],
      f.now.text);
    await key(page, 'Enter');
    f = await settle(page, (n) => n.page.name !== 'menu');
    const opened = f.now.page.name;
    visited.push(opened);
    check(`Enter on "${top[i]}" opens its page "${f.now.title}" with focus on its cursor`,
      f.ok && opened !== 'menu' && f.now.title !== '', JSON.stringify(f.now).slice(0, 200));
    check(`"${top[i]}"'s page has its buttons labelled`, f.now.buttons.includes('Back') &&
      f.now.buttons.every((b) => b.length > 2), f.now.buttons.join(', '));
    if (f.now.page.name === 'book' || f.now.page.name === 'quit') {
      const inner = f.now.rows;
      for (let j = 0; j < inner.length; ++j) {
        if (j > 0) {
          await key(page, 'ArrowDown');
          await settle(page, (n) => n.text === inner[j]);
        }
        await key(page, 'Enter');
        const g = await settle(page, (n) => n.page.name !== f.now.page.name);
        visited.push(g.now.page.name);
        check(`Enter on "${inner[j]}" opens "${g.now.page.name}", focus on its cursor or words`,
          g.ok && g.now.page.name !== f.now.page.name, JSON.stringify(g.now).slice(0, 200));
        await key(page, 'Escape');
        await settle(page, (n) => n.page.name === f.now.page.name);
      }
    }
    if (opened === 'settings') {
      // A value changed on the focused row is said once, in the status.
      const before = f.now.text;
      await key(page, 'ArrowRight');
      const g = await settle(page, (n) => n.text !== before);
      check('Right on Settings\' first row changes it; focus stays, the new value said once',
        g.ok && g.now.text !== before && g.now.changed === g.now.page.rows[0].value &&
        g.now.text.endsWith(g.now.changed), `${before} -> ${g.now.text} (${g.now.changed})`);
      await key(page, 'ArrowLeft');
      await settle(page, (n) => n.text === before);
    }
    await key(page, 'Escape');
    f = await settle(page, (n) => n.page.name === 'menu');
    check(`Escape from "${opened}" comes back to the menu, focus on "${top[i]}"`,
      f.ok && f.now.page.name === 'menu' && f.now.text === top[i], f.now.text);
  }
  check('the menu, its pages and their groups were each reached by keys',
    visited.length >= top.length - 1, visited.join(', '));
  f = await focusNow(page);
  check('nothing was added to the match\'s log while the menu was open',
    f.saidLines === saidBefore, `${saidBefore} then ${f.saidLines}`);
  // A click on a row (a screen reader's activation) acts as the keys would.
  await page.evaluate(() => {
    const rows = [...document.querySelectorAll('#mirror button[data-row]')];
    rows.find((b) => b.textContent === 'Settings').click();
  });
  f = await settle(page, (n) => n.page.name === 'settings');
  check('clicking the mirror\'s "Settings" row opens Settings', f.ok && f.now.page.name === 'settings',
    f.now.page.name);
  await key(page, 'Escape');
  await key(page, 'Escape');
  const closed = await page.waitForFunction(() => document.getElementById('mirror').hidden &&
    document.getElementById('said').getAttribute('aria-hidden') === null, null,
  { timeout: 3000, polling: 'raf' }).then(() => true, () => false);
  check('Escape on the menu closes it: the mirror goes, the match\'s log speaks again', closed);
  await context.close();
}

async function audit(page) {
  await page.addScriptTag({ path: AXE });
  return page.evaluate(async () => {
    const r = await window.axe.run(document, { resultTypes: ['violations'] });
    return r.violations.map((v) => ({ id: v.id, impact: v.impact, nodes: v.nodes.length }));
  });
}

export async function testAxe(browser, url) {
  const context = await browser.newContext({ viewport: { width: 480, height: 800 } });
  const page = await openGame(context, url, 'axe', { 'tobelyn.host': 'hints 0\nhintsChosen 1\n' });
  const screens = [['the title', async () => {}],
    ['a match', () => playIntoMatchAndThrow(page, () => key(page, 'Enter'))],
    ['the menu open', async () => {
      await key(page, 'F1');
      await settle(page);
    }]];
  for (const [name, reach] of screens) {
    await reach();
    const found = await audit(page);
    const grave = found.filter((v) => v.impact === 'serious' || v.impact === 'critical');
    console.log(`axe on ${name}: ${found.length} finding(s)` +
      (found.length ? ': ' + found.map((v) => `${v.id} (${v.impact}, ${v.nodes})`).join(', ') : ''));
    check(`axe-core finds nothing serious or critical on ${name}`, grave.length === 0,
      grave.map((v) => `${v.id} (${v.impact})`).join(', '));
  }
  await context.close();
}
