// The page for players who use a screen reader or the keyboard alone:
// what the game says (whose turn, each dart, the finish, the summary) in a
// live region, and while the menu is open a mirror of its page made of
// real controls - a button for each row, focus on the row the game's
// cursor is on, the page's own buttons labelled. The module tells both
// (platform/web/web_a11y.cpp); keys still go to the game as ever, so the
// mirror follows the game, never the other way round.
'use strict';

(function () {
  const game = window.tobelyn;
  if (!game) return;
  // Announcements kept in the live region, as many as the game keeps.
  const KEEP = 100;
  const VK_LEFT = 0x25, VK_RIGHT = 0x27, VK_ESCAPE = 0x1b;

  const style = document.createElement('style');
  style.textContent = '.sr-only { position: absolute; width: 1px; height: 1px; margin: -1px;' +
    ' padding: 0; overflow: hidden; clip: rect(0 0 0 0); white-space: nowrap; border: 0; }';
  document.head.appendChild(style);

  // The live region: a log, each announcement a line of its own.
  const said = document.createElement('div');
  said.id = 'said';
  said.className = 'sr-only';
  said.setAttribute('role', 'log');
  said.setAttribute('aria-live', 'polite');
  said.setAttribute('aria-label', 'Match');
  // The menu's page, and a change of a value on it (the row stays focused,
  // so it is said here, once).
  const mirror = document.createElement('div');
  mirror.id = 'mirror';
  mirror.className = 'sr-only';
  mirror.setAttribute('role', 'dialog');
  mirror.hidden = true;
  const changed = document.createElement('div');
  changed.id = 'mirror-said';
  changed.className = 'sr-only';
  changed.setAttribute('role', 'status');
  document.body.appendChild(said);
  document.body.appendChild(mirror);
  document.body.appendChild(changed);

  // The page's own controls named for a reader: the picture, and the
  // on-screen buttons, which are pressed, not focused.
  const canvas = document.getElementById('canvas');
  if (canvas && !canvas.getAttribute('role')) canvas.setAttribute('role', 'img');
  for (const el of document.querySelectorAll('[data-button]')) {
    if (!el.getAttribute('role')) el.setAttribute('role', 'button');
  }

  let module = null;
  let lastJson = '';
  let shown = null;  // the page the mirror shows: {name, title, labels, chosen, values}

  function takeSaid(m) {
    const text = m.UTF8ToString(m._webTakeSaid());
    if (!text) return;
    for (const line of text.split('\n')) {
      if (!line) continue;
      const p = document.createElement('div');
      p.textContent = line;
      said.appendChild(p);
    }
    while (said.childNodes.length > KEEP) said.removeChild(said.firstChild);
  }

  function rowText(row) {
    return row.value ? row.label + ': ' + row.value : row.label;
  }

  // The foot bar's words give the page's buttons their names: "Left/Right:
  // player" makes "Previous player" and "Next player".
  function pageButtons(page) {
    const buttons = [];
    const m = /Left\/Right: ([a-z ]+?)(\s\s|$)/.exec(page.foot || '');
    if (m) {
      const what = m[1].trim();
      const change = what === 'change';
      buttons.push([change ? 'Change down' : 'Previous ' + what, VK_LEFT]);
      buttons.push([change ? 'Change up' : 'Next ' + what, VK_RIGHT]);
    }
    buttons.push([page.name === 'menu' ? 'Close menu' : 'Back', VK_ESCAPE]);
    return buttons;
  }

  function focus(el) {
    if (el && document.activeElement !== el) el.focus({ preventScroll: true });
  }

  function chosenIndex(page) {
    return page.rows.findIndex((r) => r.chosen);
  }

  function build(page) {
    mirror.textContent = '';
    mirror.hidden = false;
    mirror.setAttribute('aria-label', page.title || page.name);
    const heading = document.createElement('h2');
    heading.textContent = page.title || page.name;
    mirror.appendChild(heading);
    const rows = [];
    page.rows.forEach((row, i) => {
      if (!row.label) {
        rows.push(null);  // a blank row (room for a note above a choice)
        return;
      }
      const b = document.createElement('button');
      b.type = 'button';
      b.dataset.row = String(i);
      b.textContent = rowText(row);
      b.addEventListener('click', () => {
        if (module) module._webChooseRow(i);
      });
      mirror.appendChild(b);
      rows.push(b);
    });
    let text = null;
    if (page.text) {
      text = document.createElement('div');
      text.id = 'mirror-text';
      text.tabIndex = -1;
      text.setAttribute('role', 'document');
      text.setAttribute('aria-label', page.title || page.name);
      for (const line of page.text.split('\n')) {
        if (!line) continue;
        const p = document.createElement('p');
        p.textContent = line;
        text.appendChild(p);
      }
      mirror.appendChild(text);
    }
    const buttons = pageButtons(page).map(([label, vk]) => {
      const b = document.createElement('button');
      b.type = 'button';
      b.className = 'page-button';
      b.textContent = label;
      b.addEventListener('click', () => {
        if (module) module._webPostKey(vk);
      });
      mirror.appendChild(b);
      return b;
    });
    shown = { name: page.name, title: page.title, text: page.text, rows, buttons,
      labels: page.rows.map((r) => r.label).join('\n'), values: page.rows.map((r) => r.value) };
  }

  function showPage(page) {
    if (!page.open) {
      if (shown) {
        const inside = mirror.contains(document.activeElement);
        mirror.hidden = true;
        mirror.textContent = '';
        shown = null;
        if (inside) document.activeElement.blur();
      }
      said.removeAttribute('aria-hidden');
      return;
    }
    // While the menu is open only the menu speaks.
    said.setAttribute('aria-hidden', 'true');
    const labels = page.rows.map((r) => r.label).join('\n');
    const same = shown && shown.name === page.name && shown.title === page.title &&
      shown.labels === labels && shown.text === page.text;
    const before = same ? shown.values : null;
    if (!same) build(page);
    const chosen = chosenIndex(page);
    page.rows.forEach((row, i) => {
      const b = shown.rows[i];
      if (!b) return;
      b.textContent = rowText(row);
      if (row.chosen) b.setAttribute('aria-current', 'true');
      else b.removeAttribute('aria-current');
    });
    // A value changed on the row that stays focused: said once, here.
    if (before && chosen >= 0 && before[chosen] !== page.rows[chosen].value &&
        document.activeElement === shown.rows[chosen]) {
      changed.textContent = page.rows[chosen].value;
    }
    shown.values = page.rows.map((r) => r.value);
    if (chosen >= 0 && shown.rows[chosen]) focus(shown.rows[chosen]);
    else if (!same) focus(mirror.querySelector('#mirror-text') || shown.buttons[0]);
  }

  function sync() {
    const m = game.running ? game.module : null;
    if (m !== module) {
      module = m;
      lastJson = '';
      if (m) m._webA11yStart();
    }
    if (!m) return;
    takeSaid(m);
    const json = m.UTF8ToString(m._webReaderPage());
    if (json !== lastJson) {
      lastJson = json;
      showPage(JSON.parse(json));
    }
  }

  function tick() {
    sync();
    requestAnimationFrame(tick);
  }
  // Tests bring the page up to date at once after a pass.
  game.a11ySync = sync;
  requestAnimationFrame(tick);
})();
