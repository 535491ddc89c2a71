// tobelyn-replay: runs the whole program on the headless backend, driven by
// a script of input, clock and inspection commands.
//
//   tobelyn-replay [--registry DIR] [--data DIR] [--export FILE] [--timedemo] SCRIPT
//                                                            (- reads stdin)
//
// With the host on, finished matches go into the player book: kept in
// DIR/book with --data (else in memory only), and written as CSV to FILE
// with --export when the program has ended.
// The whole script is checked before anything runs. The program is started
// before the first command; queued input is taken one message per pass, and
// the clock advances by the step after every pass. At the end of the script
// a program still running gets a close request and runs to its end; then
// {"exit": CODE} is printed. A `wait` that the program's end cuts short is
// not reached; `run` and `wait` after the end run nothing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "host/announcer.h"
#include "host/assist.h"
#include "host/ear_cues.h"
#include "host/host.h"
#include "host/host_games.h"
#include "host/match_codes.h"
#include "host/player_book.h"
#include "host/seats.h"
#include "platform/common/safe_file.h"
#include "platform/headless/headless.h"
#include "replay/script.h"
#include "screens/screens.h"

// Scripts are opened without passing the descriptor on to child programs;
// the C library of Windows (the replay built for the tests under Wine) has
// no such flag, and reads them in binary mode instead.
#ifdef _WIN32
constexpr int kScriptOpenFlags = O_RDONLY | O_BINARY;
#else
constexpr int kScriptOpenFlags = O_RDONLY | O_CLOEXEC;
#endif

namespace {

// A seat's assist as scripts write it (`seat N assist off|1/2|1/3`).
const char *const kAssistWords[] = {"off", "1/2", "1/3"};

constexpr int kExitBad = 2;
// A program that ignores the closing request at the end of the script is
// given up on after this many passes.
constexpr uint64_t kClosePassLimit = 1000000;

struct Line {
  int number;
  ScriptCommand command;
};

struct Runner {
  std::string scriptName;
  bool timedemo = false;
  bool ended = false;
  int exitCode = 0;
  uint64_t passes = 0;
  uint32_t step = 16;
  bool hostUsed = false;
  bool hostStarted = false;
  std::string bookPath;  // --data: where the player book lives; empty: nowhere
};

// The replay's dates: a fixed moment plus the script clock, so that a book
// and its export come out the same on every run.
constexpr int64_t kReplayEpoch = 1796644800;  // 2026-12-07 12:00:00
int64_t scriptWallClock() { return kReplayEpoch + timeGetTime() / 1000; }

Runner runner;

[[noreturn]] void fail(int line, const std::string &message) {
  std::fprintf(stderr, "tobelyn-replay: %s:%d: %s\n", runner.scriptName.c_str(), line,
               message.c_str());
  std::exit(kExitBad);
}

[[noreturn]] void usage(const std::string &message) {
  std::fprintf(
      stderr,
      "tobelyn-replay: %s\nusage: tobelyn-replay [--registry DIR] [--data DIR] [--export FILE] "
      "[--timedemo] SCRIPT\n",
      message.c_str());
  std::exit(kExitBad);
}

// One pass of the main loop, then the clock moves on by the step.
void runPass() {
  if (runner.ended) return;
  int code = 0;
  if (!appPass(&code)) {
    appFinish();
    runner.ended = true;
    runner.exitCode = code;
  }
  ++runner.passes;
  headlessAdvanceClock(runner.step);
}

const char *sceneName() {
  struct Named {
    FrameHandler frame;
    const char *name;
  };
  const Named scenes[] = {
      {titleSceneFrame, "TitleScene"},
      {gameSelectSceneFrame, "GameSelectScene"},
      {playerSelectSceneFrame, "PlayerSelectScene"},
      {readySceneFrame, "ReadyScene"},
      {matchSceneFrame, "MatchScene"},
      {optionSceneFrame, "OptionScene"},
      {aboutSceneFrame, "AboutScene"},
  };
  for (const Named &s : scenes) {
    if (frameHandler == s.frame) return s.name;
  }
  return nullptr;
}

// The sound id (SoundId) of a WAVE resource the backend saw started, by the
// game's own sound table; 0 for a wave no sound id plays.
int soundIdOf(int resourceId) {
  for (int32_t id = 1; id <= kSoundCount; ++id) {
    if (resourceId != 0 && soundTable[id - 1] == resourceId) return id;
  }
  return 0;
}

std::string narrow(const wchar_t *text) {
  std::string out;
  for (; *text != 0; ++text) out += static_cast<char>(*text);
  return out;
}

void appendArray(std::string &out, const int32_t *values, int count) {
  out += '[';
  for (int i = 0; i < count; ++i) {
    if (i > 0) out += ',';
    out += std::to_string(values[i]);
  }
  out += ']';
}

void field(std::string &out, const char *name, long long value) {
  if (out.size() > 1) out += ',';
  out += '"';
  out += name;
  out += "\":";
  out += std::to_string(value);
}

void fieldRaw(std::string &out, const char *name, const std::string &json) {
  if (out.size() > 1) out += ',';
  out += '"';
  out += name;
  out += "\":";
  out += json;
}

std::string dumpState() {
  std::string out = "{";
  field(out, "pass", static_cast<long long>(runner.passes));
  field(out, "clock", timeGetTime());
  const char *scene = sceneName();
  fieldRaw(out, "scene", scene != nullptr ? std::string("\"") + scene + "\"" : "null");
  field(out, "sceneStep", sceneStep);
  field(out, "menuCursor", menuCursor);
  field(out, "menuChoice", menuChoice);
  field(out, "inputDebounceTime", inputDebounceTime);
  field(out, "framesEnabled", framesEnabled);
  field(out, "sound", soundEnabled);

  std::string keys = "{";
  for (const StoredSetting &setting : storedSettings) {
    if (setting.binding == kSoundFlag) continue;
    if (keys.size() > 1) keys += ',';
    keys += '"' + narrow(setting.name) + "\":" + std::to_string(keyBindings[setting.binding]);
  }
  keys += '}';
  fieldRaw(out, "keys", keys);

  std::string sounds = "[";
  int taken[64];
  int count;
  bool first = true;
  do {
    count = headlessTakeSounds(taken, 64);
    for (int i = 0; i < count; ++i) {
      if (!first) sounds += ',';
      first = false;
      sounds += std::to_string(soundIdOf(taken[i]));
    }
  } while (count == 64);
  sounds += ']';
  fieldRaw(out, "sounds", sounds);

  int active = 0;
  for (const Effect &e : effects) {
    if (e.active != 0) ++active;
  }
  field(out, "effects", active);
  field(out, "gameMode", gameMode);
  field(out, "playerCount", playerCount);

  std::string m = "{";
  field(m, "currentPlayer", match.currentPlayer);
  field(m, "roundIndex", match.roundIndex);
  field(m, "dartIndex", match.dartIndex);
  std::string array;
  appendArray(array, match.playerScores, kMaxPlayers);
  fieldRaw(m, "playerScores", array);
  field(m, "winner", match.winner);
  array.clear();
  appendArray(array, match.dartMarkX, kDartsPerTurn);
  fieldRaw(m, "dartMarkX", array);
  array.clear();
  appendArray(array, match.dartMarkY, kDartsPerTurn);
  fieldRaw(m, "dartMarkY", array);
  field(m, "aimX", match.aimX);
  field(m, "aimDirection", match.aimDirection);
  field(m, "gaugeIndex", match.gaugeIndex);
  field(m, "gaugePeak", match.gaugePeak);
  field(m, "gaugeRelease", match.gaugeRelease);
  field(m, "throwTime", match.throwTime);
  field(m, "hitDistance", match.hitDistance);
  field(m, "hitAngle", match.hitAngle);
  field(m, "hitQuadrant", match.hitQuadrant);
  field(m, "hitSector", match.hitSector);
  field(m, "throwScore", match.throwScore);
  field(m, "popupRise", match.popupRise);
  m += '}';
  fieldRaw(out, "match", m);

  // Only once a script has turned the host on, so that the dumps of every
  // other script stay as they were.
  if (runner.hostUsed) {
    std::string h = "{";
    field(h, "menu", hostMenuOpen() ? 1 : 0);
    fieldRaw(h, "page", std::string("\"") + hostPageName() + "\"");
    field(h, "paused", hostPaused() ? 1 : 0);
    field(h, "gameClock", hostGameTime());
    field(h, "summary", hostSummaryShown() ? 1 : 0);
    field(h, "bookMatches", static_cast<long long>(hostBook().matches.size()));
    std::string seats = "[";
    for (int32_t i = 0; i < kSeatCount; ++i) {
      std::string seat = "{";
      fieldRaw(seat, "name", std::string("\"") + hostSeatName(i) + "\"");
      field(seat, "cpuLevel", hostSeat(i).cpuLevel);
      fieldRaw(seat, "assist", std::string("\"") + kAssistWords[hostSeatAssist(i) - 1] + "\"");
      field(seat, "autoContinue", hostSeatAutoContinue(i) ? 1 : 0);
      field(seat, "cues", hostSeatCues(i) ? 1 : 0);
      seat += '}';
      if (i > 0) seats += ',';
      seats += seat;
    }
    seats += ']';
    fieldRaw(h, "seats", seats);
    field(h, "fastCpu", hostCpuFast() ? 1 : 0);
    fieldRaw(h, "matchSeed", std::to_string(hostMatchSeed()));
    fieldRaw(h, "game", hostGameJson());
    fieldRaw(h, "code", std::string("\"") + hostMatchCode() + "\"");
    std::string said = "[";
    for (const std::string &text : hostSaid()) {
      if (said.size() > 1) said += ',';
      said += '"';
      for (char ch : text) said += ch == '"' || ch == '\\' ? '?' : ch;
      said += '"';
    }
    fieldRaw(h, "said", said + "]");
    h += '}';
    fieldRaw(out, "host", h);
  }
  out += '}';
  return out;
}

void startHost() {
  runner.hostUsed = true;
  if (!runner.hostStarted) {
    hostStart();
    hostBookOpen(runner.bookPath.empty() ? nullptr : runner.bookPath.c_str(), scriptWallClock);
  }
  runner.hostStarted = true;
  hostEnable(true);
}

// `host watch CODE` and `host resume`: the host on, then the code played
// again; a refused code is said on the standard error and changes nothing.
void playCode(int lineNumber, const ScriptCommand &c) {
  startHost();
  std::string message;
  const bool played = c.value == kHostWatch ? hostPlayCode(c.file, CodePlay::kWatch, &message)
                                            : hostResumeKept(&message);
  if (!played)
    std::fprintf(stderr, "tobelyn-replay: %s:%d: %s\n", runner.scriptName.c_str(), lineNumber,
                 message.c_str());
}

void execute(const Line &line) {
  const ScriptCommand &c = line.command;
  switch (c.kind) {
    case CommandKind::Empty:
      break;
    case CommandKind::Clock:
      headlessSetClock(c.value);
      break;
    case CommandKind::Step:
      runner.step = c.value;
      break;
    case CommandKind::Key:
      headlessKey(static_cast<int>(c.value));
      break;
    case CommandKind::Hold:
      headlessHold(static_cast<int>(c.value), true);
      break;
    case CommandKind::Release:
      headlessHold(static_cast<int>(c.value), false);
      break;
    case CommandKind::Tap:
      headlessTap(c.x, c.y);
      break;
    case CommandKind::Activate:
      headlessActivate(c.value != 0);
      break;
    case CommandKind::Minimize:
      headlessMinimize();
      break;
    case CommandKind::Close:
      headlessClose();
      break;
    case CommandKind::Run:
      for (uint32_t i = 0; i < c.value && !runner.ended; ++i) runPass();
      break;
    case CommandKind::Wait: {
      if (runner.ended) break;
      bool reached = false;
      for (uint32_t i = 0; i < c.limit && !runner.ended; ++i) {
        runPass();
        if (sceneStep == c.sceneStep) {
          reached = true;
          break;
        }
      }
      if (!reached) {
        fail(line.number, "wait " + std::to_string(c.sceneStep) + ": sceneStep " +
                              std::to_string(sceneStep) +
                              (runner.ended ? " when the program ended"
                                            : " after " + std::to_string(c.limit) + " passes"));
      }
      break;
    }
    case CommandKind::Dump: {
      std::string json = dumpState();
      if (!runner.timedemo) std::printf("%s\n", json.c_str());
      break;
    }
    case CommandKind::Host:
      if (c.value == kHostWatch || c.value == kHostResume) {
        playCode(line.number, c);
        break;
      }
      if (c.value != kHostOff) {
        runner.hostUsed = true;
        if (!runner.hostStarted) {
          hostStart();
          hostBookOpen(runner.bookPath.empty() ? nullptr : runner.bookPath.c_str(),
                       scriptWallClock);
        }
        runner.hostStarted = true;
      }
      if (c.value == kHostPlay) {
        // The host as `host on` leaves it, then the game from the title.
        if (frameHandler != titleSceneFrame) {
          fail(line.number, "host play: not at the title");
          break;
        }
        HostGameChoice choice;
        if (!hostGameFromText(c.file, &choice, nullptr)) {
          fail(line.number, "host play: bad game " + c.file);
          break;
        }
        hostEnable(true);
        hostPlayGame(choice, c.seat);
        break;
      }
      hostEnable(c.value != kHostOff);
      hostForceHints(c.value == kHostHints);
      hostShowSummary(c.value == kHostSummary);
      hostForceLively(c.value == kHostEffects);
      break;
    case CommandKind::Seat:
      if (c.seatSetting == kSeatAssist)
        hostSetSeatAssist(c.seat - 1, static_cast<int32_t>(c.value));
      else if (c.seatSetting == kSeatAuto)
        hostSetSeatAutoContinue(c.seat - 1, c.value != 0);
      else if (c.seatSetting == kSeatCues)
        hostSetSeatCues(c.seat - 1, c.value != 0);
      else
        hostSeat(c.seat - 1).cpuLevel = static_cast<int32_t>(c.value);
      break;
    case CommandKind::Seed:
      hostFixMatchSeed(c.seed);
      break;
    case CommandKind::Shot:
      if (!headlessSavePng(c.file.c_str())) fail(line.number, "cannot write " + c.file);
      break;
  }
}

// Reads and checks the whole script before anything runs. A script is
// small: a line longer than kLineMax bytes or a script larger than
// kScriptMax bytes is refused (a device like /dev/zero would otherwise fill
// the memory), and so is any read error; each names the line.
constexpr size_t kLineMax = 4096;
constexpr size_t kScriptMax = 4u << 20;

std::vector<Line> readScript(int fd) {
  std::vector<Line> lines;
  std::string text;
  int number = 1;
  size_t total = 0;
  auto take = [&]() {
    ParseResult parsed = parseScriptLine(text);
    if (!parsed.ok) fail(number, parsed.error);
    if (parsed.command.kind != CommandKind::Empty) lines.push_back({number, parsed.command});
    text.clear();
    ++number;
  };
  static char chunk[65536];
  for (;;) {
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail(number, std::string("cannot read the script: ") + std::strerror(errno));
    if (n == 0) break;
    total += static_cast<size_t>(n);
    if (total > kScriptMax) {
      fail(number, "the script is larger than " + std::to_string(kScriptMax) + " bytes");
    }
    for (ssize_t i = 0; i < n; ++i) {
      if (chunk[i] == '\n') {
        take();
      } else if (text.size() == kLineMax) {
        fail(number, "line longer than " + std::to_string(kLineMax) + " bytes");
      } else {
        text += chunk[i];
      }
    }
  }
  if (!text.empty()) take();  // a last line without a line feed
  return lines;
}

}  // namespace

int main(int argc, char **argv) {
#ifdef SIGXFSZ
  // Past a file-size limit a write fails (and --export says so) instead of
  // the runner ending with SIGXFSZ and a temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  const char *registryDir = nullptr;
  const char *script = nullptr;
  const char *exportFile = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--registry") == 0) {
      if (i + 1 >= argc) usage("--registry needs a folder");
      registryDir = argv[++i];
    } else if (std::strcmp(argv[i], "--data") == 0) {
      if (i + 1 >= argc || argv[i + 1][0] == 0) usage("--data needs a folder");
      runner.bookPath = std::string(argv[++i]) + "/book";
    } else if (std::strcmp(argv[i], "--export") == 0) {
      if (i + 1 >= argc || argv[i + 1][0] == 0) usage("--export needs a file");
      exportFile = argv[++i];
    } else if (std::strcmp(argv[i], "--timedemo") == 0) {
      runner.timedemo = true;
    } else if (argv[i][0] == '-' && argv[i][1] != 0) {
      usage(std::string("unknown option ") + argv[i]);
    } else if (script != nullptr) {
      usage("only one script");
    } else {
      script = argv[i];
    }
  }
  if (script == nullptr) usage("no script");

  if (registryDir != nullptr && registryDir[0] == 0) usage("--registry needs a folder name");

  // Pipes and process substitution (/dev/fd/N) are read like files; a
  // folder is refused.
  std::vector<Line> lines;
  if (std::strcmp(script, "-") == 0) {
    runner.scriptName = "-";
    lines = readScript(STDIN_FILENO);
  } else {
    runner.scriptName = script;
    int fd = open(script, kScriptOpenFlags);
    if (fd < 0) usage(std::string("cannot read ") + script + ": " + std::strerror(errno));
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      usage(std::string("cannot read ") + script + ": not a file");
    }
    lines = readScript(fd);
    close(fd);
  }

  headlessReset();
  headlessSetRegistryDir(registryDir);

  auto started = std::chrono::steady_clock::now();
  int code = 0;
  if (!appStart(GetModuleHandleW(nullptr), SW_SHOW, &code)) {
    runner.ended = true;
    runner.exitCode = code;
  }
  for (const Line &line : lines) execute(line);

  if (!runner.ended) {
    headlessClose();
    for (uint64_t i = 0; i < kClosePassLimit && !runner.ended; ++i) runPass();
    if (!runner.ended) {
      fail(static_cast<int>(lines.empty() ? 0 : lines.back().number),
           "the program did not end after a close request");
    }
  }
  if (exportFile != nullptr) {
    const std::string csv = bookCsv(hostBook());
    if (!safeFileWrite(exportFile, csv.data(), csv.size())) {
      std::fprintf(stderr, "tobelyn-replay: cannot write %s\n", exportFile);
      return kExitBad;
    }
  }
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  if (runner.timedemo) {
    double rate = seconds > 0 ? static_cast<double>(runner.passes) / seconds : 0.0;
    std::printf("%.0f\n", rate);
  } else {
    std::printf("{\"exit\": %d}\n", runner.exitCode);
  }
  return 0;
}
