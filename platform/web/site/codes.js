// Match codes between players in the browser: "Share" hands the match to
// the system's share sheet, or copies a link to it (this page's own
// address, the code in its fragment: #m=CODE); opening such a link plays
// the match; on the menu's "Watch or answer" page a field takes a code or
// a link typed or pasted. A code's text is only ever set as text, never
// read as HTML.
'use strict';

(function () {
  const game = window.tobelyn;
  if (!game) return;
  const BUFFER = 8194;  // the module's buffer (kReceivedCodeMax + 2)

  // The address a shared code travels as: wherever the site is hosted.
  function linkTo(code) {
    return location.href.split('#')[0] + '#m=' + code;
  }

  function copyText(text) {
    try {
      if (navigator.clipboard && navigator.clipboard.writeText) {
        navigator.clipboard.writeText(text).catch(() => copyByCommand(text));
        return true;
      }
    } catch (e) {
      // Refused: the older way below.
    }
    return copyByCommand(text);
  }

  function copyByCommand(text) {
    const area = document.createElement('textarea');
    area.value = text;
    area.setAttribute('readonly', '');
    area.style.position = 'fixed';
    area.style.opacity = '0';
    document.body.appendChild(area);
    area.select();
    let done = false;
    try {
      done = document.execCommand('copy');
    } catch (e) {
      done = false;
    }
    area.remove();
    return done;
  }

  // Answers the module: 1 the share sheet is open, 2 the link was copied,
  // 0 neither could be done.
  game.share = (code) => {
    const url = linkTo(code);
    game.sharedLink = url;
    try {
      if (navigator.share && (!navigator.canShare || navigator.canShare({ url }))) {
        navigator.share({ title: 'Tobelyn', text: 'A Tobelyn match', url }).catch(() => {});
        return 1;
      }
    } catch (e) {
      // No share sheet after all: the link is copied instead.
    }
    return copyText(url) ? 2 : 0;
  };

  // Hands a code (or a link holding one) to the game, which plays it or
  // says on its "Watch or answer" page why not.
  function open(text) {
    const m = game.module;
    if (!m || !game.running) return false;
    m.stringToUTF8(String(text).slice(0, BUFFER - 2), m._webCodeBuffer(), BUFFER);
    m._webOpenCode();
    return true;
  }
  game.openCode = open;

  // A tab that is not the game's (the game runs in another tab) hands a
  // link's code to the tab that runs it, through a channel between tabs.
  let channel = null;
  try {
    channel = typeof BroadcastChannel === 'function' ? new BroadcastChannel('tobelyn-codes') : null;
  } catch (e) {
    channel = null;
  }
  if (channel) {
    channel.onmessage = (e) => {
      if (e.data && typeof e.data.code === 'string') open(e.data.code);
    };
  }

  function openFromAddress() {
    if (!location.hash.startsWith('#m=')) return;
    const text = location.hash;
    if (!game.running) {
      if (!channel) return;
      channel.postMessage({ code: text });
      const other = document.getElementById('other');
      if (other) other.textContent = 'The match was sent to Tobelyn in your other tab.';
      return;
    }
    // Opened once: a reload plays the game, not the link again.
    try {
      history.replaceState(null, '', location.href.split('#')[0]);
    } catch (e) {
      // An address that cannot be changed stays as it is.
    }
    open(text);
  }
  window.addEventListener('hashchange', openFromAddress);
  if (game.ready) game.ready.then(openFromAddress, () => {});

  // The field beside "Watch or answer".
  const style = document.createElement('style');
  style.textContent = '#code-form { position: fixed; left: 0; right: 0; bottom: 0; z-index: 2;' +
    ' display: none; gap: 8px; padding: 8px; background: #0e1e46; align-items: center; }' +
    ' #code-form.shown { display: flex; }' +
    ' #code-form input { flex: 1 1 auto; min-width: 0; min-height: 36px; font: 16px monospace;' +
    ' -webkit-user-select: text; user-select: text; }' +
    ' #code-form label { color: #d7ebff; font: bold 14px monospace; }' +
    ' #code-form button { min-height: 44px; min-width: 88px; }';
  document.head.appendChild(style);
  const form = document.createElement('form');
  form.id = 'code-form';
  const label = document.createElement('label');
  label.htmlFor = 'code-input';
  label.textContent = 'Code or link';
  const field = document.createElement('input');
  field.id = 'code-input';
  field.type = 'text';
  field.autocomplete = 'off';
  field.spellcheck = false;
  field.setAttribute('autocapitalize', 'off');
  const go = document.createElement('button');
  go.type = 'submit';
  go.textContent = 'Watch';
  form.append(label, field, go);
  document.body.appendChild(form);
  // Keys typed in the field are the field's, not the game's (Escape
  // still goes back).
  for (const type of ['keydown', 'keyup']) {
    field.addEventListener(type, (e) => {
      if (e.key !== 'Escape') e.stopPropagation();
    });
  }
  form.addEventListener('submit', (e) => {
    e.preventDefault();
    const text = field.value;
    field.value = '';
    field.blur();
    open(text);
  });

  function follow() {
    const m = game.module;
    const shown = !!(m && game.running && m.UTF8ToString(m._webHostPageName()) === 'open-code');
    if (shown !== form.classList.contains('shown')) form.classList.toggle('shown', shown);
  }
  setInterval(follow, 200);
  game.codesSync = follow;
})();
