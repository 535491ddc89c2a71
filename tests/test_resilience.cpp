// The settings file against hard ends and bad machines: the replay runner
// killed at random moments around its exit, damaged or unreadable files,
// and folders that cannot be written or do not exist.
//
//   TOBELYN_KILL_ITERATIONS  kills in the kill test (default 60)
//   TOBELYN_KILL_SEED        seed of the kill delays (default 1)
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "host/book.h"
#include "platform/common/registry_file.h"
#include "platform/common/safe_file.h"
#include "tests/resilience_support.h"

namespace {

using namespace resilience;

// --- Damaged, edited and unreadable files.

// The keys as the replay runner reports them.
std::string keysJson(const int16_t *bindings) {
  const char *const names[kKeyBindingCount] = {"KeyUp",   "KeyDown", "KeyLeft", "KeyRight",
                                               "ButtonA", "ButtonB", "ButtonC", "ButtonStart"};
  std::string out = "{";
  for (int i = 0; i < kKeyBindingCount; ++i)
    out += (i > 0 ? ",\"" : "\"") + std::string(names[i]) + "\":" + std::to_string(bindings[i]);
  return out + "}";
}

// Replaces the first `what` in text with `with`.
std::string replaced(std::string text, const std::string &what, const std::string &with) {
  return text.replace(text.find(what), what.size(), with);
}

// The value lines of a settings file in sorted order: the values read back
// keep their places and the missing ones follow them.
std::string valueLines(const std::string &file) {
  std::vector<std::string> lines;
  std::stringstream in(file);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("crc32 ", 0) != 0) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  std::string out;
  for (const std::string &line : lines) out += line + "\n";
  return out;
}

enum Damage {
  kHandEdit,
  kBadLine,
  kCutShort,
  kNoChecksum,
  kWrongFirstLine,
  EMPTY,
  OVERSIZED,
  NOISE,
  UNREADABLE,
  PIPE
};

const int16_t kUpDefault[kKeyBindingCount] = {38, 'S', 'A', 'D', '1', '2', '3', '4'};
const int16_t kFirstTwoStored[kKeyBindingCount] = {'W', 'S', 37, 39, 13, 27, 67, 83};

struct DamagedCase {
  const char *name;
  Damage damage;
  int16_t sound;            // read from the file (1 when absent)
  const int16_t *bindings;  // read from the file, defaults where absent
};

// Every file starts as the one written for sound off and the stored keys.
const DamagedCase kDamaged[] = {
    {.name = "sound switched on by hand",
     .damage = kHandEdit,
     .sound = 1,
     .bindings = kStoredBindings},
    {.name = "one bad line among good ones",
     .damage = kBadLine,
     .sound = 0,
     .bindings = kUpDefault},
    {.name = "cut short in the fourth value",
     .damage = kCutShort,
     .sound = 0,
     .bindings = kFirstTwoStored},
    {.name = "checksum line missing",
     .damage = kNoChecksum,
     .sound = 0,
     .bindings = kStoredBindings},
    {.name = "wrong first line",
     .damage = kWrongFirstLine,
     .sound = 1,
     .bindings = kDefaultBindings},
    {.name = "empty", .damage = EMPTY, .sound = 1, .bindings = kDefaultBindings},
    {.name = "oversized", .damage = OVERSIZED, .sound = 1, .bindings = kDefaultBindings},
    {.name = "binary noise", .damage = NOISE, .sound = 1, .bindings = kDefaultBindings},
    {.name = "unreadable", .damage = UNREADABLE, .sound = 1, .bindings = kDefaultBindings},
    {.name = "a named pipe", .damage = PIPE, .sound = 1, .bindings = kDefaultBindings},
};

TEST(Resilience, DamagedSettingsKeepEveryReadableValueAndAreWrittenWholeAtExit) {
  for (const DamagedCase &c : kDamaged) {
    SCOPED_TRACE(c.name);
    const bool asNobody = c.damage == UNREADABLE && geteuid() == 0;
    if (c.damage == UNREADABLE && rootWithoutSetpriv()) {
      std::printf("%s: skipped, running as root without setpriv\n", c.name);
      continue;
    }
    const std::string dir = freshDir(), path = dir + "/settings";
    std::string bytes = settingsFile(0, kStoredBindings);
    if (c.damage == kHandEdit) bytes = replaced(bytes, "Sound 3 0000", "Sound 3 0100");
    if (c.damage == kBadLine) bytes = replaced(bytes, "KeyUp 3 5700", "KeyUp 3 57O0");
    if (c.damage == kCutShort) bytes.resize(bytes.find("KeyLeft") + 5);
    if (c.damage == kNoChecksum) bytes.resize(bytes.find("crc32"));
    if (c.damage == kWrongFirstLine) bytes = replaced(bytes, "settings 1", "settings 2");
    if (c.damage == EMPTY) bytes.clear();
    if (c.damage == OVERSIZED) bytes += std::string(kRegistryFileMax, 'x');
    std::mt19937 rng(7);
    if (c.damage == NOISE)
      for (char &b : bytes.assign(4096, '\0')) b = static_cast<char>(rng());
    c.damage == PIPE ? static_cast<void>(mkfifo(path.c_str(), 0644)) : writeFile(path, bytes);
    if (c.damage == UNREADABLE) chmod(path.c_str(), 0);
    if (asNobody) chmod(dir.c_str(), 0777);

    const std::string out = replay(dir, dir, "run 3\ndump\n", asNobody);
    EXPECT_EQ(dumpField(out, "sound"), std::to_string(c.sound));
    EXPECT_EQ(dumpField(out, "keys"), keysJson(c.bindings));
    EXPECT_EQ(valueLines(readAll(path)), valueLines(settingsFile(c.sound, c.bindings)));
  }
}

// A well-formed file, checksum and all, of values the game does not keep: they
// are ignored, and the game's own values are stored at exit in their place.
TEST(Resilience, ValuesNotOursAreDroppedAndTheGameStillStoresItsOwn) {
  const std::string dir = freshDir(), path = dir + "/settings";
  static RegistryValues junk;
  junk.count = kRegistryValuesMax;
  for (int i = 0; i < junk.count; ++i) {
    RegistryValue &v = junk.values[i];
    std::swprintf(v.name, kRegistryNameMax, L"Junk%d", i);
    v.type = REG_BINARY;
    v.size = 2;
    v.data[0] = 'J', v.data[1] = 0;
  }
  static char text[kRegistryFileMax];
  writeFile(path, std::string(text, registryFormat(junk, text, sizeof text)));

  // Sound switched off on the option screen with the default keys.
  const std::string out = replay(
      dir, dir,
      "clock 5000\nrun 14\nkey 0x28\nrun 13\nkey 0x0D\nwait 0\nwait 2\nkey 0x25\nrun 13\ndump\n");
  EXPECT_EQ(dumpField(out, "keys"), kDefaultKeys);
  EXPECT_EQ(readAll(path), settingsFile(0, kDefaultBindings));
}

// --- Whatever stands at the temporary file's name.

// Runs the replay runner on a script, killed if it is still going after
// 10 s; returns the exit status (-1 when killed) and the time taken.
int replayTimed(const std::string &dir, const std::string &script, double *seconds) {
  writeFile(dir + "/script.txt", script);
  auto started = std::chrono::steady_clock::now();
  int status = sh("cd '" + dir + "' && timeout -s KILL 10 '" + replayBinary + "' --registry '" +
                  dir + "' script.txt >out.txt 2>err.txt");
  *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return status == 137 ? -1 : status;
}

struct InTheWay {
  const char *name;
  const char *make;  // shell command run in the folder, making settings.tmp
  bool saved;        // the save goes through
};

const InTheWay kInTheWay[] = {
    {.name = "a named pipe nobody reads", .make = "mkfifo settings.tmp", .saved = true},
    {.name = "a hard link to another file", .make = "ln other settings.tmp", .saved = true},
    {.name = "a symbolic link to another file", .make = "ln -s other settings.tmp", .saved = true},
    {.name = "a dangling symbolic link", .make = "ln -s gone settings.tmp", .saved = true},
    {.name = "a stale file of a killed save", .make = "echo stale >settings.tmp", .saved = true},
    {.name = "a folder", .make = "mkdir settings.tmp", .saved = false},
};

TEST(Resilience, WhateverIsAtTheTemporaryNameNeitherStallsTheExitNorIsWrittenThrough) {
  for (const InTheWay &c : kInTheWay) {
    SCOPED_TRACE(c.name);
    const std::string dir = freshDir(), path = dir + "/settings";
    const std::string other = "someone else's file\n";
    writeFile(dir + "/other", other);
    ASSERT_EQ(sh("cd '" + dir + "' && " + c.make), 0);

    double seconds = 0;
    const int status = replayTimed(dir, "run 3\n", &seconds);
    std::printf("%s: the runner ended in %.2f s\n", c.name, seconds);
    ASSERT_EQ(status, 0) << "stalled or failed after " << seconds << " s";
    EXPECT_EQ(readAll(dir + "/other"), other) << "the other file was written through";
    EXPECT_EQ(access((dir + "/gone").c_str(), F_OK), -1) << "a file was made through the link";
    if (c.saved) {
      EXPECT_EQ(readAll(path), settingsFile(1, kDefaultBindings)) << "not saved";
      EXPECT_EQ(access((dir + "/settings.tmp").c_str(), F_OK), -1) << "temporary file left";
    }
  }
}

// --- Folders that cannot hold the file.

TEST(Resilience, ReadOnlyFolderKeepsItsFilesAndTheGamePlays) {
  if (rootWithoutSetpriv()) GTEST_SKIP() << "running as root without setpriv";
  const std::string dir = freshDir(), regDir = dir + "/config";
  mkdir(regDir.c_str(), 0755);
  const std::string old = settingsFile(1, kStoredBindings);
  writeFile(regDir + "/settings", old);
  writeFile(regDir + "/notes", "someone else's file\n");
  chmod(regDir.c_str(), 0555);
  if (geteuid() == 0) chmod(dir.c_str(), 0777);

  // Sound switched off with the stored keys ('1' is A): read, played, and
  // the change lost quietly at exit.
  const std::string out =
      replay(dir, regDir,
             "clock 5000\nrun 14\nkey 0x53\nrun 13\nkey 0x31\nwait 0\nwait 2\nkey 0x41\n"
             "run 13\ndump\n",
             geteuid() == 0);
  EXPECT_EQ(dumpField(out, "sound"), "0") << out;
  EXPECT_EQ(dumpField(out, "scene"), "\"OptionScene\"") << out;
  EXPECT_EQ(readAll(regDir + "/settings"), old);
  EXPECT_EQ(readAll(regDir + "/notes"), "someone else's file\n");
}

TEST(Resilience, FolderThatCannotBeMadeGivesDefaults) {
  const std::string dir = freshDir();
  writeFile(dir + "/plain", "a file, not a folder\n");
  const std::string out = replay(dir, dir + "/plain/config", "run 3\ndump\n");
  expectDefaults(out, "uncreatable folder");
  EXPECT_NE(out.find("{\"exit\": 0}"), std::string::npos);
  EXPECT_EQ(readAll(dir + "/plain"), "a file, not a folder\n");
}

// --- Killed around the exit.

// Waits for the child pid and kills it delayUs later - counted from the
// moment the temporary file tmp appears (the save begins) when atWrite is
// set; never when delayUs is negative. Returns the wait status; *seconds is
// the run's length, from started.
int killAfter(pid_t pid, const std::string &tmp, long delayUs, bool atWrite,
              std::chrono::steady_clock::time_point started, double *seconds) {
  int status = 0;
  bool reaped = false;
  while (atWrite && delayUs >= 0 && !reaped && access(tmp.c_str(), F_OK) != 0)
    reaped = waitpid(pid, &status, WNOHANG) == pid;
  if (delayUs >= 0 && !reaped) {
    usleep(static_cast<useconds_t>(delayUs));
    kill(pid, SIGKILL);
  }
  if (!reaped) waitpid(pid, &status, 0);
  *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return status;
}

// Starts the runner on dir's script and kills it as killAfter says.
int runAndKill(const std::string &dir, long delayUs, bool atWrite, double *seconds) {
  auto started = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr))
      _exit(2);
    execl(replayBinary.c_str(), replayBinary.c_str(), "--registry", dir.c_str(),
          (dir + "/script.txt").c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  return killAfter(pid, dir + "/settings.tmp", delayUs, atWrite, started, seconds);
}

// Kills runs of a save (run: delay, atWrite, &seconds -> wait status) until
// TOBELYN_KILL_ITERATIONS kills, each run starting from oldFile at path, and
// checks after every run that the file is oldFile or newFile, whole.
void killRepeatedly(const char *what, const std::string &path, const std::string &oldFile,
                    const std::string &newFile, const std::function<void()> &putOld,
                    const std::function<int(long, bool, double *)> &run) {
  const uint64_t iterations = envNumber("TOBELYN_KILL_ITERATIONS", 60);
  std::mt19937 rng(static_cast<uint32_t>(envNumber("TOBELYN_KILL_SEED", 1)));
  const std::string tmp = path + ".tmp";

  // How long a whole run takes here, unkilled: the median of three.
  double times[3];
  for (double &t : times) {
    putOld();
    ASSERT_EQ(run(-1, false, &t), 0);
    ASSERT_EQ(readAll(path), newFile) << "the unkilled run did not write the new file";
  }
  std::sort(times, times + 3);
  const long runUs = static_cast<long>(times[1] * 1e6);

  // Runs until the wanted number of kills; a run that ends before its kill
  // does not count, but its time updates the guess of a run's length.
  uint64_t kills = 0, attempts = 0;
  int seen[2] = {}, leftovers = 0, atWriteKills = 0;
  long estimateUs = runUs;
  while (kills < iterations && attempts < 20 * iterations) {
    putOld();
    // A third of the kills anywhere in the run, a third in its last fifth,
    // a third within 2 ms of the save's start.
    const int mode = static_cast<int>(attempts++ % 3);
    const long delay = static_cast<long>(
        mode == 0   ? rng() % static_cast<uint32_t>(estimateUs + 1)
        : mode == 1 ? estimateUs * 4 / 5 + rng() % static_cast<uint32_t>(estimateUs / 5 + 1)
                    : rng() % 2000);
    double t = 0;
    const int status = run(delay, mode == 2, &t);
    if (WIFSIGNALED(status)) {
      ++kills;
      atWriteKills += mode == 2;
    } else {
      ASSERT_EQ(status, 0) << "attempt " << attempts << ": wait status " << status;
      estimateUs = (estimateUs * 3 + static_cast<long>(t * 1e6)) / 4;
    }
    const std::string now = readAll(path);
    ASSERT_TRUE(now == oldFile || now == newFile)
        << "attempt " << attempts << ", kill mode " << mode << " after " << delay << " us: damaged "
        << what;
    ++seen[now == newFile];
    // A killed writer may leave its temporary file; it is counted and cleared.
    leftovers += access(tmp.c_str(), F_OK) == 0;
    unlink(tmp.c_str());
  }
  std::printf(
      "kill, %s: %d kills in %d runs (median unkilled run %.1f ms; %d within 2 ms of the save's "
      "start): %d old, %d new, %d ran to the end, %d temporary files left by a killed writer\n",
      what, int(kills), int(attempts), runUs / 1000.0, atWriteKills, seen[0], seen[1],
      int(attempts - kills), leftovers);
  EXPECT_EQ(kills, iterations) << "too few runs were still going when their kill came";
}

TEST(Resilience, KilledAroundExitLeavesOldOrNewSettingsWhole) {
  const std::string dir = freshDir(), path = dir + "/settings";
  const std::string oldFile = settingsFile(1, kDefaultBindings);
  // From the title to the option screen, sound switched off; the runner
  // then closes the program.
  writeFile(dir + "/script.txt",
            "clock 5000\nrun 14\nkey 0x28\nrun 13\nkey 0x0D\nwait 0\nwait 2\nkey 0x25\nrun 13\n");
  killRepeatedly(
      "settings", path, oldFile, settingsFile(0, kDefaultBindings),
      [&] { writeFile(path, oldFile); },
      [&](long delay, bool atWrite, double *t) { return runAndKill(dir, delay, atWrite, t); });
}

// The player book, killed while it is saved: a book of 21-dart "High
// Score" matches, one more added by a child process that is killed at
// random moments of its load, add and save.
TEST(Resilience, KilledWhileSavingLeavesOldOrNewBookWhole) {
  const std::string dir = freshDir(), path = dir + "/data/tobelyn/book";
  Book book;
  for (int i = 0; i < 150; ++i) addHighScoreMatch(&book, 1796644800 + 600 * i);
  const std::string oldFile = bookFormat(book);
  addHighScoreMatch(&book, 1796644800 + 600 * 150);
  killRepeatedly(
      "book", path, oldFile, bookFormat(book),
      [&] {
        ASSERT_TRUE(safeMakeParentFolders(path.c_str(), 0755));
        writeFile(path, oldFile);
      },
      [&](long delay, bool atWrite, double *t) {
        auto started = std::chrono::steady_clock::now();
        pid_t pid = fork();
        if (pid == 0) {  // loads, adds the match, saves
          Book child;
          bookLoad(path.c_str(), &child);
          addHighScoreMatch(&child, 1796644800 + 600 * 150);
          _exit(bookSave(path.c_str(), child) ? 0 : 3);
        }
        return killAfter(pid, path + ".tmp", delay, atWrite, started, t);
      });
}

// --- Snapshots that cannot be written.

// A shot that fails - the disk full, a device at its name - reports the
// error and leaves whatever was at its name as it was. The full disk is a
// file size limit on the runner; the full device is made in the test's
// folder (as root only; CI runs as root).
TEST(Resilience, FailedShotLeavesItsTargetAlone) {
  const std::string dir = freshDir();
  writeFile(dir + "/script.txt", "run 2\nshot picture.png\n");
  writeFile(dir + "/picture.png", "an older picture\n");
  const std::string run =
      "cd '" + dir + "' && timeout -s KILL 10 '" + replayBinary + "' script.txt >out.txt 2>err.txt";
  // bash counts the limit in blocks of 1024 bytes; the title's picture is
  // far larger. An ignored SIGXFSZ makes the write fail instead.
  EXPECT_EQ(sh("bash -c \"trap '' XFSZ; ulimit -f 2; " + run + "\""), 2)
      << readAll(dir + "/err.txt");
  EXPECT_NE(readAll(dir + "/err.txt").find("script.txt:2: cannot write picture.png"),
            std::string::npos)
      << readAll(dir + "/err.txt");
  EXPECT_EQ(readAll(dir + "/picture.png"), "an older picture\n");
  EXPECT_NE(access((dir + "/picture.png.tmp").c_str(), F_OK), 0) << "temporary file left";

  if (mknod((dir + "/full").c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
    const char *ci = std::getenv("CI");
    ASSERT_FALSE(ci != nullptr && std::string(ci) == "true") << "cannot make a device node";
    std::printf("full device: skipped, cannot make a device node here\n");
    return;
  }
  writeFile(dir + "/script.txt", "run 2\nshot full\n");
  EXPECT_EQ(sh(run), 2) << readAll(dir + "/err.txt");
  struct stat st;
  ASSERT_EQ(lstat((dir + "/full").c_str(), &st), 0) << "the device node is gone";
  EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device node was replaced";
}

// --- Scripts the replay runner must refuse, and ones it must still take.

struct ScriptSource {
  const char *name;
  const char *command;  // a bash script run in the test's folder; $R is the runner
  int status;
  const char *message;  // part of the error message; "" when it succeeds
};

TEST(Resilience, ReplayRefusesWhatIsNotAScriptAndNamesTheLine) {
  const std::string dir = freshDir();
  writeFile(dir + "/good.txt", "run 1\n");
  writeFile(dir + "/long.txt", "run 1\n# fine\n" + std::string(5000, '#') + "\nrun 1\n");
  const ScriptSource cases[] = {
      {.name = "a folder", .command = "\"$R\" .", .status = 2, .message = "not a file"},
      {.name = "an endless device",
       .command = "\"$R\" /dev/zero",
       .status = 2,
       .message = ":1: line longer than"},
      {.name = "an endless stream of short lines",
       .command = "yes '#' | \"$R\" -",
       .status = 2,
       .message = "larger than"},
      {.name = "a line too long",
       .command = "\"$R\" long.txt",
       .status = 2,
       .message = "long.txt:3: line longer than"},
      {.name = "an empty registry folder name",
       .command = "\"$R\" --registry '' good.txt",
       .status = 2,
       .message = "--registry"},
      {.name = "a pipe", .command = "cat good.txt | \"$R\" -", .status = 0, .message = ""},
      {.name = "process substitution",
       .command = "\"$R\" <(cat good.txt)",
       .status = 0,
       .message = ""},
  };
  for (const ScriptSource &c : cases) {
    SCOPED_TRACE(c.name);
    auto started = std::chrono::steady_clock::now();
    writeFile(dir + "/case.sh", c.command);
    const int status = sh("cd '" + dir + "' && R='" + replayBinary +
                          "' timeout -s KILL 10 bash case.sh >out.txt 2>err.txt");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%s: exit %d in %.2f s\n", c.name, status, seconds);
    const std::string errors = readAll(dir + "/err.txt");
    EXPECT_EQ(status, c.status) << errors;
    if (c.status == 0) {
      EXPECT_EQ(readAll(dir + "/out.txt"), "{\"exit\": 0}\n");
    } else {
      EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
      EXPECT_EQ(readAll(dir + "/out.txt"), "") << "nothing ran";
    }
  }
}

}  // namespace
