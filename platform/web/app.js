// The page around the handheld: it runs the program (fernvale.js and its
// .wasm), hands it the browser's input, shows its screen, plays its sounds,
// keeps its store folder in IndexedDB and lets one tab at a time read.
//
// One run of the program is one instance of the module, as one process is on
// the desktop. A run ends when the reader exits, or when the page is left:
// the page then asks the program to close as a person would, so it saves its
// record on the way out, and the store folder is written to IndexedDB in one
// transaction (the old record or the new one, never half of one), after a
// journal of it in localStorage that outlives a page going away before the
// transaction is done.
//
// A page can also end without being left as far as it can tell (a hidden tab
// discarded, a crash): while a run goes on, the journal holds instead what
// makes it again, its start tick, the settings it started with and its input
// with each one's tick, written whenever the program waits and when the page
// is hidden. The next run replays it from the saved record to the same page,
// scroll and all (web/backend.h keeps a run the same for the same input).
// One journal entry holds either kind, so replacing the one by the other is
// a single write.
'use strict';

(function () {
  const WIDTH = 240, HEIGHT = 320;
  const STORE_DIR = '/store';
  const DB_NAME = 'fernvale', DB_TABLE = 'store', LOCK_NAME = 'fernvale-store';
  const RECORD = 'QOT1Fernvale.dat';
  const JOURNAL = 'fernvale-journal';
  // Event codes, as web/backend.cpp reads them.
  const EV = { down: 1, move: 2, up: 3, keyDown: 4, keyUp: 5, char: 6, close: 7, dump: 8, menuBar: 9,
               wheel: 10 };
  // The handheld's keys and the device's own (virtual-key codes), as on the
  // desktop; the blank is a key whose character the message loop makes.
  const KEYS = {
    ArrowUp: 0x26, ArrowDown: 0x28, ArrowLeft: 0x25, ArrowRight: 0x27, PageUp: 0x21,
    PageDown: 0x22, Home: 0x24, End: 0x23, Enter: 0x0d, Tab: 0x09, Backspace: 0x08, Escape: 0x1b,
    ' ': 0x20, Shift: 0x10, Alt: 0x12, ContextMenu: 0x5d, F2: 0x71, F3: 0x72, F10: 0x79,
  };

  const canvas = document.getElementById('screen');
  const context = canvas.getContext('2d');
  const image = context.createImageData(WIDTH, HEIGHT);
  const notice = document.getElementById('notice');
  const exportButton = document.getElementById('export');
  const importButton = document.getElementById('import');
  const importFile = document.getElementById('import-file');

  // Figures the benchmark and the tests read (window.fernvale.stats): when
  // the first frame was shown (ms from the navigation), for each stylus lift
  // the time until the program was waiting again (a tap's whole work: a page
  // turn), and how many sounds Web Audio has started.
  const stats = { firstPresent: 0, turns: [], sounds: 0 };
  let liftedAt = 0;

  let run = null;          // the running program: { module, ended, closing, journal }
  let holdingLock = null;  // releases the single-tab lock
  let compiled = null;     // the compiled module, shared by every run
  let database = null;
  const events = [];
  let wake = null;         // wakes the program from its wait
  let wakeTimer = 0;
  const answerWaiting = [];  // the tests' requests, in order

  function say(text) {
    notice.textContent = text || '';
    fit();
  }

  // ---- The screen: 240x320 pixels at the largest integer scale that fits,
  // each of them a whole square of device pixels.
  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const room = document.getElementById('controls').offsetHeight + notice.offsetHeight + 40;
    const scale = Math.max(1, Math.floor(Math.min(
      (window.innerWidth - 16) * ratio / WIDTH, (window.innerHeight - room) * ratio / HEIGHT)));
    canvas.style.width = WIDTH * scale / ratio + 'px';
    canvas.style.height = HEIGHT * scale / ratio + 'px';
    canvas.style.marginLeft = Math.floor((window.innerWidth * ratio - WIDTH * scale) / 2) / ratio + 'px';
    canvas.style.marginTop = Math.round(12 * ratio) / ratio + 'px';
  }

  function present(bytes) {
    image.data.set(bytes);
    context.putImageData(image, 0, 0);
    if (!stats.firstPresent) stats.firstPresent = performance.now();
  }

  // ---- Input: queued for the program, which takes it when it pumps. The
  // device clock is the time since the page was opened, moved on past a
  // replayed run's last tick (clockBase).
  let clockBase = 0;
  function now() {
    return performance.now() + clockBase;
  }
  // Input carries its tick and goes into the run's journal.
  function input(kind, x, y, code) {
    if (!run || run.closing) return;
    const event = [kind, x, y, code, Math.max(1, Math.floor(now()))];
    run.journal.events.push(event);
    run.unjournalled = true;
    queue(event);
  }
  function queue(event) {
    events.push(event);
    if (wake) {
      const w = wake;
      wake = null;
      clearTimeout(wakeTimer);
      w();
    }
  }

  function sleep(ms, wakeUp) {
    if (liftedAt) stats.turns.push(performance.now() - liftedAt);
    liftedAt = 0;
    keepRun();
    wake = wakeUp;
    if (ms >= 0) {
      wakeTimer = setTimeout(function () {
        if (wake !== wakeUp) return;
        wake = null;
        wakeUp();
      }, ms);
    }
  }

  function screenPoint(e) {
    const r = canvas.getBoundingClientRect();
    const x = Math.floor((e.clientX - r.left) * WIDTH / r.width);
    const y = Math.floor((e.clientY - r.top) * HEIGHT / r.height);
    return [Math.min(Math.max(x, 0), WIDTH - 1), Math.min(Math.max(y, 0), HEIGHT - 1)];
  }

  let stylus = null;  // the pointer that holds the stylus down
  canvas.addEventListener('pointerdown', function (e) {
    if (e.button !== 0 || stylus !== null || !run) return;
    startAudio();
    stylus = e.pointerId;
    canvas.setPointerCapture(e.pointerId);
    canvas.focus();
    input(EV.down, ...screenPoint(e), 0);
    e.preventDefault();
  });
  canvas.addEventListener('pointermove', function (e) {
    if (e.pointerId === stylus) input(EV.move, ...screenPoint(e), 0);
  });
  function lift(e) {
    if (e.pointerId !== stylus) return;
    stylus = null;
    liftedAt = performance.now();
    input(EV.up, ...screenPoint(e), 0);
  }
  canvas.addEventListener('pointerup', lift);
  canvas.addEventListener('pointercancel', lift);

  // The browser keeps its own shortcuts (Ctrl and the like, its zoom too,
  // which stands for the device's scale keys).
  function onKey(e) {
    if (!run || e.ctrlKey || e.metaKey) return;
    const down = e.type === 'keydown';
    if (down) startAudio();
    const vk = KEYS[e.key];
    if (vk) {
      input(down ? EV.keyDown : EV.keyUp, 0, 0, vk);
    } else if (e.altKey) {
      return;
    } else if ([...e.key].length === 1 && e.key.codePointAt(0) > 0x20) {
      // A printable character: WM_CHAR only, as the desktop's text input gives.
      if (down) for (let i = 0; i < e.key.length; ++i) input(EV.char, 0, 0, e.key.charCodeAt(i));
    } else {
      return;
    }
    e.preventDefault();
  }
  canvas.addEventListener('keydown', onKey);
  canvas.addEventListener('keyup', onKey);

  // The wheel scrolls where the pointer is, a notch at a time.
  let wheelRest = 0;
  canvas.addEventListener('wheel', function (e) {
    if (!run) return;
    e.preventDefault();
    wheelRest += e.deltaMode === 0 ? e.deltaY / 100 : e.deltaMode === 1 ? e.deltaY / 3 : e.deltaY * 3;
    const notches = Math.trunc(wheelRest);
    wheelRest -= notches;
    if (notches) input(EV.wheel, ...screenPoint(e), notches);
  }, { passive: false });

  // ---- The device's settings (voice, contrast), kept for the next visit; a
  // run starts with those it journalled.
  function setting(name) {
    if (run && name in run.journal.settings) return run.journal.settings[name];
    try {
      const value = localStorage.getItem('fernvale-' + name);
      return value === null ? -1 : Number(value);
    } catch (error) {
      return -1;
    }
  }
  function keepSetting(name, value) {
    try {
      localStorage.setItem('fernvale-' + name, String(value));
    } catch (error) {
      // Not kept: the setting lasts for this visit.
    }
  }

  // ---- The device's voice: the browser's speech synthesis.
  function speak(text) {
    if (!window.speechSynthesis || events.some(function (e) { return e.replayed; })) return;
    speechSynthesis.cancel();
    if (text) speechSynthesis.speak(new SpeechSynthesisUtterance(text));
  }

  // ---- Sound: Web Audio, started on the first touch or key.
  let audio = null, source = null, decoding = 0, generation = 0;
  function startAudio() {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!audio && Context) audio = new Context();
    if (audio && audio.state === 'suspended') audio.resume();
  }
  function audioStop() {
    ++generation;
    decoding = 0;
    if (source) source.stop();
    source = null;
  }
  function audioPlay(wave) {
    audioStop();
    const mine = generation;
    decoding = 1;
    audio.decodeAudioData(wave.buffer).then(function (buffer) {
      if (mine !== generation) return;
      decoding = 0;
      const s = audio.createBufferSource();
      s.buffer = buffer;
      s.connect(audio.destination);
      s.onended = function () { if (source === s) source = null; };
      source = s;
      s.start();
      ++stats.sounds;
    }, function () { if (mine === generation) decoding = 0; });
    return true;
  }

  // ---- The store folder in IndexedDB: one entry per file or folder.
  function openDatabase() {
    return new Promise(function (resolve, reject) {
      const request = indexedDB.open(DB_NAME, 1);
      request.onupgradeneeded = function () { request.result.createObjectStore(DB_TABLE); };
      request.onsuccess = function () { resolve(request.result); };
      request.onerror = function () { reject(request.error); };
    });
  }

  function loadStore() {
    return new Promise(function (resolve, reject) {
      const t = database.transaction(DB_TABLE, 'readonly');
      const table = t.objectStore(DB_TABLE);
      const entries = [];
      table.openCursor().onsuccess = function (e) {
        const cursor = e.target.result;
        if (!cursor) return;
        entries.push([cursor.key, cursor.value]);
        cursor.continue();
      };
      t.oncomplete = function () { resolve(entries); };
      t.onerror = function () { reject(t.error); };
    });
  }

  // Replaces the whole folder in one transaction.
  function saveStore(entries) {
    return new Promise(function (resolve, reject) {
      const t = database.transaction(DB_TABLE, 'readwrite');
      const table = t.objectStore(DB_TABLE);
      table.clear();
      for (const [path, value] of entries) table.put(value, path);
      t.oncomplete = function () { resolve(); };
      t.onerror = t.onabort = function () { reject(t.error); };
      if (t.commit) t.commit();
    });
  }

  // The journal (see the top): { store: entries } for a save IndexedDB may
  // not have, { run: { start, settings, events } } for a run going on.
  function writeJournal(journal) {
    try {
      localStorage.setItem(JOURNAL, JSON.stringify(journal, function (key, value) {
        if (!(value instanceof Uint8Array)) return value;
        let text = '';
        for (let i = 0; i < value.length; ++i) text += String.fromCharCode(value[i]);
        return { base64: btoa(text) };
      }));
      return true;
    } catch (error) {
      console.warn('fernvale: nothing journalled: ' + error);
      return false;
    }
  }

  function readJournal() {
    try {
      const text = localStorage.getItem(JOURNAL);
      return text && JSON.parse(text, function (key, value) {
        if (!value || typeof value.base64 !== 'string') return value;
        return Uint8Array.from(atob(value.base64), function (c) { return c.charCodeAt(0); });
      });
    } catch (error) {
      console.warn('fernvale: the journal is unreadable: ' + error);
      return null;
    }
  }

  function dropJournal() {
    try {
      localStorage.removeItem(JOURNAL);
    } catch (error) {
      // Nothing was written there either.
    }
  }

  // Brings the running program's journal up to date.
  function keepRun() {
    if (!run || !run.unjournalled || run.closing) return;
    run.unjournalled = !writeJournal({ run: run.journal });
  }

  // Folders are entries ending in '/' with no data; files hold their bytes.
  function readFolder(fs) {
    const entries = [];
    (function walk(dir, prefix) {
      for (const name of fs.readdir(dir)) {
        if (name === '.' || name === '..') continue;
        const path = dir + '/' + name;
        if (fs.isDir(fs.stat(path).mode)) {
          entries.push([prefix + name + '/', null]);
          walk(path, prefix + name + '/');
        } else {
          entries.push([prefix + name, fs.readFile(path)]);
        }
      }
    })(STORE_DIR, '');
    return entries;
  }

  function fillFolder(fs, entries) {
    fs.mkdir(STORE_DIR);
    for (const [path, value] of entries.slice().sort()) {
      if (path.endsWith('/')) fs.mkdir(STORE_DIR + '/' + path.slice(0, -1));
      else fs.writeFile(STORE_DIR + '/' + path, value);
    }
  }

  // ---- One tab at a time: the tab holding the lock runs the program; another
  // waits, saying so, and starts when the lock is let go.
  function takeLock() {
    if (holdingLock) return Promise.resolve();
    if (!navigator.locks) return Promise.resolve();  // no way to tell: run
    return new Promise(function (resolve) {
      const waiting = setTimeout(function () {
        exportButton.disabled = importButton.disabled = true;
        say('Fernvale Adventure is open in another tab or window. ' +
            'The book goes on here when it is closed there.');
      }, 300);
      navigator.locks.request(LOCK_NAME, function () {
        clearTimeout(waiting);
        exportButton.disabled = importButton.disabled = false;
        return new Promise(function (release) {
          holdingLock = release;
          resolve();
        });
      });
    });
  }

  // ---- Runs.
  function compile() {
    if (!compiled) {
      compiled = fetch('fernvale.wasm').then(function (response) {
        return WebAssembly.compileStreaming ? WebAssembly.compileStreaming(response)
                                            : response.arrayBuffer().then(WebAssembly.compile);
      });
    }
    return compiled;
  }

  let starting = null;
  function start() {
    if (run || starting) return starting;
    starting = (async function () {
      await takeLock();
      say('');
      const journal = readJournal() || {};
      if (journal.store) {
        await saveStore(journal.store);
        dropJournal();
      }
      const entries = await loadStore();
      const wasm = await compile();
      events.length = 0;
      let endedWith;
      const ended = new Promise(function (resolve) { endedWith = resolve; });
      const settings = { voice: setting('voice'), contrast: setting('contrast') };
      const replay = journal.run || { start: Math.max(1, Math.floor(now())), settings: settings, events: [] };
      clockBase = Math.max(clockBase, replay.start - performance.now());
      for (const event of replay.events) {
        clockBase = Math.max(clockBase, event[4] + 1 - performance.now());
        events.push(Object.assign(event.slice(), { replayed: true }));
      }
      run = { module: null, ended: ended, closing: null, endedWith: endedWith, journal: replay,
              unjournalled: !journal.run };
      run.module = await createFernvale({
        host: host,
        preRun: [function (module) { fillFolder(module.FS, entries); }],
        onAbort: function () {
          // A replay would end the same way: the book starts again from the
          // saved record.
          dropJournal();
        },
        instantiateWasm: function (imports, receive) {
          WebAssembly.instantiate(wasm, imports).then(function (instance) { receive(instance, wasm); });
          return {};
        },
        print: function (text) { console.log(text); },
        printErr: function (text) { console.error(text); },
      });
    })().finally(function () { starting = null; });
    return starting;
  }

  // Called from inside the program as its main() returns.
  function programEnded() {
    const ending = run;
    run = null;
    // The lock is let go once the save is done; a run started meanwhile asks
    // for it again and waits for that.
    const release = holdingLock;
    holdingLock = null;
    while (answerWaiting.length) answerWaiting.shift()(null);
    const entries = readFolder(ending.module.FS);
    writeJournal({ store: entries });
    saveStore(entries).then(dropJournal, function (error) {
      console.error('fernvale: the progress could not be saved: ' + error);
    }).finally(function () {
      if (release) release();
      if (!ending.closing) say('Fernvale Adventure has closed. Tap the screen to open it again.');
      ending.endedWith();
    });
  }

  // Asks the running program to close as a person would; resolves once its
  // store folder is saved.
  function close(reason) {
    if (!run) return starting ? starting.then(function () { return close(reason); }) : Promise.resolve();
    // The program may run to its end inside queue().
    const closing = run;
    if (!closing.closing) {
      closing.closing = reason;
      queue([EV.close, 0, 0, 0, 0]);
    }
    return closing.ended;
  }

  // ?clock=MS: the device clock starts at MS and is virtual (web/backend.h).
  const clockParameter = new URLSearchParams(location.search).get('clock');
  const host = {
    now: now,
    clockStart: /^\d+$/.test(clockParameter || '') ? Number(clockParameter) : -1,
    runStart: function () { return run.journal.start; },
    takeEvent: function () { return events.shift() || null; },
    peekEvent: function () { return events.length ? events[0][0] : 0; },
    peekTick: function () { return events.length ? events[0][4] : 0; },
    sleep: sleep,
    present: present,
    answer: function (text) {
      const d = answerWaiting.shift();
      if (d) d(text);
    },
    programEnded: programEnded,
    setting: setting,
    keepSetting: keepSetting,
    say: speak,
    audioOpen: function () { return !!audio; },
    audioBusy: function () { return !!source || !!decoding; },
    audioStop: audioStop,
    audioPlay: audioPlay,
  };

  // ---- The page's life: left, the program closes and saves (back again from
  // the browser's cache, it starts again from the record); hidden, it goes on
  // with its journal written, as the page may never be shown again.
  document.addEventListener('visibilitychange', function () {
    if (document.visibilityState === 'hidden') keepRun();
    else if (!run) start();
  });
  window.addEventListener('pagehide', function () { close('left'); });
  window.addEventListener('pageshow', function (e) { if (e.persisted && !run) start(); });
  canvas.addEventListener('click', function () { if (!run && !starting) start(); });

  // ---- Export and import, outside the handheld's screen.
  exportButton.addEventListener('click', async function () {
    const wasRunning = !!run;
    await close('export');
    const entries = await loadStore();
    const record = entries.find(function (entry) { return entry[0] === RECORD; });
    if (!record) {
      say('Nothing has been saved yet.');
    } else {
      const link = document.createElement('a');
      link.href = URL.createObjectURL(new Blob([record[1]], { type: 'application/octet-stream' }));
      link.download = RECORD;
      link.click();
      setTimeout(function () { URL.revokeObjectURL(link.href); }, 1000);
    }
    if (wasRunning) start();
  });
  importButton.addEventListener('click', function () { importFile.click(); });
  importFile.addEventListener('change', async function () {
    const file = importFile.files[0];
    importFile.value = '';
    if (!file) return;
    if (file.size > 1 << 20) {
      say('That file is too large to be Fernvale progress.');
      return;
    }
    const bytes = new Uint8Array(await file.arrayBuffer());
    await close('import');
    await takeLock();
    const entries = (await loadStore()).filter(function (entry) { return entry[0] !== RECORD; });
    entries.push([RECORD, bytes]);
    await saveStore(entries);
    dropJournal();  // an older save must not come back over it
    start();
  });

  function ask(kind, code) {
    if (!run) return Promise.reject(new Error('the program is not running'));
    return new Promise(function (resolve) {
      answerWaiting.push(resolve);
      queue([kind, 0, 0, code, 0]);
    });
  }

  // For the tests and the benchmark: the screen dump and a few figures.
  window.fernvale = {
    stats: stats,
    running: function () { return !!run && !run.closing; },
    // The screen dump, as the headless device prints it, once the program has
    // done what the input before it asked; look() leaves the message boxes
    // and sounds it lists for the next dump.
    dump: function () { return ask(EV.dump, 0); },
    look: function () { return ask(EV.dump, 1); },
    // The menu bar's buttons: "command left top right bottom enabled hidden".
    menuBar: function () { return ask(EV.menuBar, 0); },
    close: close,
  };

  window.addEventListener('resize', fit);
  fit();
  canvas.focus();
  compile();  // while the store is opened and read
  openDatabase().then(function (db) {
    database = db;
    return start();
  }).catch(function (error) {
    say('Fernvale Adventure cannot keep its progress in this browser: ' + error);
    console.error(error);
  });
})();
