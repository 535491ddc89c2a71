// Files reached through symbolic links: the settings, the host file and the
// book are read and written through them, the file a link names is replaced
// in its own folder, and the link is left as it is.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/common/safe_file.h"
#include "tests/resilience_support.h"

namespace {

using namespace resilience;

bool isLinkTo(const std::string &path, const std::string &target) {
  char got[4096];
  const ssize_t n = readlink(path.c_str(), got, sizeof got - 1);
  return n >= 0 && std::string(got, static_cast<size_t>(n)) == target;
}

TEST(Links, TheSettingsAndTheHostFileAreReadAndWrittenThroughALink) {
  struct Case {
    const char *name;
    const char *file;    // in the registry folder, a link to the same name in "elsewhere"
    std::string before;  // the linked file at the start
    const char *script;
    std::string kept;  // what it must hold after the exit's save
  };
  const std::string stored = settingsFile(1, kStoredBindings);
  const Case cases[] = {
      {"the game's settings", "settings", stored, "run 3\n", stored},
      {"the host's file", "host", "volume 3\nhintsChosen 1\n", "host on\nrun 3\n", "volume 3\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = freshDir(), regDir = dir + "/config";
    const std::string target = "../elsewhere/" + std::string(c.file);
    ASSERT_EQ(sh("mkdir -p '" + regDir + "' '" + dir + "/elsewhere'"), 0);
    writeFile(dir + "/elsewhere/" + c.file, c.before);
    writeFile(dir + "/elsewhere/other", "someone else's file\n");
    ASSERT_EQ(symlink(target.c_str(), (regDir + "/" + c.file).c_str()), 0);
    // A link at the temporary name is still never followed.
    ASSERT_EQ(symlink("other", (dir + "/elsewhere/" + c.file + ".tmp").c_str()), 0);
    replay(dir, regDir, c.script);
    EXPECT_TRUE(isLinkTo(regDir + "/" + c.file, target)) << "the link was replaced";
    const std::string after = readAll(dir + "/elsewhere/" + c.file);
    EXPECT_NE(after.find(c.kept), std::string::npos) << after;
    EXPECT_EQ(readAll(dir + "/elsewhere/other"), "someone else's file\n");
    EXPECT_EQ(access((dir + "/elsewhere/" + c.file + ".tmp").c_str(), F_OK), -1)
        << "temporary file left";
  }
}

TEST(Links, TheBookThroughALinkIsSavedInTheFileItNames) {
  const std::string dir = freshDir();
  ASSERT_EQ(sh("mkdir -p '" + dir + "/data' '" + dir + "/elsewhere'"), 0);
  Book first;
  addHighScoreMatch(&first, 1796644800);
  ASSERT_TRUE(bookSave((dir + "/elsewhere/book").c_str(), first));
  ASSERT_EQ(symlink("../elsewhere/book", (dir + "/data/book").c_str()), 0);
  Book book;
  bookLoad((dir + "/data/book").c_str(), &book);
  ASSERT_EQ(book.matches.size(), 1u) << "read through the link";
  addHighScoreMatch(&book, 1796648400);
  EXPECT_TRUE(bookSave((dir + "/data/book").c_str(), book)) << "saved through the link";
  EXPECT_TRUE(isLinkTo(dir + "/data/book", "../elsewhere/book"));
  Book again;
  bookLoad((dir + "/elsewhere/book").c_str(), &again);
  EXPECT_EQ(again.matches.size(), 2u);
}

// A link to nothing, or to a file whose folder cannot be written, or to
// something not a file: the write fails with one message and nothing is
// lost: the link stays, nothing is made where it points.
TEST(Links, ALinkThatCannotBeWrittenThroughLosesNothing) {
  struct Case {
    const char *name;
    const char *make;    // run in the folder, makes "file"
    const char *target;  // where "file" links to
  };
  const Case cases[] = {
      {"a dangling link", "ln -s gone file", "gone"},
      {"a link into a folder that cannot be written", "ln -s /proc/version file", "/proc/version"},
      {"a link to a FIFO", "mkfifo pipe && ln -s pipe file", "pipe"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = freshDir();
    ASSERT_EQ(sh("cd '" + dir + "' && " + c.make), 0);
    const std::string path = dir + "/file";
    testing::internal::CaptureStderr();
    const bool written =
        safeFileWrite(path.c_str(), "new\n", 4, kSafeWriteDurable | kSafeWriteThroughLinks);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(written);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(said.rfind("tobelyn: ", 0), 0u) << said;
    EXPECT_TRUE(isLinkTo(path, c.target)) << "the link was replaced";
    EXPECT_EQ(access((dir + "/gone").c_str(), F_OK), -1) << "a file was made through the link";
    EXPECT_EQ(sh("ls -A '" + dir + "' | grep -q tmp"), 1) << "a temporary file was left";
  }
}

}  // namespace
