// Desktop backend: key codes, wave images, the window icon, file locations
// and the single running instance.
#include <SDL_keycode.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sdl/logic.h"

using namespace sdlb;

TEST(SdlKeys, KeysArriveWithTheirVirtualKeyCodes) {
  struct Case {
    int32_t key;
    int scancode;
    int vk;
  } cases[] = {
      {'a', SDL_SCANCODE_A, 0x41},
      {'z', SDL_SCANCODE_Z, 0x5A},
      {'c', SDL_SCANCODE_C, 'C'},
      {'s', SDL_SCANCODE_S, 'S'},
      {'0', SDL_SCANCODE_0, 0x30},
      {'9', SDL_SCANCODE_9, 0x39},
      {SDLK_RETURN, SDL_SCANCODE_RETURN, 0x0D},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 0x0D},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 0x1B},
      {SDLK_SPACE, SDL_SCANCODE_SPACE, 0x20},
      {SDLK_TAB, SDL_SCANCODE_TAB, 0x09},
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 0x08},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, 0x25},
      {SDLK_UP, SDL_SCANCODE_UP, 0x26},
      {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 0x27},
      {SDLK_DOWN, SDL_SCANCODE_DOWN, 0x28},
      {SDLK_F1, SDL_SCANCODE_F1, 0x70},
      {SDLK_F12, SDL_SCANCODE_F12, 0x7B},
      {SDLK_F13, SDL_SCANCODE_F13, 0x7C},
      {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 0x10},
      {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 0x10},
      {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 0x11},
      {SDLK_LALT, SDL_SCANCODE_LALT, 0x12},
      {SDLK_DELETE, SDL_SCANCODE_DELETE, 0x2E},
      {SDLK_KP_0, SDL_SCANCODE_KP_0, 0x60},
      {SDLK_KP_9, SDL_SCANCODE_KP_9, 0x69},
      {SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 0x6B},
      {';', SDL_SCANCODE_SEMICOLON, 0xBA},
      {',', SDL_SCANCODE_COMMA, 0xBC},
      {'/', SDL_SCANCODE_SLASH, 0xBF},
      {'[', SDL_SCANCODE_LEFTBRACKET, 0xDB},
      {'\'', SDL_SCANCODE_APOSTROPHE, 0xDE},
      // A layout whose letters are not Latin: the key's position decides.
      {0x0444, SDL_SCANCODE_A, 'A'},
      {0x00E9, SDL_SCANCODE_2, '2'},
      {SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(virtualKeyFor(c.key, c.scancode), c.vk) << "key " << c.key;
  }
}

TEST(SdlKeys, EveryKeyOfTheKeyboardGivesACodeUnder256) {
  // Key codes that SDL derives from scan codes, and Latin characters.
  for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
    int vk = virtualKeyFor(SDL_SCANCODE_TO_KEYCODE(sc), sc);
    EXPECT_TRUE(vk >= 0 && vk <= 255) << "scan code " << sc << " gives " << vk;
  }
  for (int ch = 0; ch < 128; ++ch) {
    int vk = virtualKeyFor(ch, SDL_SCANCODE_UNKNOWN);
    EXPECT_TRUE(vk >= 0 && vk <= 255) << "character " << ch;
  }
}

namespace {

void put16(std::vector<uint8_t> &v, uint32_t x) {
  v.push_back(x & 0xFF);
  v.push_back((x >> 8) & 0xFF);
}
void put32(std::vector<uint8_t> &v, uint32_t x) {
  put16(v, x & 0xFFFF);
  put16(v, x >> 16);
}
void putTag(std::vector<uint8_t> &v, const char *tag) { v.insert(v.end(), tag, tag + 4); }

struct WaveSpec {
  uint16_t format = 1, channels = 1, bits = 16, align = 2;
  uint32_t rate = 44100;
  uint32_t fmtSize = 16;
  bool dataFirst = false;
  const char *extraChunk = nullptr;  // a chunk before the data, 3 bytes long
  uint32_t samplesBytes = 100;
  uint32_t statedDataBytes = 100;
};

std::vector<uint8_t> makeWave(const WaveSpec &s) {
  std::vector<uint8_t> fmt, data, out;
  putTag(fmt, "fmt ");
  put32(fmt, s.fmtSize);
  put16(fmt, s.format);
  put16(fmt, s.channels);
  put32(fmt, s.rate);
  put32(fmt, s.rate * s.align);
  put16(fmt, s.align);
  put16(fmt, s.bits);
  for (uint32_t i = 16; i < s.fmtSize && i < 64; ++i) fmt.push_back(0);
  putTag(data, "data");
  put32(data, s.statedDataBytes);
  for (uint32_t i = 0; i < s.samplesBytes; ++i) data.push_back(static_cast<uint8_t>(i));
  std::vector<uint8_t> body;
  putTag(body, "WAVE");
  if (s.dataFirst) body.insert(body.end(), data.begin(), data.end());
  body.insert(body.end(), fmt.begin(), fmt.end());
  if (s.extraChunk != nullptr) {
    putTag(body, s.extraChunk);
    put32(body, 3);
    body.insert(body.end(), {1, 2, 3, 0});  // odd size, padded
  }
  if (!s.dataFirst) body.insert(body.end(), data.begin(), data.end());
  putTag(out, "RIFF");
  put32(out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::vector<uint8_t> readFile(const std::string &path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

}  // namespace

TEST(SdlWave, AcceptsOnlyWellFormedMonoSixteenBitImages) {
  auto with = [](auto change) {
    WaveSpec s;
    change(s);
    return s;
  };
  struct Case {
    const char *name;
    WaveSpec spec;
    bool ok;
    uint32_t bytes;
  } cases[] = {
      {"plain", WaveSpec{}, true, 100},
      {"other chunk first", with([](WaveSpec &s) { s.extraChunk = "LIST"; }), true, 100},
      {"long format chunk", with([](WaveSpec &s) { s.fmtSize = 18; }), true, 100},
      {"odd data cut to whole samples",
       with([](WaveSpec &s) { s.samplesBytes = s.statedDataBytes = 101; }), true, 100},
      {"data longer than the image", with([](WaveSpec &s) { s.statedDataBytes = 1000000; }), true,
       100},
      {"empty data", with([](WaveSpec &s) { s.samplesBytes = s.statedDataBytes = 0; }), true, 0},
      {"stereo", with([](WaveSpec &s) { s.channels = 2; }), false, 0},
      {"8 bits", with([](WaveSpec &s) {
         s.bits = 8;
         s.align = 1;
       }),
       false, 0},
      {"22050 Hz", with([](WaveSpec &s) { s.rate = 22050; }), false, 0},
      {"not PCM", with([](WaveSpec &s) { s.format = 3; }), false, 0},
      {"short format chunk", with([](WaveSpec &s) { s.fmtSize = 14; }), false, 0},
      {"data before format", with([](WaveSpec &s) { s.dataFirst = true; }), false, 0},
  };
  for (const Case &c : cases) {
    std::vector<uint8_t> img = makeWave(c.spec);
    WaveData w{nullptr, 12345};
    bool ok = parseWave(img.data(), img.size(), &w);
    EXPECT_EQ(ok, c.ok) << c.name;
    if (ok && c.ok) {
      EXPECT_EQ(w.bytes, c.bytes) << c.name;
      EXPECT_GE(w.samples, img.data()) << c.name;
      EXPECT_LE(w.samples + w.bytes, img.data() + img.size()) << c.name;
    }
  }
}

TEST(SdlWave, MalformedImagesAreRejectedWithoutReadingPastThem) {
  std::vector<uint8_t> good = makeWave(WaveSpec{});
  WaveData w;
  // Every truncation: either rejected or, once the data chunk header is
  // complete, cut to what is there. Run under AddressSanitizer this also
  // proves nothing beyond the given bytes is read.
  for (size_t n = 0; n <= good.size(); ++n) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + n);
    if (parseWave(cut.data(), cut.size(), &w)) {
      EXPECT_LE(w.samples + w.bytes, cut.data() + cut.size()) << n;
    }
  }
  struct Case {
    const char *name;
    size_t at;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"not RIFF", 0, {'R', 'I', 'F', 'X'}},
      {"not WAVE", 8, {'A', 'V', 'I', ' '}},
      {"huge RIFF size", 4, {0xFF, 0xFF, 0xFF, 0x7F}},
      {"huge format chunk", 16, {0xFF, 0xFF, 0xFF, 0xFF}},
  };
  for (const Case &c : cases) {
    std::vector<uint8_t> bad = good;
    std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + c.at);
    EXPECT_FALSE(parseWave(bad.data(), bad.size(), &w)) << c.name;
  }
  EXPECT_FALSE(parseWave(nullptr, 100, &w));
  EXPECT_EQ(waveImageSize(good.data()), good.size());
}

TEST(SdlWave, TheGamesOwnSoundsParse) {
  for (const char *name : {"confirm.wav", "cancel.wav", "throw.wav", "bull.wav"}) {
    std::vector<uint8_t> img = readFile(std::string(TOBELYN_SOURCE_DIR) + "/res/" + name);
    ASSERT_GE(img.size(), 12u) << name;
    WaveData w;
    EXPECT_EQ(waveImageSize(img.data()), img.size()) << name;
    EXPECT_TRUE(parseWave(img.data(), img.size(), &w)) << name;
    EXPECT_GT(w.bytes, 0u) << name;
  }
}

namespace {

// An .ico with one 32-bit BMP entry per size, each pixel coloured by its
// size and position; `png` entries start with the PNG signature instead.
std::vector<uint8_t> makeIco(const std::vector<int> &sizes, int bits = 32, bool png = false,
                             bool alpha = true) {
  std::vector<std::vector<uint8_t>> images;
  for (int n : sizes) {
    std::vector<uint8_t> img;
    if (png) {
      img = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
      img.resize(200, 0);
    } else {
      put32(img, 40);
      put32(img, n);
      put32(img, 2 * n);
      put16(img, 1);
      put16(img, bits);
      for (int i = 0; i < 6; ++i) put32(img, 0);
      for (int y = n - 1; y >= 0; --y) {  // bottom-up
        for (int x = 0; x < n; ++x) {
          img.insert(img.end(), {static_cast<uint8_t>(x), static_cast<uint8_t>(y),
                                 static_cast<uint8_t>(n), static_cast<uint8_t>(alpha ? 200 : 0)});
        }
      }
      int stride = (n + 31) / 32 * 4;
      for (int y = n - 1; y >= 0; --y) {
        for (int i = 0; i < stride; ++i) img.push_back(i == 0 && y == 0 ? 0x80 : 0);
      }
    }
    images.push_back(img);
  }
  std::vector<uint8_t> ico;
  put16(ico, 0);
  put16(ico, 1);
  put16(ico, static_cast<uint32_t>(sizes.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(sizes.size());
  for (size_t i = 0; i < sizes.size(); ++i) {
    ico.push_back(static_cast<uint8_t>(sizes[i]));
    ico.push_back(static_cast<uint8_t>(sizes[i]));
    ico.push_back(0);
    ico.push_back(0);
    put16(ico, 1);
    put16(ico, bits);
    put32(ico, static_cast<uint32_t>(images[i].size()));
    put32(ico, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (auto &img : images) ico.insert(ico.end(), img.begin(), img.end());
  return ico;
}

}  // namespace

TEST(SdlIcon, PicksTheBestThirtyTwoBitImage) {
  struct Case {
    std::vector<uint8_t> ico;
    bool ok;
    int size;
  } cases[] = {
      {makeIco({16, 48, 32}), true, 48},
      {makeIco({16, 32, 64}), true, 32},
      {makeIco({16, 24}), true, 24},
      {makeIco({48}, 24), false, 0},        // 24-bit images are passed over
      {makeIco({48}, 32, true), false, 0},  // PNG
      {{0, 0, 1, 0}, false, 0},
      {{}, false, 0},
  };
  static uint32_t px[256 * 256];
  for (size_t i = 0; i < std::size(cases); ++i) {
    int w = 0, h = 0;
    bool ok = decodeIcon(cases[i].ico.data(), cases[i].ico.size(), px, 256 * 256, &w, &h);
    EXPECT_EQ(ok, cases[i].ok) << "case " << i;
    if (ok) {
      EXPECT_EQ(w, cases[i].size) << "case " << i;
    }
  }

  // Rows come out top-down, channels as 0xAARRGGBB.
  std::vector<uint8_t> ico = makeIco({32});
  int w, h;
  ASSERT_TRUE(decodeIcon(ico.data(), ico.size(), px, 256 * 256, &w, &h));
  EXPECT_EQ(px[0], 0xC8200000u);           // x 0, y 0
  EXPECT_EQ(px[3 * 32 + 5], 0xC8200305u);  // x 5, y 3
  // Without any alpha the AND mask decides: its first bit hides (0, 0).
  ico = makeIco({32}, 32, false, false);
  ASSERT_TRUE(decodeIcon(ico.data(), ico.size(), px, 256 * 256, &w, &h));
  EXPECT_EQ(px[0] >> 24, 0u);
  EXPECT_EQ(px[1] >> 24, 255u);
  // Truncating the image makes it unusable, never a crash.
  ico = makeIco({32});
  for (size_t n = 0; n < ico.size(); n += 97) {
    decodeIcon(ico.data(), n, px, 256 * 256, &w, &h);
  }
  // Too large for the caller's buffer.
  EXPECT_FALSE(decodeIcon(ico.data(), ico.size(), px, 31 * 31, &w, &h));
  // The program's own icon.
  std::vector<uint8_t> own = readFile(std::string(TOBELYN_SOURCE_DIR) + "/res/tobelyn.ico");
  EXPECT_TRUE(decodeIcon(own.data(), own.size(), px, 256 * 256, &w, &h));
}

TEST(SdlFiles, SettingsAndRuntimeFolders) {
  struct Case {
    const char *runtime, *config, *home;
    const char *settings;  // null: memory only
    const char *folder;    // null: no single-instance check
  } cases[] = {
      {"/run/user/5", "/c", "/h", "/c/tobelyn/settings", "/run/user/5"},
      {nullptr, nullptr, "/h", "/h/.config/tobelyn/settings", "/h/.config/tobelyn"},
      {"", "", "/h", "/h/.config/tobelyn/settings", "/h/.config/tobelyn"},
      // Relative folders are not used, as the base directory rules say.
      {"run", "cfg", "/h", "/h/.config/tobelyn/settings", "/h/.config/tobelyn"},
      {nullptr, "/c", nullptr, "/c/tobelyn/settings", "/c/tobelyn"},
      {nullptr, nullptr, nullptr, nullptr, nullptr},
      {nullptr, nullptr, "", nullptr, nullptr},
  };
  for (const Case &c : cases) {
    char buf[256];
    bool have = settingsPath(c.config, c.home, buf, sizeof buf);
    EXPECT_EQ(have, c.settings != nullptr);
    if (have && c.settings) {
      EXPECT_STREQ(buf, c.settings);
    }
    have = runtimeFolder(c.runtime, c.config, c.home, buf, sizeof buf);
    EXPECT_EQ(have, c.folder != nullptr);
    if (have && c.folder) {
      EXPECT_STREQ(buf, c.folder);
    }
  }
  char tiny[8];
  EXPECT_FALSE(settingsPath("/a/long/folder", nullptr, tiny, sizeof tiny));
}

TEST(SdlInstance, OneRunningGamePerUserAndFrontRequestsReachIt) {
  char tmpl[] = "/tmp/tobelyn-instance-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  std::string dir = std::string(tmpl) + "/run";  // created on demand
  std::string lock = dir + "/tobelyn.lock", sock = dir + "/tobelyn.sock";

  EXPECT_FALSE(instanceSignal(dir.c_str()));  // nobody runs yet
  ASSERT_EQ(instanceAcquire(dir.c_str()), InstanceResult::kFirst);
  EXPECT_FALSE(instancePoll());
  EXPECT_TRUE(instanceSignal(dir.c_str()));
  EXPECT_TRUE(instanceSignal(dir.c_str()));
  EXPECT_TRUE(instancePoll());  // both requests at once
  EXPECT_FALSE(instancePoll());
  instanceRelease();

  // Another holder of the lock (another process in real life: flock locks
  // belong to the open file) means another game runs.
  int other = open(lock.c_str(), O_RDWR);
  ASSERT_GE(other, 0);
  ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(instanceAcquire(dir.c_str()), InstanceResult::kOtherRuns);
  close(other);

  // What a crashed run leaves behind (the lock file and a dead socket
  // file) does not block the next start, which is reachable again.
  ASSERT_EQ(access(sock.c_str(), F_OK), 0);
  EXPECT_FALSE(instanceSignal(dir.c_str()));
  ASSERT_EQ(instanceAcquire(dir.c_str()), InstanceResult::kFirst);
  EXPECT_TRUE(instanceSignal(dir.c_str()));
  EXPECT_TRUE(instancePoll());
  instanceRelease();

  // A folder that cannot be made.
  EXPECT_EQ(instanceAcquire("/proc/no/such/folder"), InstanceResult::kUnavailable);

  std::remove(sock.c_str());
  std::remove(lock.c_str());
  rmdir(dir.c_str());
  rmdir(tmpl);
}
