// The page around the game: starts the WebAssembly module, drives its
// passes from animation frames, draws its frames into the canvas, turns
// keys, taps and the on-screen buttons into its input, plays its sounds,
// keeps its settings in the page's storage, finds a second tab, and offers
// "Play again" after the game ends.
'use strict';

(function () {
  const W = 240;
  const H = 320;
  const STORAGE_KEY = 'tobelyn.settings';
  const SETTINGS_FILE = '/tobelyn/settings';
  // The menu's own settings (volume, hints), apart from the game's.
  const HOST_STORAGE_KEY = 'tobelyn.host';
  const HOST_FILE = '/tobelyn/host';
  // The player book: kept only by the tab that holds the game's lock.
  const BOOK_STORAGE_KEY = 'tobelyn.book';
  const BOOK_FILE = '/tobelyn/book';
  const MATCH_STORAGE_KEY = 'tobelyn.match';
  const MATCH_FILE = '/tobelyn/match';
  const FRIENDS_STORAGE_KEY = 'tobelyn.friends';
  const FRIENDS_FILE = '/tobelyn/friends';
  // Input event kinds, as the module's webInput takes them.
  const KEY_DOWN = 1, KEY_UP = 2, POINTER_DOWN = 3, POINTER_UP = 4, ACTIVATE = 5, RELEASE_ALL = 6;

  // ?test: the passes and the clock move only when a test says so, as in
  // the headless build, and no service worker is installed.
  const TEST = /[?&]test\b/.test(location.search);

  const canvas = document.getElementById('canvas');
  const screenBox = document.getElementById('screen');
  const pad = document.getElementById('pad');
  const dpad = pad.querySelector('.dpad');
  const face = pad.querySelector('.face');
  const PAD_GAP = 10;  // CSS pixels between the picture and the pad
  const ctx = canvas.getContext('2d', { alpha: false });
  // The game's own 240x320 picture. The canvas on the page holds it at a
  // whole-number scale, square pixels; where the picture is larger than
  // that, the browser smooths the rest of the way as it scales the canvas.
  const source = document.createElement('canvas');
  source.width = W;
  source.height = H;
  const sourceCtx = source.getContext('2d', { alpha: false });

  const state = {
    module: null,
    image: null,      // ImageData over the module's RGBA rows
    running: false,
    manual: TEST,     // tests drive the passes themselves
    layout: { x: 0, y: 0, w: W, h: H, scale: 1, sharp: 1 },
    areaW: W,
    areaH: H,
    presents: 0,
    soundsStarted: 0,
    firstPresentMs: 0,  // since navigation started
    lastPresentMs: 0,
    lockRelease: null,
    bookOwner: false,  // this tab holds the lock: it may write the book
    source,
    input,
  };
  window.tobelyn = state;

  // --- Storage. Any failure (private modes, quota, storage turned off)
  // leaves the game on its defaults, silently.

  function storageGet(key = STORAGE_KEY) {
    try {
      return window.localStorage.getItem(key);
    } catch (e) {
      return null;
    }
  }

  function storageSet(text, key = STORAGE_KEY) {
    try {
      window.localStorage.setItem(key, text);
    } catch (e) {
      // Storage refused: the settings last only as long as the page.
    }
  }

  // Copies a file the game has just written to the storage under key.
  function keepFile(file, key) {
    const m = state.module;
    if (!m) return;
    try {
      storageSet(m.FS.readFile(file, { encoding: 'utf8' }), key);
    } catch (e) {
      // No file yet.
    }
  }

  function keepSettings() {
    keepFile(SETTINGS_FILE, STORAGE_KEY);
    keepFile(HOST_FILE, HOST_STORAGE_KEY);
  }

  // The player book, by the tab that holds the lock only. A refusal (quota,
  // private mode) leaves the old copy; the game plays on.
  function keepBook() {
    if (state.bookOwner) keepFile(BOOK_FILE, BOOK_STORAGE_KEY);
  }

  function downloadBook() {
    const m = state.module;
    if (!m || !state.running) return;
    const csv = m.UTF8ToString(m._webBookCsv());
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([csv], { type: 'text/csv' }));
    link.download = 'tobelyn-darts.csv';
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  }

  function saveSettings() {
    if (!state.running || !state.module) return;
    state.module._webSaveSettings();
    keepSettings();
    keepBook();
  }

  // --- Layout: the picture at a whole-number scale in device pixels, or
  // smoothed from the largest whole scale when that leaves much empty.

  function layout(areaW, areaH) {
    state.areaW = Math.max(1, areaW);
    state.areaH = Math.max(1, areaH);
    const m = state.module;
    if (m) {
      const p = m._webLayout(state.areaW, state.areaH) >> 2;
      const v = m.HEAP32.subarray(p, p + 6);
      state.layout = { x: v[0], y: v[1], w: v[2], h: v[3], scale: v[4], sharp: v[5] };
    }
    const L = state.layout;
    const s = L.scale > 0 ? L.scale : L.sharp;
    canvas.width = W * s;
    canvas.height = H * s;
    // Area pixels to CSS pixels.
    const k = screenBox.getBoundingClientRect().width / state.areaW || 1 / devicePixelRatio;
    canvas.style.left = L.x * k + 'px';
    canvas.style.top = L.y * k + 'px';
    canvas.style.width = L.w * k + 'px';
    canvas.style.height = L.h * k + 'px';
    // Upright, the picture is centred in its area: the pad comes up to sit
    // a little under it, so the two stand together with the spare room
    // shared above and below.
    // Sideways, the two halves of the pad come halfway in from the edges.
    const below = (state.areaH - L.y - L.h) * k;
    const upright = getComputedStyle(pad).display !== 'contents';
    pad.style.transform = upright && below > PAD_GAP ? `translateY(${PAD_GAP - below}px)` : '';
    const side = upright ? 0 : Math.max(0, L.x * k - PAD_GAP) / 2;
    dpad.style.transform = side ? `translateX(${side}px)` : '';
    face.style.transform = side ? `translateX(${-side}px)` : '';
    draw(0, H);
  }

  function draw(first, rows) {
    const L = state.layout;
    const s = L.scale > 0 ? L.scale : L.sharp;
    ctx.imageSmoothingEnabled = false;
    ctx.drawImage(source, 0, first, W, rows, 0, first * s, W * s, rows * s);
  }

  function watchSize() {
    const apply = (w, h) => layout(Math.round(w), Math.round(h));
    if (typeof ResizeObserver === 'function') {
      const ro = new ResizeObserver((entries) => {
        const e = entries[entries.length - 1];
        const r = e.contentRect;
        let w = r.width * devicePixelRatio, h = r.height * devicePixelRatio;
        // The exact device pixels where the browser reports them (some
        // emulated screens report CSS pixels there: those are ignored).
        const d = e.devicePixelContentBoxSize && e.devicePixelContentBoxSize[0];
        if (d && Math.abs(d.inlineSize - w) < 1 && Math.abs(d.blockSize - h) < 1) {
          w = d.inlineSize;
          h = d.blockSize;
        }
        apply(w, h);
      });
      try {
        ro.observe(screenBox, { box: 'device-pixel-content-box' });
      } catch (e) {
        ro.observe(screenBox);
      }
    } else {
      const onResize = () => {
        const r = screenBox.getBoundingClientRect();
        apply(r.width * devicePixelRatio, r.height * devicePixelRatio);
      };
      window.addEventListener('resize', onResize);
      onResize();
    }
  }

  // --- Sound: Web Audio, started by the first touch or key.

  const audio = { ctx: null, buffers: new Map(), playing: null };
  state.audio = audio;

  function startAudio() {
    const Ctx = window.AudioContext || window.webkitAudioContext;
    if (!Ctx) return;
    try {
      if (!audio.ctx) audio.ctx = new Ctx();
      if (audio.ctx.state !== 'running' && audio.ctx.state !== 'closed') audio.ctx.resume().catch(() => {});
    } catch (e) {
      audio.ctx = null;
    }
  }

  function stopSound() {
    if (audio.playing) {
      try {
        audio.playing.stop();
      } catch (e) {
        // Already ended.
      }
      audio.playing = null;
    }
  }

  // gain: the menu's volume in 1/65536 (65536 plays the samples as they
  // are), in equal loudness steps.
  function playSound(ptr, bytes, gain = 65536) {
    stopSound();
    const ac = audio.ctx;
    // A context still starting (the first touch or key's own sound) plays
    // the sound as soon as it runs; none is made before the first touch.
    if (!ac || ac.state === 'closed' || bytes < 2) return;
    try {
      let buffer = audio.buffers.get(ptr);
      if (!buffer) {
        const count = bytes >> 1;
        buffer = ac.createBuffer(1, count, 44100);
        const out = buffer.getChannelData(0);
        const view = new DataView(state.module.HEAPU8.buffer, ptr, bytes);
        for (let i = 0; i < count; ++i) out[i] = view.getInt16(i * 2, true) / 32768;
        audio.buffers.set(ptr, buffer);
      }
      const src = ac.createBufferSource();
      src.buffer = buffer;
      if (gain < 65536) {
        const node = ac.createGain();
        node.gain.value = Math.max(0, gain) / 65536;
        src.connect(node).connect(ac.destination);
      } else {
        src.connect(ac.destination);
      }
      src.onended = () => {
        if (audio.playing === src) audio.playing = null;
      };
      src.start();
      audio.playing = src;
      state.soundsStarted++;
    } catch (e) {
      // Sound refused by the browser: the game plays on in silence.
    }
  }

  // --- The host's voice: one tone and short marks, each through a stereo
  // panner into the same output as the game's sounds, so that neither ever
  // stops the other. `taps` holds an analyser a side, for the tests.
  const voice = { ctx: null, osc: null, gain: null, pan: null, taps: null, marks: 0,
    tone: { hz: 0, pan: 0, level: 0 } };
  state.voice = voice;

  function voiceGraph(ac) {
    if (voice.ctx === ac) return !!voice.osc;
    voice.ctx = ac;
    voice.osc = null;
    if (!ac.createStereoPanner) return false;
    voice.out = ac.createGain();
    voice.out.connect(ac.destination);
    const split = ac.createChannelSplitter(2);
    voice.out.connect(split);
    voice.taps = [ac.createAnalyser(), ac.createAnalyser()];
    split.connect(voice.taps[0], 0);
    split.connect(voice.taps[1], 1);
    voice.gain = ac.createGain();
    voice.gain.gain.value = 0;
    voice.pan = ac.createStereoPanner();
    voice.osc = ac.createOscillator();
    voice.osc.connect(voice.gain).connect(voice.pan).connect(voice.out);
    voice.osc.start();
    return true;
  }

  function voiceTone(hz, pan, level, gain) {
    voice.tone = { hz, pan, level: level * gain / 65536 };
    const ac = audio.ctx;
    if (!ac || ac.state === 'closed') return;
    try {
      if (!voiceGraph(ac)) return;
      const t = ac.currentTime;
      if (hz > 0) voice.osc.frequency.setValueAtTime(hz, t);
      voice.pan.pan.setTargetAtTime(Math.max(-1, Math.min(1, pan)), t, 0.001);
      voice.gain.gain.setTargetAtTime(voice.tone.level, t, 0.002);
    } catch (e) {
      // Refused by the browser: the game plays on without the voice.
    }
  }

  function voiceMark(hz, hzEnd, pan, level, ms, gain) {
    voice.marks++;
    const ac = audio.ctx;
    if (!ac || ac.state === 'closed') return;
    try {
      if (!voiceGraph(ac)) return;
      const t = ac.currentTime;
      const end = t + ms / 1000;
      const osc = ac.createOscillator();
      const g = ac.createGain();
      const p = ac.createStereoPanner();
      osc.frequency.setValueAtTime(hz, t);
      osc.frequency.linearRampToValueAtTime(hzEnd, end);
      g.gain.setValueAtTime(level * gain / 65536, t);
      g.gain.linearRampToValueAtTime(0, end);
      p.pan.value = Math.max(-1, Math.min(1, pan));
      osc.connect(g).connect(p).connect(voice.out);
      osc.start(t);
      osc.stop(end + 0.01);
    } catch (e) {
      // As above.
    }
  }

  // --- Input.

  function input(kind, a, b, x, y) {
    if (state.running) state.module._webInput(kind, a | 0, b | 0, x || 0, y || 0);
  }

  // Windows virtual-key codes, as the desktop game uses: letters and digits
  // by the character the layout gives, else by the key's position.
  const NAMED_KEYS = {
    Backspace: 0x08, Tab: 0x09, Clear: 0x0c, Enter: 0x0d, Shift: 0x10, Control: 0x11, Alt: 0x12,
    AltGraph: 0x12, Pause: 0x13, CapsLock: 0x14, Escape: 0x1b, ' ': 0x20, PageUp: 0x21,
    PageDown: 0x22, End: 0x23, Home: 0x24, ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27,
    ArrowDown: 0x28, Select: 0x29, Execute: 0x2b, PrintScreen: 0x2c, Insert: 0x2d, Delete: 0x2e,
    Help: 0x2f, Meta: 0x5b, ContextMenu: 0x5d, NumLock: 0x90, ScrollLock: 0x91,
  };
  const PUNCTUATION = {
    ';': 0xba, ':': 0xba, '=': 0xbb, '+': 0xbb, ',': 0xbc, '<': 0xbc, '-': 0xbd, '_': 0xbd,
    '.': 0xbe, '>': 0xbe, '/': 0xbf, '?': 0xbf, '`': 0xc0, '~': 0xc0, '[': 0xdb, '{': 0xdb,
    '\\': 0xdc, '|': 0xdc, ']': 0xdd, '}': 0xdd, "'": 0xde, '"': 0xde, '#': 0xde,
  };
  const NUMPAD = {
    NumpadMultiply: 0x6a, NumpadAdd: 0x6b, NumpadSubtract: 0x6d, NumpadDecimal: 0x6e,
    NumpadDivide: 0x6f, NumpadEnter: 0x0d,
  };

  function virtualKey(e) {
    const code = e.code || '';
    if (/^Numpad[0-9]$/.test(code)) return 0x60 + Number(code.slice(6));
    if (NUMPAD[code]) return NUMPAD[code];
    const key = e.key || '';
    if (key.length === 1) {
      const c = key.toUpperCase();
      if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c.charCodeAt(0);
      if (PUNCTUATION[key]) return PUNCTUATION[key];
    }
    if (NAMED_KEYS[key]) return NAMED_KEYS[key];
    const f = /^F([0-9]{1,2})$/.exec(key);
    if (f && Number(f[1]) >= 1 && Number(f[1]) <= 24) return 0x6f + Number(f[1]);
    // A layout whose characters are not Latin: the key's position.
    let m = /^Key([A-Z])$/.exec(code);
    if (m) return m[1].charCodeAt(0);
    m = /^Digit([0-9])$/.exec(code);
    if (m) return m[1].charCodeAt(0);
    return 0;
  }

  let sawTouch = false;

  function onKey(e) {
    if (!state.running) return;
    // A combination with Ctrl or Meta is the browser's (copy, new tab...);
    // its key-up still reaches the game, which must let the key go.
    const combination = e.ctrlKey || e.metaKey;
    if (combination && e.type === 'keydown') return;
    const vk = virtualKey(e);
    if (vk <= 0 || vk > 255) return;
    // Keys the game takes never scroll the page or reach the browser,
    // except the function keys; F1 is the menu's.
    if (!combination && (vk < 0x70 || vk > 0x87 || vk === 0x70)) e.preventDefault();
    if (e.type === 'keydown') {
      startAudio();
      if (!sawTouch && !document.body.classList.contains('keyboard')) {
        document.body.classList.add('keyboard');
      }
      input(KEY_DOWN, vk, e.repeat ? 1 : 0);
    } else {
      input(KEY_UP, vk);
    }
  }

  function areaPoint(e) {
    const r = screenBox.getBoundingClientRect();
    return [(e.clientX - r.left) * (state.areaW / r.width), (e.clientY - r.top) * (state.areaH / r.height)];
  }

  function onCanvasDown(e) {
    e.preventDefault();
    if (e.pointerType === 'touch') sawTouch = true;
    startAudio();
    const p = areaPoint(e);
    input(POINTER_DOWN, e.pointerType === 'touch' ? 1 : 0, 0, p[0], p[1]);
  }

  function onCanvasUp() {
    input(POINTER_UP);
  }

  // The on-screen buttons send the code bound to them at the press; the
  // same code is let go at the release.
  const buttonPresses = new Map();  // pointerId -> [element, code]

  function buttonDown(e) {
    e.preventDefault();
    sawTouch = true;
    startAudio();
    const el = e.currentTarget;
    if (!state.running) return;
    const vk = state.module._webBinding(Number(el.dataset.button));
    if (vk <= 0) return;
    try {
      el.setPointerCapture(e.pointerId);
    } catch (err) {
      // Synthetic pointers cannot be captured.
    }
    buttonPresses.set(e.pointerId, [el, vk]);
    el.classList.add('down');
    // Flag 2: pressed by a finger, so the hints name touch.
    input(KEY_DOWN, vk, 2);
  }

  function buttonUp(e) {
    const held = buttonPresses.get(e.pointerId);
    if (!held) return;
    buttonPresses.delete(e.pointerId);
    held[0].classList.remove('down');
    input(KEY_UP, held[1]);
  }

  function releaseAll() {
    for (const held of buttonPresses.values()) held[0].classList.remove('down');
    buttonPresses.clear();
    input(RELEASE_ALL);
  }

  function wireInput() {
    window.addEventListener('keydown', onKey);
    window.addEventListener('keyup', onKey);
    screenBox.addEventListener('pointerdown', onCanvasDown);
    screenBox.addEventListener('pointerup', onCanvasUp);
    screenBox.addEventListener('pointercancel', onCanvasUp);
    for (const el of document.querySelectorAll('[data-button]')) {
      el.addEventListener('pointerdown', buttonDown);
      el.addEventListener('pointerup', buttonUp);
      el.addEventListener('pointercancel', buttonUp);
      el.addEventListener('lostpointercapture', buttonUp);
    }
    // No double-tap zoom, text selection or context menu anywhere.
    document.addEventListener('contextmenu', (e) => e.preventDefault());
    document.addEventListener('touchcancel', releaseAll);
    document.addEventListener('dblclick', (e) => e.preventDefault());
    document.getElementById('menu').addEventListener('click', () => {
      if (state.running) state.module._webMenu();
    });
    // Losing focus or being hidden deactivates the game; hidden, the game
    // also pauses, as a minimised window does, so that its clock does not
    // run on unseen while the page gets no animation frames.
    window.addEventListener('blur', () => {
      releaseAll();
      input(ACTIVATE, 0);
    });
    window.addEventListener('focus', () => input(ACTIVATE, 1));
    document.addEventListener('visibilitychange', () => {
      if (document.visibilityState === 'hidden') {
        releaseAll();
        input(ACTIVATE, 0);
        if (state.running) state.module._webPageHidden(1);
        saveSettings();
      } else {
        if (state.running) {
          state.module._webPageHidden(0);
          state.module._webResetPacer();
        }
        input(ACTIVATE, 1);
        if (audio.ctx && audio.ctx.state !== 'running') startAudio();
      }
    });
    window.addEventListener('pagehide', () => {
      releaseAll();
      saveSettings();
    });
  }

  // --- The game's module.

  function onFrame(now) {
    if (!state.running) return;
    if (!state.manual) state.module._webFrame(now);
    if (state.running && state.module._webBookChanged()) keepBook();
    if (state.running && state.module._webMatchKeptChanged()) keepFile(MATCH_FILE, MATCH_STORAGE_KEY);
    if (state.running && state.module._webFriendsChanged()) keepFile(FRIENDS_FILE, FRIENDS_STORAGE_KEY);
    if (state.running) requestAnimationFrame(onFrame);
  }

  const hooks = {
    present(ptr, first, rows) {
      // A view over the module's rows, made again when its memory grew (a
      // large player book) and the old view came loose.
      const heap = state.module.HEAPU8.buffer;
      if (!state.image || state.image.data.buffer !== heap) {
        state.image = new ImageData(new Uint8ClampedArray(heap, ptr, W * H * 4), W, H);
      }
      sourceCtx.putImageData(state.image, 0, 0, 0, first, W, rows);
      draw(first, rows);
      state.presents++;
      state.lastPresentMs = performance.now();
      if (!state.firstPresentMs) state.firstPresentMs = state.lastPresentMs;
    },
    play: playSound,
    stop: stopSound,
    voiceTone,
    voiceMark,
    // The menu's Settings: "Darts (CSV)".
    exportDarts: downloadBook,
    // "Share" on the summary card and Records (codes.js).
    share: (code) => (state.share ? state.share(code) : 0),
    ended() {
      state.running = false;
      stopSound();
      keepSettings();
      keepBook();
      releaseLock();
      document.getElementById('bye').classList.add('shown');
    },
  };

  // The compiled WebAssembly: what the page's head began compiling, or, where
  // that was refused (a server that does not send it as WebAssembly, a
  // browser without streaming compilation), the file compiled whole.
  let code = null;
  function gameCode() {
    if (!code) {
      code = (window.tobelynCode || Promise.reject(new Error('not compiled'))).catch(() =>
        fetch('game.wasm').then((r) => r.arrayBuffer()).then((b) => WebAssembly.compile(b)));
    }
    return code;
  }

  function makeModule() {
    return createTobelyn({
      tob: hooks,
      instantiateWasm(imports, receive) {
        gameCode()
          .then((compiled) => WebAssembly.instantiate(compiled, imports).then((i) => receive(i, compiled)));
        return {};
      },
    });
  }

  // The module of the first start is made from the moment the page runs,
  // beside the tab lock and the page's own set-up; "Play again" makes a
  // new one from the same compiled code.
  let early = null;

  function startGame() {
    const made = early || makeModule();
    early = null;
    return made.then((m) => {
      state.module = m;
      state.image = null;
      try {
        m.FS.mkdir('/tobelyn');
        const text = storageGet();
        if (text) m.FS.writeFile(SETTINGS_FILE, text);
        const hostText = storageGet(HOST_STORAGE_KEY);
        if (hostText) m.FS.writeFile(HOST_FILE, hostText);
        const bookText = storageGet(BOOK_STORAGE_KEY);
        if (bookText) m.FS.writeFile(BOOK_FILE, bookText);
        const matchText = storageGet(MATCH_STORAGE_KEY);
        if (matchText) m.FS.writeFile(MATCH_FILE, matchText);
        const friendsText = storageGet(FRIENDS_STORAGE_KEY);
        if (friendsText) m.FS.writeFile(FRIENDS_FILE, friendsText);
      } catch (e) {
        // A damaged or missing file reads as no settings.
      }
      if (TEST) m._webSetClock(0);
      state.running = m._webStart() !== 0;
      // A touch screen showing its on-screen buttons: the hints name touch
      // from the first frame, not a keyboard the phone may not have.
      const touch = navigator.maxTouchPoints > 0 || window.matchMedia?.('(pointer: coarse)').matches;
      if (state.running && touch && !document.body.classList.contains('keyboard')) m._webTouchDevice();
      layout(state.areaW, state.areaH);
      // The first frame now, not at the next animation frame; the frames
      // after it come from the animation frames.
      if (state.running) onFrame(performance.now());
    });
  }

  // --- One game per browser: a second tab shows a notice instead, so two
  // games never overwrite each other's settings.

  function releaseLock() {
    state.bookOwner = false;
    if (state.lockRelease) state.lockRelease();
    state.lockRelease = null;
  }

  // Where the browser refuses locks (site data blocked, a sandboxed or
  // cross-site frame), the game plays without the second-tab notice.
  function takeLockThenStart() {
    let locks = null;
    try {
      locks = navigator.locks;
    } catch (e) {
      locks = null;
    }
    if (!locks || typeof locks.request !== 'function') return startGame();
    return new Promise((resolve, reject) => {
      let granted = false;
      const onLock = (lock) => {
        granted = true;
        if (!lock) {
          document.getElementById('other').classList.add('shown');
          resolve();
          return undefined;
        }
        state.bookOwner = true;
        // Held until the game ends or the page goes away.
        const held = new Promise((release) => {
          state.lockRelease = release;
        });
        startGame().then(resolve, reject);
        return held;
      };
      let request;
      try {
        request = locks.request('tobelyn-game', { ifAvailable: true }, onLock);
      } catch (e) {
        request = Promise.reject(e);
      }
      request.catch((e) => {
        if (granted) reject(e);
        else startGame().then(resolve, reject);
      });
    });
  }

  document.getElementById('again').addEventListener('click', () => {
    document.getElementById('bye').classList.remove('shown');
    takeLockThenStart();
  });

  early = makeModule();
  early.catch(() => {});  // a second tab may never use it; a start reports its own failure
  wireInput();
  watchSize();
  state.ready = takeLockThenStart();

  // Offline play after one visit, set up once the game has drawn its first
  // frame (and the page has loaded), so that the worker's own fetches wait
  // for the start. Where the browser refuses the service worker (site data
  // blocked, an opaque origin, where even reading it throws), the game
  // still plays, online only.
  function registerServiceWorker() {
    let workers = null;
    try {
      if (window.isSecureContext && 'serviceWorker' in navigator) workers = navigator.serviceWorker;
    } catch (e) {
      workers = null;
    }
    if (!workers) return;
    const register = () => {
      try {
        workers.register('sw.js').catch(() => {});
      } catch (e) {
        // Refused outright: no offline copy.
      }
    };
    if (document.readyState === 'complete') register();
    else window.addEventListener('load', register);
  }
  if (!TEST) {
    const later = () => setTimeout(registerServiceWorker, 0);
    state.ready.then(later, later);
  }
})();
