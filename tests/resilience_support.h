// What the resilience tests share: the replay runner run in a folder of
// the test's own, files read and written whole, the settings file as the
// program writes it, and a made-up book match.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "host/book.h"
#include "platform/common/registry_file.h"

namespace resilience {

inline const std::string replayBinary = TOBELYN_REPLAY;

// The default bindings as the replay runner reports them.
inline const char kDefaultKeys[] =
    "{\"KeyUp\":38,\"KeyDown\":40,\"KeyLeft\":37,\"KeyRight\":39,\"ButtonA\":13,"
    "\"ButtonB\":27,\"ButtonC\":67,\"ButtonStart\":83}";
inline const int16_t kDefaultBindings[kKeyBindingCount] = {38, 40, 37, 39, 13, 27, 67, 83};
inline const int16_t kStoredBindings[kKeyBindingCount] = {'W', 'S', 'A', 'D', '1', '2', '3', '4'};

inline std::string readAll(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline uint64_t envNumber(const char *name, uint64_t fallback) {
  const char *text = std::getenv(name);
  return text == nullptr || *text == 0 ? fallback : std::strtoull(text, nullptr, 0);
}

// Runs a shell command; returns its exit status.
inline int sh(const std::string &command) {
  int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// An empty folder of the current test's own.
inline std::string freshDir() {
  std::string name = std::to_string(getpid()) + "_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::replace(name.begin(), name.end(), '/', '_');
  std::string dir = ::testing::TempDir() + "tobelyn_resilience_" + name;
  sh("chmod -R u+w '" + dir + "' 2>/dev/null; rm -rf '" + dir + "'; mkdir -p '" + dir + "'");
  return dir;
}

// The exact file the program writes for these settings.
inline std::string settingsFile(int16_t sound, const int16_t *bindings) {
  static RegistryValues values;
  values.count = 0;
  for (const StoredSetting &s : storedSettings) {
    RegistryValue &v = values.values[values.count++];
    const int16_t value = s.binding == kSoundFlag ? sound : bindings[s.binding];
    const uint16_t bits = static_cast<uint16_t>(value);
    std::wcscpy(v.name, s.name);
    v.type = REG_BINARY;
    v.size = 2;
    v.data[0] = static_cast<uint8_t>(bits), v.data[1] = static_cast<uint8_t>(bits >> 8);
  }
  static char text[kRegistryFileMax];
  return std::string(text, registryFormat(values, text, sizeof text));
}

// As root, file permissions do not bite: such cases run as nobody instead,
// which needs setpriv.
inline bool rootWithoutSetpriv() {
  return geteuid() == 0 && sh("command -v setpriv >/dev/null 2>&1") != 0;
}

// Runs the replay runner on a script with its registry in regDir, as nobody
// when asked (one stuck on its settings file is stopped after 30 s); expects
// it to end with 0 and returns what it printed.
inline std::string replay(const std::string &work, const std::string &regDir,
                          const std::string &script, bool asNobody = false) {
  writeFile(work + "/script.txt", script);
  EXPECT_EQ(sh("cd '" + work + "' && timeout -s KILL 30 " +
               (asNobody ? "setpriv --reuid=65534 --regid=65534 --clear-groups -- " : "") + "'" +
               replayBinary + "' --registry '" + regDir + "' script.txt >out.txt 2>err.txt"),
            0)
      << readAll(work + "/err.txt");
  return readAll(work + "/out.txt");
}

inline std::string dumpField(const std::string &out, const std::string &name) {
  size_t at = out.find("\"" + name + "\":");
  if (at == std::string::npos) return "<missing>";
  size_t start = at + name.size() + 3;
  size_t end = name == "keys" ? out.find('}', start) + 1 : out.find_first_of(",}", start);
  return out.substr(start, end - start);
}

inline void expectDefaults(const std::string &out, const char *what) {
  EXPECT_EQ(dumpField(out, "sound"), "1") << what;
  EXPECT_EQ(dumpField(out, "keys"), kDefaultKeys) << what;
}

// A "High Score" match of 21 darts by one player, added to the book.
inline void addHighScoreMatch(Book *book, int64_t time) {
  BookMatch m;
  m.time = time;
  m.game = kGameHighScore;
  m.rounds = 7;
  m.seats[0].name = "KILL TEST";
  std::vector<BookDart> darts;
  for (int k = 0; k < 21; ++k) {
    BookDart d;
    d.name = m.seats[0].name;
    d.round = k / 3 + 1;
    d.dart = k % 3 + 1;
    d.aimX = 16 + 4 * (k % 49);
    d.x = d.aimX + 8;
    d.y = 80;
    d.ring = kDartSingle;
    d.sector = 1 + k % 20;
    d.score = d.counted = d.sector;
    m.seats[0].points += d.counted;
    ++m.seats[0].darts;
    darts.push_back(d);
  }
  m.seats[0].final = m.seats[0].points;
  bookAddMatch(book, m, darts);
}

}  // namespace resilience
