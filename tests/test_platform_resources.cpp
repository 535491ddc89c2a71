// Resources linked into the program, and the resource compiler that links
// them: what the game finds by type and number, and scripts the compiler
// must refuse with the line at fault. The pictures and sounds it compiles are
// pinned by the golden frames and the screens' sound checks.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "platform/resources.h"
#include "platform/winapi.h"

namespace {

TEST(PlatformResources, WrongTypeOrNumberFindsNothingAndIconsAreIconFiles) {
  EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(119), L"WAVE"), nullptr);
  EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(122), RT_BITMAP), nullptr);
  EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(122), L"WAVES"), nullptr);
  EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(127), L"wave"), nullptr);  // any case
  EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
  const ResourceEntry *e =
      reinterpret_cast<const ResourceEntry *>(LoadIconW(nullptr, MAKEINTRESOURCEW(101)));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(std::make_pair(int(e->typeId), int(e->id)), std::make_pair(14, 101));
  EXPECT_EQ(std::memcmp(e->data, "\0\0\1\0", 4), 0);
  EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(102)), nullptr);
}

TEST(PlatformResources, StringsAreCutToTheBuffer) {
  // clang-format off
  const struct { UINT id; int max; const wchar_t *text; } cases[] = {
      {1, 100, L"Tobelyn"}, {3, 100, L"TOBELYN"}, {1, 8, L"Tobelyn"}, {1, 7, L"Tobely"},
      {3, 4, L"TOB"},       {1, 1, L""},          {2, 100, L""},      {70000, 100, L""},
  };
  // clang-format on
  for (const auto &c : cases) {
    wchar_t buf[128];
    std::wmemset(buf, L'#', 128);
    EXPECT_EQ(LoadStringW(nullptr, c.id, buf, c.max), int(std::wcslen(c.text)))
        << c.id << " " << c.max;
    EXPECT_EQ(std::wstring(buf), c.text) << c.id << " " << c.max;
    EXPECT_EQ(buf[c.max], L'#') << "wrote past the buffer";
  }
  wchar_t untouched = L'#';
  EXPECT_EQ(LoadStringW(nullptr, 1, &untouched, 0), 0);
  EXPECT_EQ(untouched, L'#');
  EXPECT_EQ(LoadStringW(nullptr, 1, nullptr, 10), 0);
}

class ResourceCompiler : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tobelyn-rc-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    put("a.wav", "RIFF....WAVE");
    put("bad.ico", "not an icon at all, surely");
  }
  void TearDown() override { EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0); }
  void put(const std::string &name, const std::string &bytes) {
    std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
  }
  // Runs rc2cpp (beside tobelyn-replay) on the script; returns its exit
  // status, its messages in `messages`.
  int run(const std::string &script, std::string *messages) {
    put("t.rc", script);
    std::remove((dir + "/out.cpp").c_str());
    const std::string replay = TOBELYN_REPLAY;
    const std::string tool = replay.substr(0, replay.find_last_of('/') + 1) + "rc2cpp";
    const int status = std::system(
        ("'" + tool + "' '" + dir + "/t.rc' '" + dir + "/out.cpp' 2>'" + dir + "/msg'").c_str());
    std::stringstream s;
    s << std::ifstream(dir + "/msg").rdbuf();
    *messages = s.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string dir;
};

TEST_F(ResourceCompiler, BadScriptsFailNamingTheLine) {
  // clang-format off
  const struct { const char *script; int line; const char *says; } cases[] = {
      {"\n101 ICON\n", 2, "expected"}, {"STRINGTABLE\n1 \"x\"\n", 2, "BEGIN"},
      {"STRINGTABLE\nBEGIN\n1 \"x\"\n", 1, "END"}, {"STRINGTABLE\nBEGIN\n1 x\nEND\n", 3, "quoted"},
      {"1 WAVE \"a.wav\"\n\n/* open\n", 3, "comment"}, {"1 WAVE \"a.wav\"\n1 wave \"a.wav\"\n", 2, "twice"},
      {"1 WAVE \"missing.wav\"\n", 1, "missing.wav"}, {"1 BITMAP \"a.wav\"\n", 1, "bitmap"},
      {"1 ICON \"bad.ico\"\n", 1, "icon"}, {"1 WA-VE \"a.wav\"\n", 1, "type"},
      {"0 WAVE \"a.wav\"\n", 1, "number"}, {"65536 WAVE \"a.wav\"\n", 1, "number"},
      {"1x WAVE \"a.wav\"\n", 1, "number"}, {"1 WAVE \"a.wav\n", 1, "quoted"},
  };
  // clang-format on
  for (const auto &c : cases) {
    std::string messages;
    EXPECT_EQ(run(c.script, &messages), 1) << c.script;
    EXPECT_NE(messages.find("t.rc:" + std::to_string(c.line) + ":"), std::string::npos) << messages;
    EXPECT_NE(messages.find(c.says), std::string::npos) << messages;
    EXPECT_NE(access((dir + "/out.cpp").c_str(), F_OK), 0) << c.script;
  }
}

}  // namespace
