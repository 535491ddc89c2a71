// Resources linked into the program, and the resource compiler that links
// them: what the game finds by type and number, and scripts the compiler
// must refuse with the line at fault.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <string>

#include "platform/resources.h"
#include "platform/winapi.h"

namespace {

int32_t le32(const void *p) {
  int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

TEST(PlatformResources, BitmapsAndWavesByTypeAndNumber) {
  const struct {
    int id;
    LPCWSTR type;
    int width, height;  // bitmaps only
    const char *start;  // waves only
  } cases[] = {
      {119, RT_BITMAP, 240, 320, nullptr}, {120, RT_BITMAP, 832, 825, nullptr},
      {122, L"WAVE", 0, 0, "RIFF"},        {127, L"wave", 0, 0, "RIFF"},
      {128, L"Wave", 0, 0, "RIFF"},        {129, L"WAVE", 0, 0, "RIFF"},
  };
  HMODULE module = GetModuleHandleW(nullptr);
  for (const auto &c : cases) {
    SCOPED_TRACE(c.id);
    HRSRC r = FindResourceW(module, MAKEINTRESOURCEW(static_cast<WORD>(c.id)), c.type);
    ASSERT_NE(r, nullptr);
    HGLOBAL data = LoadResource(module, r);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(LoadResource(module, r), data);  // in place, the same bytes every time
    EXPECT_EQ(LockResource(data), data);
    const uint8_t *bytes = static_cast<const uint8_t *>(data);
    DWORD size = SizeofResource(module, r);
    if (c.start != nullptr) {
      ASSERT_GE(size, 44u);
      EXPECT_EQ(std::memcmp(bytes, c.start, 4), 0);
    } else {
      EXPECT_EQ(le32(bytes), 40);  // the file header is gone: biSize first
      EXPECT_EQ(le32(bytes + 4), c.width);
      EXPECT_EQ(le32(bytes + 8), c.height);
      int stride = (c.width + 3) / 4 * 4;
      EXPECT_EQ(size, static_cast<DWORD>(40 + 1024 + stride * c.height));
    }
  }
}

TEST(PlatformResources, WrongTypeOrNumberFindsNothing) {
  EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(119), L"WAVE"), nullptr);
  EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(122), RT_BITMAP), nullptr);
  EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(122), L"WAVES"), nullptr);
  EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(121), RT_BITMAP), nullptr);
  EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

TEST(PlatformResources, StringsAreCutToTheBuffer) {
  const struct {
    UINT id;
    int max;
    const wchar_t *text;
  } cases[] = {
      {1, 100, L"Tobelyn"}, {3, 100, L"TOBELYN"}, {1, 8, L"Tobelyn"}, {1, 7, L"Tobely"},
      {3, 4, L"TOB"},       {1, 1, L""},          {2, 100, L""},      {70000, 100, L""},
  };
  for (const auto &c : cases) {
    wchar_t buf[128];
    std::wmemset(buf, L'#', 128);
    int n = LoadStringW(nullptr, c.id, buf, c.max);
    EXPECT_EQ(n, static_cast<int>(std::wcslen(c.text))) << c.id << " " << c.max;
    EXPECT_EQ(std::wstring(buf), c.text) << c.id << " " << c.max;
    EXPECT_EQ(buf[c.max], L'#') << "wrote past the buffer";
  }
  wchar_t untouched = L'#';
  EXPECT_EQ(LoadStringW(nullptr, 1, &untouched, 0), 0);
  EXPECT_EQ(untouched, L'#');
  EXPECT_EQ(LoadStringW(nullptr, 1, nullptr, 10), 0);
}

TEST(PlatformResources, IconHandleIsTheIconFile) {
  HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(101));
  ASSERT_NE(icon, nullptr);
  const ResourceEntry *e = reinterpret_cast<const ResourceEntry *>(icon);
  EXPECT_EQ(e->typeId, 14);
  EXPECT_EQ(e->id, 101);
  const uint8_t *b = static_cast<const uint8_t *>(e->data);
  EXPECT_EQ(std::memcmp(b, "\0\0\1\0", 4), 0);
  EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(102)), nullptr);
}

// --- The resource compiler.

class ResourceCompiler : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string replay = TOBELYN_REPLAY;
    tool = replay.substr(0, replay.find_last_of('/') + 1) + "rc2cpp";
    char tmpl[] = "/tmp/tobelyn-rc-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    put("a.wav", "RIFF....WAVE");
    put("bad.ico", "not an icon at all, surely");
    std::string bmp = "BM" + std::string(12, '\0');
    std::string info(40, '\0');
    info[0] = 40;
    info[4] = 2;  // 2 x 1 pixels
    info[8] = 1;
    put("a.bmp", bmp + info + std::string(1024, '\x11') + std::string("\x05\x06\0\0", 4));
    std::string ico("\0\0\1\0\1\0", 6);
    put("a.ico", ico + std::string(16 + 40, '\0'));
  }
  void TearDown() override {
    std::string cmd = "rm -rf '" + dir + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
  }
  void put(const std::string &name, const std::string &bytes) {
    std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
  }
  // Runs the compiler on the script; returns its exit status and messages.
  int run(const std::string &script, std::string *messages) {
    put("t.rc", script);
    std::remove((dir + "/out.cpp").c_str());
    std::string cmd = "'" + tool + "' '" + dir + "/t.rc' '" + dir + "/out.cpp' 2>&1";
    FILE *p = popen(cmd.c_str(), "r");
    if (p == nullptr) return -1;
    char buf[512];
    size_t n;
    messages->clear();
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) messages->append(buf, n);
    int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  bool outputExists() { return access((dir + "/out.cpp").c_str(), F_OK) == 0; }

  std::string tool, dir;
};

TEST_F(ResourceCompiler, GoodScriptCompiles) {
  std::string messages;
  ASSERT_EQ(run("// resources\n#include \"x.h\"\n/* a\n   b */ STRINGTABLE\nBEGIN\n"
                "  1 \"T\\\"x\" // cut\nEND\n"
                "101 ICON \"a.ico\"\n119 BITMAP \"a.bmp\"\n0x7A WAVE \"a.wav\"\n",
                &messages),
            0)
      << messages;
  std::ifstream in(dir + "/out.cpp");
  std::string out((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(out.find("{6, nullptr, 1, res0, 3}"), std::string::npos) << out;
  EXPECT_NE(out.find("{14, nullptr, 101, res1, 62}"), std::string::npos);
  EXPECT_NE(out.find("{2, nullptr, 119, res2, 1068}"), std::string::npos);  // no file header
  EXPECT_NE(out.find("{0, L\"WAVE\", 122, res3, 12}"), std::string::npos);
  EXPECT_NE(out.find("resourceCount = 4;"), std::string::npos);
}

TEST_F(ResourceCompiler, BadScriptsFailNamingTheLine) {
  const struct {
    const char *script;
    int line;
    const char *says;
  } cases[] = {
      {"\n101 ICON\n", 2, "expected"},
      {"STRINGTABLE\n1 \"x\"\n", 2, "BEGIN"},
      {"STRINGTABLE\nBEGIN\n1 \"x\"\n", 1, "END"},
      {"STRINGTABLE\nBEGIN\n1 x\nEND\n", 3, "quoted"},
      {"1 WAVE \"a.wav\"\n\n/* open\n", 3, "comment"},
      {"1 WAVE \"a.wav\"\n1 wave \"a.wav\"\n", 2, "twice"},
      {"1 WAVE \"missing.wav\"\n", 1, "missing.wav"},
      {"1 BITMAP \"a.wav\"\n", 1, "bitmap"},
      {"1 ICON \"bad.ico\"\n", 1, "icon"},
      {"1 WA-VE \"a.wav\"\n", 1, "type"},
      {"0 WAVE \"a.wav\"\n", 1, "number"},
      {"65536 WAVE \"a.wav\"\n", 1, "number"},
      {"1x WAVE \"a.wav\"\n", 1, "number"},
      {"1 WAVE \"a.wav\n", 1, "quoted"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.script);
    std::string messages;
    EXPECT_EQ(run(c.script, &messages), 1);
    EXPECT_NE(messages.find("t.rc:" + std::to_string(c.line) + ":"), std::string::npos) << messages;
    EXPECT_NE(messages.find(c.says), std::string::npos) << messages;
    EXPECT_FALSE(outputExists());
  }
}

}  // namespace
