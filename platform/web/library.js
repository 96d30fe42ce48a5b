// The program's calls out to the page: each hands over to the page's host
// object (app.js), which the page gives the module as Module.host.
mergeInto(LibraryManager.library, {
  fv_now: function () {
    return Module.host.now();
  },
  // The virtual clock's start, or -1 for the browser's clock.
  fv_clock_start: function () {
    return Module.host.clockStart;
  },
  // The tick the run's clock starts at (on the browser's clock).
  fv_run_start: function () {
    return Module.host.runStart();
  },
  // The kind of the next queued event, 0 when none is; and its tick.
  fv_peek: function () {
    return Module.host.peekEvent();
  },
  fv_peek_tick: function () {
    return Module.host.peekTick();
  },
  // Writes the next queued event into five ints (kind, x, y, code, tick); 0
  // when none is queued.
  fv_next_event: function (out) {
    var e = Module.host.takeEvent();
    if (!e) return 0;
    for (var i = 0; i < 5; ++i) HEAP32[(out >> 2) + i] = e[i];
    return 1;
  },
  // Yields to the browser until an event is queued or `ms` have passed
  // (ms < 0: no limit).
  fv_wait__deps: ['$Asyncify'],
  fv_wait: function (ms) {
    return Asyncify.handleSleep(function (wakeUp) {
      Module.host.sleep(ms, wakeUp);
    });
  },
  // The frame's bytes, R, G, B, A a pixel.
  fv_present: function (rgba, width, height) {
    Module.host.present(HEAPU8.subarray(rgba, rgba + width * height * 4));
  },
  fv_answer: function (text) {
    Module.host.answer(UTF8ToString(text));
  },
  fv_program_ended: function (code) {
    Module.host.programEnded(code);
  },
  // The device's settings the page keeps: 1 on, 0 off, -1 never set.
  fv_setting: function (name) {
    return Module.host.setting(UTF8ToString(name));
  },
  fv_keep_setting: function (name, value) {
    Module.host.keepSetting(UTF8ToString(name), value);
  },
  fv_say: function (text) {
    Module.host.say(UTF8ToString(text));
  },
  fv_stop_saying: function () {
    Module.host.say(null);
  },
  fv_audio_open: function () {
    return Module.host.audioOpen() ? 1 : 0;
  },
  fv_audio_busy: function () {
    return Module.host.audioBusy() ? 1 : 0;
  },
  fv_audio_stop: function () {
    Module.host.audioStop();
  },
  fv_audio_play: function (wave, size) {
    return Module.host.audioPlay(HEAPU8.slice(wave, wave + size)) ? 1 : 0;
  },
});
