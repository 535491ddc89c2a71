// Desktop backend: key codes, wave images, the window icon, file locations
// and the single running instance.
#include <SDL_gamecontroller.h>
#include <SDL_keycode.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sdl/logic.h"

using namespace sdlb;
using Bytes = std::vector<uint8_t>;

TEST(SdlKeys, VirtualKeyCodesByKeyCodeElseByPosition) {
  // Key codes decide, whatever the scan code; F13 is numbered apart from F12.
  const int keys[][2] = {
      {'a', 0x41},         {'z', 0x5A},           {'0', 0x30},         {'9', 0x39},
      {SDLK_RETURN, 0x0D}, {SDLK_KP_ENTER, 0x0D}, {SDLK_ESCAPE, 0x1B}, {SDLK_LEFT, 0x25},
      {SDLK_DOWN, 0x28},   {SDLK_F12, 0x7B},      {SDLK_F13, 0x7C},    {SDLK_RSHIFT, 0x10},
      {SDLK_KP_9, 0x69},   {';', 0xBA},           {'\'', 0xDE},        {SDLK_UNKNOWN, 0}};
  for (const auto &k : keys) EXPECT_EQ(virtualKeyFor(k[0], 0), k[1]) << "key " << k[0];
  // A layout whose letters are not Latin: the key's position decides.
  EXPECT_EQ(virtualKeyFor(0x0444, SDL_SCANCODE_A), 'A');
  EXPECT_EQ(virtualKeyFor(0x00E9, SDL_SCANCODE_2), '2');
}

TEST(SdlKeys, WindowKeysAreF11AltEnterAndF10Only) {
  struct Case {
    const char *name;
    int32_t key;
    uint16_t mod;
    WindowKey expected;
  };
  const Case cases[] = {
      {.name = "F11", .key = SDLK_F11, .mod = 0, .expected = WindowKey::kFullScreen},
      {.name = "F11 with Shift",
       .key = SDLK_F11,
       .mod = KMOD_LSHIFT,
       .expected = WindowKey::kFullScreen},
      {.name = "left Alt+Enter",
       .key = SDLK_RETURN,
       .mod = KMOD_LALT,
       .expected = WindowKey::kFullScreen},
      {.name = "right Alt+keypad Enter",
       .key = SDLK_KP_ENTER,
       .mod = KMOD_RALT,
       .expected = WindowKey::kFullScreen},
      {.name = "F10", .key = SDLK_F10, .mod = 0, .expected = WindowKey::kFit},
      {.name = "Enter alone is button A",
       .key = SDLK_RETURN,
       .mod = 0,
       .expected = WindowKey::kNone},
      {.name = "Enter with Num Lock is button A",
       .key = SDLK_RETURN,
       .mod = KMOD_NUM,
       .expected = WindowKey::kNone},
      {.name = "Ctrl+Alt+Enter is not ours",
       .key = SDLK_RETURN,
       .mod = KMOD_LALT | KMOD_LCTRL,
       .expected = WindowKey::kNone},
      {.name = "Alt alone", .key = SDLK_LALT, .mod = KMOD_LALT, .expected = WindowKey::kNone},
      {.name = "F12", .key = SDLK_F12, .mod = 0, .expected = WindowKey::kNone},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(windowKeyFor(c.key, c.mod), c.expected);
  }
}

TEST(SdlKeys, AltAndKeysWithAltAreSystemKeys) {
  EXPECT_TRUE(isSystemKey(SDLK_LALT, KMOD_LALT)) << "Alt itself";
  EXPECT_TRUE(isSystemKey(SDLK_RALT, 0)) << "right Alt before its modifier shows";
  EXPECT_TRUE(isSystemKey('x', KMOD_RALT)) << "Alt+X";
  EXPECT_FALSE(isSystemKey('x', KMOD_LSHIFT)) << "Shift+X is a key";
  EXPECT_FALSE(isSystemKey(SDLK_LCTRL, KMOD_LCTRL)) << "Ctrl is a key";
}

TEST(SdlPad, ButtonsAsTheGamesButtons) {
  struct Case {
    const char *name;
    int sdl;
    int button;
  };
  const Case cases[] = {
      {.name = "pad up", .sdl = SDL_CONTROLLER_BUTTON_DPAD_UP, .button = kPadUp},
      {.name = "pad right", .sdl = SDL_CONTROLLER_BUTTON_DPAD_RIGHT, .button = kPadRight},
      {.name = "south is A", .sdl = SDL_CONTROLLER_BUTTON_A, .button = kPadA},
      {.name = "east is B", .sdl = SDL_CONTROLLER_BUTTON_B, .button = kPadB},
      {.name = "west is C", .sdl = SDL_CONTROLLER_BUTTON_X, .button = kPadC},
      {.name = "north is C", .sdl = SDL_CONTROLLER_BUTTON_Y, .button = kPadC},
      {.name = "Start", .sdl = SDL_CONTROLLER_BUTTON_START, .button = kPadStart},
      {.name = "Back does nothing", .sdl = SDL_CONTROLLER_BUTTON_BACK, .button = -1},
      {.name = "shoulder does nothing", .sdl = SDL_CONTROLLER_BUTTON_LEFTSHOULDER, .button = -1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(padButtonFor(c.sdl), c.button);
  }
}

TEST(SdlFiles, TheWindowFileLiesBesideTheSettings) {
  char path[64];
  ASSERT_TRUE(windowStatePath("/cfg", "/home/p", path, sizeof path));
  EXPECT_STREQ(path, "/cfg/tobelyn/window") << "beside the settings, never in them";
}

namespace {

void put(Bytes &v, uint32_t x, int n) {
  for (; n > 0; --n, x >>= 8) v.push_back(x & 0xFF);
}
void tag(Bytes &v, const char *t) { v.insert(v.end(), t, t + 4); }

struct WaveShape {  // extraChunk: a 3-byte chunk between the format and the data
  uint32_t fmtSize = 16, samplesBytes = 100, statedDataBytes = 100, extraChunk = 0;
};

// A PCM, mono, 16-bit, 44,100 Hz image of the given shape.
Bytes makeWave(const WaveShape &s) {
  Bytes fmt, data, out;
  tag(fmt, "fmt "), put(fmt, s.fmtSize, 4), put(fmt, 1 | 1 << 16, 4), put(fmt, 44100, 4);
  put(fmt, 88200, 4), put(fmt, 2 | 16 << 16, 4), fmt.resize(8 + std::max(16u, s.fmtSize));
  if (s.extraChunk) tag(fmt, "LIST"), put(fmt, 3, 4), put(fmt, 0x030201, 4);  // odd, padded
  tag(data, "data"), put(data, s.statedDataBytes, 4), data.resize(8 + s.samplesBytes, 7);
  tag(out, "RIFF"), put(out, static_cast<uint32_t>(4 + fmt.size() + data.size()), 4);
  tag(out, "WAVE"), out.insert(out.end(), fmt.begin(), fmt.end());
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

}  // namespace

TEST(SdlWave, AcceptsOnlyMonoSixteenBitImagesAndNeverReadsPastThem) {
  WaveData w;
  // Plain, another chunk before the data, a long format chunk, odd data cut
  // to whole samples, data longer than the image: the sample bytes found.
  const std::pair<WaveShape, uint32_t> cases[] = {
      {{}, 100},
      {{.extraChunk = 1}, 100},
      {{.fmtSize = 18}, 100},
      {{.samplesBytes = 101, .statedDataBytes = 101}, 100},
      {{.statedDataBytes = 1000000}, 100}};
  for (const auto &[shape, bytes] : cases) {
    const Bytes img = makeWave(shape);
    ASSERT_TRUE(parseWave(img.data(), img.size(), &w)) << shape.fmtSize << " " << bytes;
    EXPECT_EQ(std::make_pair(w.samples, w.bytes),
              std::make_pair(img.data() + img.size() - shape.samplesBytes, bytes));
  }
  // Every truncation is rejected or cut to what is there; AddressSanitizer
  // also sees nothing beyond the given bytes read.
  Bytes good = makeWave({});
  for (size_t n = 0; n <= good.size(); ++n) {
    Bytes cut(good.begin(), good.begin() + n);
    EXPECT_TRUE(!parseWave(cut.data(), n, &w) || w.samples + w.bytes <= cut.data() + n) << n;
  }
  // One 32-bit little-endian word of a good image overwritten.
  struct Damage {
    const char *name;
    size_t offset;
    uint32_t word;
  };
  const Damage kDamages[] = {
      {.name = "RIFX instead of RIFF", .offset = 0, .word = 0x58464952},
      {.name = "AVI instead of WAVE", .offset = 8, .word = 0x20495641},
      {.name = "a huge RIFF size", .offset = 4, .word = 0x7FFFFFFF},
      {.name = "data without a format chunk", .offset = 12, .word = 0x58746D66},
      {.name = "a huge format chunk", .offset = 16, .word = ~0u},
      {.name = "a short format chunk", .offset = 16, .word = 14},
      {.name = "not PCM", .offset = 20, .word = 3 | 1 << 16},
      {.name = "stereo", .offset = 20, .word = 1 | 2 << 16},
      {.name = "22,050 samples a second", .offset = 24, .word = 22050},
      {.name = "8 bits a sample", .offset = 32, .word = 1 | 8 << 16},
  };
  for (const Damage &d : kDamages) {
    SCOPED_TRACE(d.name);
    Bytes bad = good;
    for (int i = 0; i < 4; ++i) bad[d.offset + i] = static_cast<uint8_t>(d.word >> (8 * i));
    EXPECT_FALSE(parseWave(bad.data(), bad.size(), &w));
  }
  EXPECT_FALSE(parseWave(nullptr, 100, &w));
  EXPECT_EQ(waveImageSize(good.data()), good.size());
}

TEST(SdlIcon, OwnIconDecodesTopDownAtTheLargestSizeTheBufferAllows) {
  std::ifstream f(std::string(TOBELYN_SOURCE_DIR) + "/res/tobelyn.ico", std::ios::binary);
  Bytes ico(std::istreambuf_iterator<char>(f), {});
  static uint32_t px[256 * 256];
  int w = 0, h = 0;
  ASSERT_TRUE(decodeIcon(ico.data(), ico.size(), px, 256 * 256, &w, &h) && w == 48 && h == 48);
  // Rows come out top-down as 0xAARRGGBB: (10, 10), off the icon's axis of
  // symmetry, from the third (48-pixel) image's bottom-up rows of BGRA.
  const uint8_t *p = &ico[(ico[50] | ico[51] << 8) + 40 + 4 * (37 * 48 + 10)];
  EXPECT_EQ(px[10 * 48 + 10], uint32_t{p[3]} << 24 | p[2] << 16 | p[1] << 8 | p[0]);
  EXPECT_TRUE(decodeIcon(ico.data(), ico.size(), px, 47 * 47, &w, &h) && w == 32);  // buffer
  for (size_t n = 0; n < ico.size(); n += 7) decodeIcon(ico.data(), n, px, 256 * 256, &w, &h);
}

TEST(SdlFiles, SettingsAndRuntimeFolders) {
  // XDG_RUNTIME_DIR, XDG_CONFIG_HOME, HOME, then the settings file and the
  // instance folder (null: memory only, no single-instance check). Empty and
  // relative folders are not used; a path that does not fit is refused.
  const char *cases[][5] = {
      {"/run/user/5", "/c", "/h", "/c/tobelyn/settings", "/run/user/5"},
      {nullptr, nullptr, "/h", "/h/.config/tobelyn/settings", "/h/.config/tobelyn"},
      {"run", "cfg", "/h", "/h/.config/tobelyn/settings", "/h/.config/tobelyn"},
      {nullptr, "/c", nullptr, "/c/tobelyn/settings", "/c/tobelyn"},
      {"", "", "", nullptr, nullptr}};
  for (const auto &c : cases) {
    char a[256] = "", b[256] = "", tiny[8];
    EXPECT_FALSE(settingsPath(c[1], c[2], tiny, sizeof tiny));
    EXPECT_EQ(settingsPath(c[1], c[2], a, sizeof a), c[3] != nullptr);
    EXPECT_EQ(runtimeFolder(c[0], c[1], c[2], b, sizeof b), c[4] != nullptr);
    EXPECT_EQ(std::string(a) + " " + b, std::string(c[3] ? c[3] : "") + " " + (c[4] ? c[4] : ""));
  }
}

TEST(SdlInstance, OneRunningGamePerUserAndFrontRequestsReachIt) {
  char tmpl[] = "/tmp/tobelyn-instance-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = std::string(tmpl) + "/run", lock = dir + "/tobelyn.lock";
  const char *d = dir.c_str();
  EXPECT_FALSE(instanceSignal(d));  // nobody runs yet; the folder is made on demand
  ASSERT_EQ(instanceAcquire(d), InstanceResult::kFirst);
  EXPECT_TRUE(!instancePoll() && instanceSignal(d) && instanceSignal(d));
  EXPECT_TRUE(instancePoll() && !instancePoll());  // both requests at once
  // A second start given a code hands it over with its request.
  std::string code;
  EXPECT_TRUE(instanceSignal(d, "AQEC-x_9"));
  EXPECT_TRUE(instancePoll(&code));
  EXPECT_EQ(code, "AQEC-x_9");
  code.clear();
  EXPECT_TRUE(instanceSignal(d) && instancePoll(&code));
  EXPECT_EQ(code, "") << "a plain front request carries no code";
  instanceRelease();
  // Another holder of the lock (flock locks belong to the open file) means
  // another game runs.
  int other = open(lock.c_str(), O_RDWR);
  ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(instanceAcquire(d), InstanceResult::kOtherRuns);
  close(other);
  // What a crashed run leaves (lock file, dead socket file) does not block
  // the next start, which is reachable again.
  ASSERT_EQ(access((dir + "/tobelyn.sock").c_str(), F_OK), 0);
  EXPECT_FALSE(instanceSignal(d));
  ASSERT_EQ(instanceAcquire(d), InstanceResult::kFirst);
  EXPECT_TRUE(instanceSignal(d) && instancePoll());
  instanceRelease();
  EXPECT_EQ(instanceAcquire("/proc/no/such/folder"), InstanceResult::kUnavailable);
  unlink((dir + "/tobelyn.sock").c_str()), unlink(lock.c_str()), rmdir(d), rmdir(tmpl);
}

// At a clean exit the socket goes while it is still the one the game bound;
// whatever took its name meanwhile stays, and so does the lock file.
TEST(SdlInstance, ACleanExitRemovesOnlyItsOwnSocket) {
  struct Case {
    const char *name;
    bool replace;     // the socket's name is taken by something else first
    bool withSocket;  // ... by another socket, else by a plain file
    bool socketLeft;
  };
  const Case cases[] = {
      {.name = "its own socket", .replace = false, .withSocket = false, .socketLeft = false},
      {.name = "another socket in its place",
       .replace = true,
       .withSocket = true,
       .socketLeft = true},
      {.name = "a plain file in its place",
       .replace = true,
       .withSocket = false,
       .socketLeft = true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    char tmpl[] = "/tmp/tobelyn-instance-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl, sock = dir + "/tobelyn.sock";
    ASSERT_EQ(instanceAcquire(dir.c_str()), InstanceResult::kFirst);
    int other = -1;
    if (c.replace) {
      ASSERT_EQ(unlink(sock.c_str()), 0);
      if (c.withSocket) {
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sock.c_str());
        other = socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_EQ(bind(other, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
      } else {
        std::ofstream(sock) << "keep\n";
      }
    }
    instanceFinish();
    EXPECT_EQ(access(sock.c_str(), F_OK) == 0, c.socketLeft);
    EXPECT_EQ(access((dir + "/tobelyn.lock").c_str(), F_OK), 0) << "the lock file was removed";
    if (other >= 0) close(other);
    std::system(("rm -rf " + dir).c_str());
  }
}

struct InTheWay {
  const char *name;
  const char *make;  // shell command run in the folder
  InstanceResult result;
};

// Whatever someone else put at the lock's or the socket's name is neither
// followed, nor opened, nor removed; a start is then just not guarded or
// not reachable.
TEST(SdlInstance, LinksAndForeignFilesAtTheLockOrSocketAreLeftAlone) {
  const InTheWay cases[] = {
      {.name = "a dangling link at the lock",
       .make = "ln -s elsewhere/made tobelyn.lock",
       .result = InstanceResult::kUnavailable},
      {.name = "a link to a file at the lock",
       .make = "ln -s elsewhere/other tobelyn.lock",
       .result = InstanceResult::kUnavailable},
      {.name = "a hard link to a file at the lock",
       .make = "ln elsewhere/other tobelyn.lock",
       .result = InstanceResult::kUnavailable},
      {.name = "a named pipe at the lock",
       .make = "mkfifo tobelyn.lock",
       .result = InstanceResult::kUnavailable},
      {.name = "a link to a file at the socket",
       .make = "ln -s elsewhere/other tobelyn.sock",
       .result = InstanceResult::kFirst},
      {.name = "a plain file at the socket",
       .make = "echo keep >tobelyn.sock",
       .result = InstanceResult::kFirst},
  };
  for (const InTheWay &c : cases) {
    SCOPED_TRACE(c.name);
    char tmpl[] = "/tmp/tobelyn-instance-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl, other = dir + "/elsewhere/other";
    const std::string name =
        dir + (std::strstr(c.make, ".sock") ? "/tobelyn.sock" : "/tobelyn.lock");
    ASSERT_EQ(
        std::system(("cd " + dir + " && mkdir elsewhere && echo mine >elsewhere/other && " + c.make)
                        .c_str()),
        0);
    struct stat before;
    ASSERT_EQ(lstat(name.c_str(), &before), 0);
    EXPECT_EQ(instanceAcquire(dir.c_str()), c.result);
    EXPECT_FALSE(instanceSignal(dir.c_str())) << "a socket was made or followed";
    instanceRelease();
    std::ifstream in(other);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "mine\n");
    EXPECT_NE(access((dir + "/elsewhere/made").c_str(), F_OK), 0) << "made through the link";
    struct stat after;
    ASSERT_EQ(lstat(name.c_str(), &after), 0) << "removed";
    EXPECT_EQ(before.st_ino, after.st_ino) << "replaced";
    std::system(("rm -rf " + dir).c_str());
  }
}
