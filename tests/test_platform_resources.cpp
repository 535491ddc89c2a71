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
#include "res/resource_ids.h"

namespace {

TEST(PlatformResources, WrongTypeOrNumberFindsNothingAndIconsAreIconFiles) {
  EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(TITLE_BITMAP), L"WAVE"), nullptr);
  EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(kWaveConfirm), RT_BITMAP), nullptr);
  EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(kWaveConfirm), L"WAVES"), nullptr);
  EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(kWaveCancel), L"wave"), nullptr);  // any case
  EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
  const ResourceEntry *e =
      reinterpret_cast<const ResourceEntry *>(LoadIconW(nullptr, MAKEINTRESOURCEW(kIconGroup)));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(std::make_pair(int(e->typeId), int(e->id)), std::make_pair(14, int{kIconGroup}));
  EXPECT_EQ(std::memcmp(e->data, "\0\0\1\0", 4), 0);
  EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(102)), nullptr);
}

TEST(PlatformResources, StringsAreCutToTheBuffer) {
  const struct {
    const char *name;
    UINT id;
    int max;  // characters the buffer holds, with the NUL
    const wchar_t *text;
  } cases[] = {
      {.name = "the title", .id = kStringWindowTitle, .max = 100, .text = L"Tobelyn"},
      {.name = "the class name", .id = kStringWindowClass, .max = 100, .text = L"TOBELYN"},
      {.name = "a buffer just big enough", .id = kStringWindowTitle, .max = 8, .text = L"Tobelyn"},
      {.name = "one character short", .id = kStringWindowTitle, .max = 7, .text = L"Tobely"},
      {.name = "room for the NUL only", .id = kStringWindowTitle, .max = 1, .text = L""},
      {.name = "no string 2", .id = 2, .max = 100, .text = L""},
      {.name = "an id beyond 16 bits", .id = 70000, .max = 100, .text = L""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    wchar_t buf[128];
    std::wmemset(buf, L'#', 128);
    EXPECT_EQ(LoadStringW(nullptr, c.id, buf, c.max), int(std::wcslen(c.text)));
    EXPECT_EQ(std::wstring(buf), c.text);
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
  const struct {
    const char *name;
    const char *script;
    int line;
    const char *says;
  } cases[] = {
      {.name = "a resource without its file",
       .script = "\n101 ICON\n",
       .line = 2,
       .says = "expected"},
      {.name = "a string table without BEGIN",
       .script = "STRINGTABLE\n1 \"x\"\n",
       .line = 2,
       .says = "BEGIN"},
      {.name = "a string table without END",
       .script = "STRINGTABLE\nBEGIN\n1 \"x\"\n",
       .line = 1,
       .says = "END"},
      {.name = "a string not quoted",
       .script = "STRINGTABLE\nBEGIN\n1 x\nEND\n",
       .line = 3,
       .says = "quoted"},
      {.name = "a comment left open",
       .script = "1 WAVE \"a.wav\"\n\n/* open\n",
       .line = 3,
       .says = "comment"},
      {.name = "the same resource twice, in another case",
       .script = "1 WAVE \"a.wav\"\n1 wave \"a.wav\"\n",
       .line = 2,
       .says = "twice"},
      {.name = "a missing file",
       .script = "1 WAVE \"missing.wav\"\n",
       .line = 1,
       .says = "missing.wav"},
      {.name = "a bitmap that is not one",
       .script = "1 BITMAP \"a.wav\"\n",
       .line = 1,
       .says = "bitmap"},
      {.name = "an icon that is not one",
       .script = "1 ICON \"bad.ico\"\n",
       .line = 1,
       .says = "icon"},
      {.name = "a bad type name", .script = "1 WA-VE \"a.wav\"\n", .line = 1, .says = "type"},
      {.name = "number 0", .script = "0 WAVE \"a.wav\"\n", .line = 1, .says = "number"},
      {.name = "a number beyond 16 bits",
       .script = "65536 WAVE \"a.wav\"\n",
       .line = 1,
       .says = "number"},
      {.name = "a number with letters",
       .script = "1x WAVE \"a.wav\"\n",
       .line = 1,
       .says = "number"},
      {.name = "a file name not closed", .script = "1 WAVE \"a.wav\n", .line = 1, .says = "quoted"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    std::string messages;
    EXPECT_EQ(run(c.script, &messages), 1) << c.script;
    EXPECT_NE(messages.find("t.rc:" + std::to_string(c.line) + ":"), std::string::npos) << messages;
    EXPECT_NE(messages.find(c.says), std::string::npos) << messages;
    EXPECT_NE(access((dir + "/out.cpp").c_str(), F_OK), 0) << c.script;
  }
}

}  // namespace
