// The settings file against hard ends and bad machines: the replay runner
// killed at random moments around its exit, damaged or unreadable files,
// and folders that cannot be written or do not exist.
//
//   TOBELYN_KILL_ITERATIONS  kills in the kill test (default 60)
//   TOBELYN_KILL_SEED        seed of the kill delays (default 1)
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "platform/common/registry_file.h"

namespace {

const std::string replayBinary = TOBELYN_REPLAY;

// The default bindings as the replay runner reports them.
const char kDefaultKeys[] =
    "{\"KeyUp\":38,\"KeyDown\":40,\"KeyLeft\":37,\"KeyRight\":39,\"ButtonA\":13,"
    "\"ButtonB\":27,\"ButtonC\":67,\"ButtonStart\":83}";
const int16_t kDefaultBindings[KEY_BINDING_COUNT] = {38, 40, 37, 39, 13, 27, 67, 83};

// From the title to the option screen, sound switched off; the runner then
// closes the program.
const char kSoundOffScript[] =
    "clock 5000\nrun 14\nkey 0x28\nrun 13\nkey 0x0D\nwait 0\nwait 2\nkey 0x25\nrun 13\n";

std::string readAll(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool exists(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string freshDir() {
  const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  for (char &c : name)
    if (c == '/') c = '_';
  std::string dir =
      ::testing::TempDir() + "tobelyn_resilience_" + std::to_string(getpid()) + "_" + name;
  std::system(
      ("chmod -R u+w '" + dir + "' 2>/dev/null; rm -rf '" + dir + "' && mkdir -p '" + dir + "'")
          .c_str());
  return dir;
}

// The exact file the program writes for these settings.
std::string settingsFile(int16_t sound, const int16_t *bindings) {
  static RegistryValues values;
  values.count = 1 + KEY_BINDING_COUNT;
  for (int i = 0; i < values.count; ++i) {
    RegistryValue &v = values.values[i];
    std::wcscpy(v.name, settingValueNames[i]);
    v.type = REG_BINARY;
    v.size = 2;
    uint16_t bits = static_cast<uint16_t>(i == 0 ? sound : bindings[i - 1]);
    v.data[0] = static_cast<uint8_t>(bits & 0xFF);
    v.data[1] = static_cast<uint8_t>(bits >> 8);
  }
  static char text[kRegistryFileMax];
  return std::string(text, registryFormat(values, text, sizeof text));
}

// Whether a user other than root is needed (and at hand) to make a file or
// folder's permissions bite.
bool needOtherUser() { return geteuid() == 0; }
bool otherUserAvailable() { return std::system("command -v setpriv >/dev/null 2>&1") == 0; }

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the replay runner on a script with its registry in regDir. As
// nobody, when asked, so that file permissions apply to it.
RunResult replay(const std::string &work, const std::string &regDir, const std::string &script,
                 bool asNobody = false) {
  writeFile(work + "/script.txt", script);
  // A runner stuck on its settings file is stopped rather than waited for.
  std::string prefix = "timeout -s KILL 30 ";
  if (asNobody) prefix += "setpriv --reuid=65534 --regid=65534 --clear-groups -- ";
  std::string command = "cd '" + work + "' && " + prefix + "'" + replayBinary + "' --registry '" +
                        regDir + "' script.txt >out.txt 2>err.txt";
  int raw = std::system(command.c_str());
  RunResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = readAll(work + "/out.txt");
  r.err = readAll(work + "/err.txt");
  return r;
}

std::string dumpField(const std::string &out, const std::string &name) {
  size_t at = out.find("\"" + name + "\":");
  if (at == std::string::npos) return "<missing>";
  size_t start = at + name.size() + 3;
  size_t end = name == "keys" ? out.find('}', start) + 1 : out.find_first_of(",}", start);
  return out.substr(start, end - start);
}

// --- Damaged and unreadable files.

struct DamageCase {
  const char *what;
  std::string (*make)(const std::string &good);
  bool unreadable;
  bool pipe = false;  // a named pipe where the file should be
};

const DamageCase damageCases[] = {
    {"one byte changed",
     [](const std::string &g) {
       std::string s = g;
       s[30] ^= 0x01;
       return s;
     },
     false},
    {"cut short", [](const std::string &g) { return g.substr(0, g.size() / 2); }, false},
    {"checksum line missing", [](const std::string &g) { return g.substr(0, g.size() - 15); },
     false},
    {"empty", [](const std::string &) { return std::string(); }, false},
    {"oversized", [](const std::string &g) { return g + std::string(kRegistryFileMax, 'x'); },
     false},
    {"binary noise",
     [](const std::string &) {
       std::string s(4096, '\0');
       std::mt19937 rng(7);
       for (char &c : s) c = static_cast<char>(rng());
       return s;
     },
     false},
    {"unreadable", [](const std::string &g) { return g; }, true},
    {"named pipe", [](const std::string &) { return std::string(); }, false, true},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const DamageCase &c, std::ostream *os) { *os << c.what; }

class DamagedSettings : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedSettings, GiveDefaultsAndAreWrittenWholeAtExit) {
  const DamageCase &c = GetParam();
  if (c.unreadable && needOtherUser() && !otherUserAvailable())
    GTEST_SKIP() << "running as root without setpriv: file permissions cannot be tested";
  bool asNobody = c.unreadable && needOtherUser();
  std::string dir = freshDir();
  const int16_t stored[KEY_BINDING_COUNT] = {'W', 'S', 'A', 'D', '1', '2', '3', '4'};
  std::string path = dir + "/settings";
  if (c.pipe)
    mkfifo(path.c_str(), 0644);
  else
    writeFile(path, c.make(settingsFile(0, stored)));
  if (c.unreadable) chmod(path.c_str(), 0);
  if (asNobody) chmod(dir.c_str(), 0777);

  RunResult r = replay(dir, dir, "run 3\ndump\n", asNobody);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dumpField(r.out, "sound"), "1") << c.what;
  EXPECT_EQ(dumpField(r.out, "keys"), kDefaultKeys) << c.what;
  EXPECT_EQ(readAll(path), settingsFile(1, kDefaultBindings)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Resilience, DamagedSettings, ::testing::ValuesIn(damageCases),
                         [](const ::testing::TestParamInfo<DamageCase> &info) {
                           std::string name = info.param.what;
                           std::replace(name.begin(), name.end(), ' ', '_');
                           return name;
                         });

// --- Folders that cannot hold the file.

TEST(Resilience, ReadOnlyFolderKeepsItsFilesAndTheGamePlays) {
  if (needOtherUser() && !otherUserAvailable())
    GTEST_SKIP() << "running as root without setpriv: a read-only folder cannot be tested";
  std::string dir = freshDir();
  std::string regDir = dir + "/config";
  mkdir(regDir.c_str(), 0755);
  const int16_t stored[KEY_BINDING_COUNT] = {'W', 'S', 'A', 'D', '1', '2', '3', '4'};
  const std::string old = settingsFile(1, stored);
  writeFile(regDir + "/settings", old);
  writeFile(regDir + "/notes", "someone else's file\n");
  chmod(regDir.c_str(), 0555);
  if (needOtherUser()) chmod(dir.c_str(), 0777);

  // Sound switched off with the stored keys ('1' is A): read, played, and
  // the change lost quietly at exit.
  RunResult r = replay(dir, regDir,
                       "clock 5000\nrun 14\nkey 0x53\nrun 13\nkey 0x31\nwait 0\nwait 2\nkey 0x41\n"
                       "run 13\ndump\n",
                       needOtherUser());
  chmod(regDir.c_str(), 0755);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dumpField(r.out, "sound"), "0") << r.out;
  EXPECT_EQ(dumpField(r.out, "scene"), "\"OptionScene\"") << r.out;
  EXPECT_EQ(readAll(regDir + "/settings"), old);
  EXPECT_EQ(readAll(regDir + "/notes"), "someone else's file\n");
}

TEST(Resilience, FolderThatCannotBeMadeGivesDefaults) {
  std::string dir = freshDir();
  writeFile(dir + "/plain", "a file, not a folder\n");
  RunResult r = replay(dir, dir + "/plain/config", "run 3\ndump\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dumpField(r.out, "sound"), "1");
  EXPECT_EQ(dumpField(r.out, "keys"), kDefaultKeys);
  EXPECT_NE(r.out.find("{\"exit\": 0}"), std::string::npos);
  EXPECT_EQ(readAll(dir + "/plain"), "a file, not a folder\n");
}

// --- Killed around the exit.

uint64_t envNumber(const char *name, uint64_t fallback) {
  const char *text = std::getenv(name);
  if (text == nullptr || *text == 0) return fallback;
  return std::strtoull(text, nullptr, 0);
}

// Starts the runner on the script and kills it: after delayUs, or, when
// atWrite is set, delayUs after its temporary settings file appears (the
// moment the save begins). A negative delay never kills. Returns the wait
// status.
int runAndKill(const std::string &dir, long delayUs, bool atWrite, double *seconds) {
  auto started = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    FILE *devnull = std::freopen("/dev/null", "w", stdout);
    (void)devnull;
    devnull = std::freopen("/dev/null", "w", stderr);
    std::string script = dir + "/script.txt";
    execl(replayBinary.c_str(), replayBinary.c_str(), "--registry", dir.c_str(), script.c_str(),
          static_cast<char *>(nullptr));
    _exit(127);
  }
  int status = 0;
  bool reaped = false;
  if (atWrite && delayUs >= 0) {
    const std::string tmp = dir + "/settings.tmp";
    while (!reaped) {
      if (exists(tmp)) {
        if (delayUs > 0) usleep(static_cast<useconds_t>(delayUs));
        kill(pid, SIGKILL);
        break;
      }
      reaped = waitpid(pid, &status, WNOHANG) == pid;
    }
  } else if (delayUs >= 0) {
    usleep(static_cast<useconds_t>(delayUs));
    kill(pid, SIGKILL);
  }
  if (!reaped) waitpid(pid, &status, 0);
  *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return status;
}

// Removes temporary files left by killed writers; returns how many.
int removeLeftovers(const std::string &dir) {
  std::string list = dir + "/leftovers.txt";
  std::system(("ls '" + dir + "' | grep -c '^settings\\.tmp$' >'" + list + "'; rm -f '" + dir +
               "'/settings.tmp")
                  .c_str());
  return std::atoi(readAll(list).c_str());
}

TEST(Resilience, KilledAroundExitLeavesOldOrNewSettingsWhole) {
  const uint64_t iterations = envNumber("TOBELYN_KILL_ITERATIONS", 60);
  std::mt19937 rng(static_cast<uint32_t>(envNumber("TOBELYN_KILL_SEED", 1)));
  std::string dir = freshDir();
  const std::string path = dir + "/settings";
  const std::string oldFile = settingsFile(1, kDefaultBindings);
  const std::string newFile = settingsFile(0, kDefaultBindings);
  writeFile(dir + "/script.txt", kSoundOffScript);

  // How long a whole run takes here, unkilled.
  std::vector<double> times;
  for (int i = 0; i < 3; ++i) {
    writeFile(path, oldFile);
    double t = 0;
    int status = runAndKill(dir, -1, false, &t);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(readAll(path), newFile) << "the script no longer switches the sound off";
    times.push_back(t);
  }
  std::sort(times.begin(), times.end());
  const long runUs = static_cast<long>(times[1] * 1e6);

  // Runs until the wanted number of kills; a run that ends before its kill
  // does not count, but its time updates the guess of a run's length.
  uint64_t kills = 0, attempts = 0;
  int oldSeen = 0, newSeen = 0, finished = 0, leftovers = 0, atWriteKills = 0;
  long estimateUs = runUs;
  while (kills < iterations && attempts < 20 * iterations) {
    writeFile(path, oldFile);
    // A third of the kills anywhere in the run, a third in its last fifth,
    // a third within 2 ms of the save's start.
    uint32_t mode = static_cast<uint32_t>(attempts % 3);
    long delay = 0;
    if (mode == 0) delay = static_cast<long>(rng() % static_cast<uint32_t>(estimateUs + 1));
    if (mode == 1)
      delay =
          estimateUs * 4 / 5 + static_cast<long>(rng() % static_cast<uint32_t>(estimateUs / 5 + 1));
    if (mode == 2) delay = static_cast<long>(rng() % 2000);
    ++attempts;
    double t = 0;
    int status = runAndKill(dir, delay, mode == 2, &t);
    if (WIFSIGNALED(status)) {
      ++kills;
      if (mode == 2) ++atWriteKills;
    } else {
      ++finished;
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
          << "attempt " << attempts << ": wait status " << status;
      estimateUs = (estimateUs * 3 + static_cast<long>(t * 1e6)) / 4;
    }
    std::string now = readAll(path);
    ASSERT_TRUE(now == oldFile || now == newFile)
        << "attempt " << attempts << ", kill mode " << mode << " after " << delay
        << " us: damaged settings file";
    if (now == oldFile) ++oldSeen;
    if (now == newFile) ++newSeen;
    leftovers += removeLeftovers(dir);
  }
  std::printf(
      "kill: %llu kills in %llu runs (median unkilled run %.1f ms; %d killed within 2 ms of the "
      "save's start): %d old, %d new, %d ran to the end, %d temporary files left by a killed "
      "writer\n",
      static_cast<unsigned long long>(kills), static_cast<unsigned long long>(attempts),
      runUs / 1000.0, atWriteKills, oldSeen, newSeen, finished, leftovers);
  EXPECT_EQ(kills, iterations) << "too few runs were still going when their kill came";
}

}  // namespace
