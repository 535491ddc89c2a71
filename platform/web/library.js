// The browser side of the web backend, linked into the module: each call
// goes to the page's handlers, given as the module's `tob` object.
mergeInto(LibraryManager.library, {
  tobPresent: function (rgba, firstRow, rows) {
    Module['tob'].present(rgba, firstRow, rows);
  },
  tobPlay: function (samples, bytes, volume) {
    Module['tob'].play(samples, bytes, volume);
  },
  tobStop: function () {
    Module['tob'].stop();
  },
  tobEnded: function (code) {
    Module['tob'].ended(code);
  },
  tobExportDarts: function () {
    Module['tob'].exportDarts();
  },
  tobVoiceTone: function (hz, pan, level, gain) {
    Module['tob'].voiceTone(hz, pan, level, gain);
  },
  tobVoiceMark: function (hz, hzEnd, pan, level, ms, gain) {
    Module['tob'].voiceMark(hz, hzEnd, pan, level, ms, gain);
  },
  tobShare: function (code) {
    return Module['tob'].share ? Module['tob'].share(UTF8ToString(code)) : 0;
  },
});
