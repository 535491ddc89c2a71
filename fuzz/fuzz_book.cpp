// Fuzz target: the player book's reader, and the writer on what it reads.
//
// Whatever the bytes, bookParse must not read or write out of bounds and
// must say whose file it found. A book it reads as its own must survive a
// write and a second read unchanged (the written form is its own fixed
// point), and every line the second read meets must pass its check.
//
// Every input is tried as it is and behind the first line of a book of
// each version, so that the fuzzer reaches the line reader at once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/book.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

void tryFile(const uint8_t *data, size_t size) {
  Book book;
  bookParse(data, size, &book);
  if (book.file != BookFile::kOurs) {
    check(book.matches.empty() && book.darts.empty() && book.totals.empty());
    return;
  }
  const std::string text = bookFormat(book);
  Book again;
  bookParse(reinterpret_cast<const uint8_t *>(text.data()), text.size(), &again);
  check(again.file == BookFile::kOurs && again.skippedLines == 0);
  check(again.matches.size() == book.matches.size() && again.darts.size() == book.darts.size() &&
        again.totals.size() == book.totals.size() &&
        again.keptLines.size() == book.keptLines.size());
  check(bookFormat(again) == text);

  // The queries take whatever was read.
  for (int kind = 0; kind < kRecordKinds; ++kind)
    check(bookRecords(again, static_cast<RecordKind>(kind)).size() <= kRecordPlaces);
  for (const BookMatch &m : again.matches) {
    for (int s = 0; s < m.players; ++s) {
      check(!matchResultWords(m, s).empty());
      (void)bookPlayerStats(again, m.seats[s].name,
                            m.seats[s].cpuLevel != 0 ? PlayerKind::kComputer : PlayerKind::kPerson);
    }
  }
  for (const BookPlayer &player : bookPlayers(again))
    (void)bookLandingGrid(again, player.name, -1, player.kind);
  (void)bookCsv(again);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  tryFile(data, size);

  static const char *const magics[] = {"tobelyn-book 1 af02507b\n", "tobelyn-book 2 360b01c1\n"};
  for (const char *magic : magics) {
    const size_t magicLen = std::strlen(magic);
    if (size > kBookFileMax - magicLen) return 0;
    uint8_t *file = static_cast<uint8_t *>(std::malloc(magicLen + size));
    std::memcpy(file, magic, magicLen);
    if (size > 0) std::memcpy(file + magicLen, data, size);
    tryFile(file, magicLen + size);
    std::free(file);
  }
  return 0;
}
