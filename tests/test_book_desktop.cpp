// The desktop game's book options: --records and --export only read the
// book, and a write that fails is an error with a message.
#include <gtest/gtest.h>
#ifdef TOBELYN_DESKTOP_GAME
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <string>

#include "book_support.h"
#include "host/book.h"

namespace {

#ifdef TOBELYN_DESKTOP_GAME
// --- The desktop game's options: they only read the book.

struct DesktopRun {
  int status;
  std::string out, err;
};

DesktopRun desktop(const std::string &data, const std::string &arguments) {
  const std::string dir = ::testing::TempDir();
  const int raw = std::system(("XDG_DATA_HOME='" + data + "' '" TOBELYN_DESKTOP_GAME "' " +
                               arguments + " >'" + dir + "desk.out' 2>'" + dir + "desk.err'")
                                  .c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readText(dir + "desk.out"),
          readText(dir + "desk.err")};
}

TEST(BookDesktop, RecordsAndExportReadTheBookAndLeaveItAlone) {
  const std::string data = ::testing::TempDir() + "tobelyn_book_desktop";
  ASSERT_EQ(std::system(("rm -rf '" + data + "'").c_str()), 0);

  // No book yet: nothing to show, and no folder made for it.
  DesktopRun run = desktop(data, "--records");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("none yet"), std::string::npos) << run.out;
  EXPECT_NE(std::system(("test -e '" + data + "'").c_str()), 0) << "the folder was made";

  const Book book = madeBook();
  const std::string path = data + "/tobelyn/book";
  ASSERT_TRUE(bookSave(path.c_str(), book));
  const std::string stored = readText(path);
  run = desktop(data, "--records");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, bookRecordsText(book));
  EXPECT_NE(run.out.find("  1. ANNA        12 darts    2026-12-07"), std::string::npos) << run.out;

  run = desktop(data, "--export '" + data + "/darts.csv'");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(readText(data + "/darts.csv"), bookCsv(book));
  EXPECT_EQ(desktop(data, "--export -").out, bookCsv(book));
  EXPECT_EQ(readText(path), stored);

  // A file that is not a book is named, left alone, and fails the option.
  std::ofstream(path, std::ios::binary | std::ios::trunc) << "not a book\n";
  run = desktop(data, "--records");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("is not a player book"), std::string::npos) << run.err;
  EXPECT_EQ(readText(path), "not a book\n");
  EXPECT_EQ(desktop(data, "--export").status, 2);
}

// The desktop game run through the shell with a file-size limit of `blocks`
// of 512 bytes (0: none) and its standard output sent as `output` (a shell
// redirection; empty: to a file of the test's).
DesktopRun desktopLimited(const std::string &data, const std::string &arguments, int blocks,
                          const std::string &output) {
  const std::string dir = ::testing::TempDir();
  const std::string limit = blocks > 0 ? "ulimit -f " + std::to_string(blocks) + "; " : "";
  const std::string command = "XDG_DATA_HOME='" + data + "' sh -c '" + limit +
                              "exec \"$0\" \"$@\"' '" TOBELYN_DESKTOP_GAME "' " + arguments + " " +
                              (output.empty() ? ">'" + dir + "desk.out'" : output) + " 2>'" + dir +
                              "desk.err'";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readText(dir + "desk.out"),
          readText(dir + "desk.err")};
}

struct FailedWrite {
  const char *name;
  const char *arguments;  // DATA/ stands for the data folder
  int blocks;             // the file-size limit, in 512-byte blocks (0: none)
  const char *output;     // where the standard output goes (DATA/ as above)
  const char *message;
  const char *leftAlone;  // a file under DATA/ that must not be there afterwards
};

const FailedWrite kFailedWrites[] = {
    {.name = "--export FILE past the file-size limit",
     .arguments = "--export DATA/darts.csv",
     .blocks = 1,
     .output = "",
     .message = "cannot write",
     .leftAlone = "darts.csv"},
    {.name = "--export - into a file past the file-size limit",
     .arguments = "--export -",
     .blocks = 1,
     .output = ">DATA/piped.csv",
     .message = "cannot write the standard output",
     .leftAlone = ""},
    {.name = "--export - to a full device",
     .arguments = "--export -",
     .blocks = 0,
     .output = ">/dev/full",
     .message = "cannot write the standard output",
     .leftAlone = ""},
    {.name = "--export - to a closed output",
     .arguments = "--export -",
     .blocks = 0,
     .output = ">&-",
     .message = "cannot write the standard output",
     .leftAlone = ""},
    {.name = "--records to a full device",
     .arguments = "--records",
     .blocks = 0,
     .output = ">/dev/full",
     .message = "cannot write the standard output",
     .leftAlone = ""},
    {.name = "--version to a closed output",
     .arguments = "--version",
     .blocks = 0,
     .output = ">&-",
     .message = "cannot write the standard output",
     .leftAlone = ""},
    {.name = "--help to a full device",
     .arguments = "--help",
     .blocks = 0,
     .output = ">/dev/full",
     .message = "cannot write the standard output",
     .leftAlone = ""},
};

std::string withData(std::string text, const std::string &data) {
  for (size_t at; (at = text.find("DATA/")) != std::string::npos;)
    text.replace(at, 5, "'" + data + "'/");
  return text;
}

TEST(BookDesktop, AFailedWriteIsAnErrorWithAMessageAndLeavesNoTemporaryFile) {
  const std::string data = ::testing::TempDir() + "tobelyn_book_failed_writes";
  ASSERT_EQ(std::system(("rm -rf '" + data + "'").c_str()), 0);
  const Book book = madeBook();
  ASSERT_TRUE(bookSave((data + "/tobelyn/book").c_str(), book));
  ASSERT_GT(bookCsv(book).size(), 1024u) << "the CSV must pass a limit of 512 bytes";
  for (const FailedWrite &c : kFailedWrites) {
    SCOPED_TRACE(c.name);
    const DesktopRun run =
        desktopLimited(data, withData(c.arguments, data), c.blocks, withData(c.output, data));
    EXPECT_EQ(run.status, 1) << "above 128: ended by a signal";
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    if (c.leftAlone[0] != 0) {
      const std::string left = data + "/" + c.leftAlone;
      EXPECT_NE(std::system(("test -e '" + left + "'").c_str()), 0) << left;
      EXPECT_NE(std::system(("test -e '" + left + ".tmp'").c_str()), 0) << left << ".tmp";
    }
  }
}
#endif

}  // namespace
