#include "host/book.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "host/book_text.h"
#include "host/cpu.h"
#include "host/host_game_words.h"
#include "platform/common/checksum.h"
#include "platform/common/safe_file.h"

// The four games, then the host's own (their options and each dart's leg
// in the lines' name=value fields).
constexpr int32_t kBookGameLast = kHostGameLast;

namespace {

const char kMagic[] = "tobelyn-book";
const char kHex[] = "0123456789abcdef";
constexpr int32_t kMaxScore = 60;
constexpr int32_t kAimMin = 16, kAimMax = 208;
constexpr int32_t kRowMax = 240;

// --- Lines and their check.

void appendCheck(std::string &out, size_t lineStart) {
  const uint32_t crc = crc32Update(0, out.data() + lineStart, out.size() - lineStart);
  out += ' ';
  for (int k = 7; k >= 0; --k) out += kHex[(crc >> (4 * k)) & 0xF];
  out += '\n';
}

// The payload of a line whose check holds; false otherwise.
bool checkedPayload(std::string_view line, std::string_view *payload) {
  if (line.size() < 10 || line[line.size() - 9] != ' ') return false;
  uint32_t want = 0;
  for (size_t i = line.size() - 8; i < line.size(); ++i) {
    const char c = line[i];
    const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) return false;
    want = (want << 4) | static_cast<uint32_t>(d);
  }
  *payload = line.substr(0, line.size() - 9);
  return crc32Update(0, payload->data(), payload->size()) == want;
}

// The fields of a payload, split at single spaces.
std::vector<std::string_view> fields(std::string_view text) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (;;) {
    const size_t space = text.find(' ', start);
    out.push_back(text.substr(start, space == std::string_view::npos ? space : space - start));
    if (space == std::string_view::npos) return out;
    start = space + 1;
  }
}

// A decimal number from lo to hi, no sign, no leading zero.
bool number(std::string_view f, int64_t lo, int64_t hi, int64_t *out) {
  if (f.empty() || f.size() > 18 || (f.size() > 1 && f[0] == '0')) return false;
  int64_t v = 0;
  for (char c : f) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < lo || v > hi) return false;
  *out = v;
  return true;
}

// A decimal number from lo to hi that may be negative ("-" before it).
bool signedNumber(std::string_view f, int64_t lo, int64_t hi, int64_t *out) {
  const bool negative = !f.empty() && f[0] == '-';
  int64_t v;
  if (!number(negative ? f.substr(1) : f, 0, INT64_MAX, &v) || (negative && v == 0)) return false;
  v = negative ? -v : v;
  if (v < lo || v > hi) return false;
  *out = v;
  return true;
}

// A field a later build adds after a line's own: "name=value", the name in
// lowercase letters, digits and hyphens.
bool moreField(std::string_view f, std::string_view *name, std::string_view *value) {
  const size_t eq = f.find('=');
  if (eq == std::string_view::npos || eq == 0 || eq + 1 == f.size() || f[0] < 'a' || f[0] > 'z')
    return false;
  for (char c : f.substr(0, eq))
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) return false;
  *name = f.substr(0, eq);
  *value = f.substr(eq + 1);
  return true;
}

// What a line's reader makes of one of those fields.
enum class MoreField { kUnknown, kTaken, kBad };

// The fields from `from` on: each must be a later build's field; those the
// line's reader takes are its own, the rest are kept in *more as they came.
template <typename Take>
bool readMore(const std::vector<std::string_view> &f, size_t from, std::string *more, Take take) {
  for (size_t i = from; i < f.size(); ++i) {
    std::string_view name, value;
    if (!moreField(f[i], &name, &value)) return false;
    const MoreField got = take(name, value);
    if (got == MoreField::kBad) return false;
    if (got == MoreField::kTaken) continue;
    *more += ' ';
    *more += f[i];
  }
  return true;
}

MoreField noneOfOurs(std::string_view, std::string_view) { return MoreField::kUnknown; }

// Sixteen hexadecimal digits, as the seed is written.
bool hexNumber(std::string_view f, uint64_t *out) {
  if (f.size() != 16) return false;
  uint64_t v = 0;
  for (char c : f) {
    const char *digit = std::strchr(kHex, c);
    if (c == 0 || digit == nullptr) return false;
    v = v << 4 | static_cast<uint64_t>(digit - kHex);
  }
  *out = v;
  return true;
}

bool number32(std::string_view f, int64_t lo, int64_t hi, int32_t *out) {
  int64_t v;
  if (!number(f, lo, hi, &v)) return false;
  *out = static_cast<int32_t>(v);
  return true;
}

std::string fileName(std::string_view name) {
  std::string out(name);
  std::replace(out.begin(), out.end(), ' ', '_');
  return out;
}

bool readName(std::string_view f, std::string *out) {
  std::string name(f);
  std::replace(name.begin(), name.end(), '_', ' ');
  if (!validPlayerName(name)) return false;
  *out = name;
  return true;
}

constexpr int64_t kCountMax = int64_t{1} << 53;

// --- The three kinds of line.

bool readTotals(const std::vector<std::string_view> &f, BookTotals *t) {
  if (f.size() < 9) return false;
  const bool more = readMore(f, 9, &t->more, [t](std::string_view name, std::string_view value) {
    if (name != "cpu") return MoreField::kUnknown;
    t->cpu = true;
    return value == "1" ? MoreField::kTaken : MoreField::kBad;
  });
  if (!more) return false;
  if (!number32(f[1], 0, kBookGameLast, &t->game) || !readName(f[2], &t->name)) return false;
  if (!number(f[3], 0, kCountMax, &t->darts) || !number(f[4], 0, kCountMax, &t->points) ||
      !number(f[5], 0, kCountMax, &t->matches) || !number(f[6], 0, t->matches, &t->finishes))
    return false;
  std::string_view rings = f[7];
  for (int i = 0; i < kRingCells; ++i) {
    const size_t comma = rings.find(',');
    const bool last = i == kRingCells - 1;
    if (last != (comma == std::string_view::npos)) return false;
    if (!number(rings.substr(0, comma), 0, kCountMax, &t->rings[i])) return false;
    if (!last) rings.remove_prefix(comma + 1);
  }
  if (f[8] == "-") return true;
  std::string_view grid = f[8];
  for (;;) {
    const size_t comma = grid.find(',');
    const std::string_view pair = grid.substr(0, comma);
    const size_t colon = pair.find(':');
    int64_t cell, count;
    if (colon == std::string_view::npos ||
        !number(pair.substr(0, colon), 0, kGridCells - 1, &cell) ||
        !number(pair.substr(colon + 1), 1, UINT32_MAX, &count) || t->grid[cell] != 0)
      return false;
    t->grid[cell] = static_cast<uint32_t>(count);
    if (comma == std::string_view::npos) return true;
    grid.remove_prefix(comma + 1);
  }
}

bool readMatch(const std::vector<std::string_view> &f, BookMatch *m) {
  if (f.size() < 7) return false;
  if (!number(f[1], 1, kCountMax, &m->id) || !signedNumber(f[2], -kCountMax, kCountMax, &m->time) ||
      !number32(f[3], 0, kBookGameLast, &m->game) || !number32(f[4], 1, kMaxPlayers, &m->players) ||
      !number32(f[5], 0, 1 << 20, &m->rounds))
    return false;
  if (f[6] == "-")
    m->winner = -1;
  else if (!number32(f[6], 0, m->players - 1, &m->winner))
    return false;
  // The seed and the seats' computer levels follow the seats; a line written
  // before they were kept stops at the seats.
  const size_t seatsEnd = 7 + 5 * static_cast<size_t>(m->players);
  if (f.size() < seatsEnd) return false;
  const bool withCpu = f.size() > seatsEnd && f[seatsEnd].find('=') == std::string_view::npos;
  const size_t end = withCpu ? seatsEnd + 1 + static_cast<size_t>(m->players) : seatsEnd;
  if (f.size() < end) return false;
  if (withCpu && !hexNumber(f[seatsEnd], &m->seed)) return false;
  for (int s = 0; s < m->players; ++s) {
    if (withCpu && !number32(f[seatsEnd + 1 + s], 0, kCpuLevelCount, &m->seats[s].cpuLevel))
      return false;
  }
  if (!readMore(f, end, &m->more, noneOfOurs)) return false;
  for (int s = 0; s < m->players; ++s) {
    BookSeat &seat = m->seats[s];
    const size_t at = 7 + 5 * static_cast<size_t>(s);
    int32_t finished;
    if (!readName(f[at], &seat.name) || !number32(f[at + 1], 0, 1 << 20, &seat.darts) ||
        !number32(f[at + 2], 0, 1 << 26, &seat.points) ||
        !number32(f[at + 3], 0, 1 << 26, &seat.final) || !number32(f[at + 4], 0, 1, &finished))
      return false;
    seat.finished = finished != 0;
    if (seat.finished != (m->winner == s)) return false;
  }
  return true;
}

bool readDart(const std::vector<std::string_view> &f, BookDart *d) {
  if (f.size() < 17 || !readMore(f, 17, &d->more, noneOfOurs)) return false;
  int32_t ring, bust;
  if (!number(f[1], 1, kCountMax, &d->match) || !number32(f[2], 0, kBookGameLast, &d->game) ||
      !number32(f[3], 0, kMaxPlayers - 1, &d->seat) || !readName(f[4], &d->name) ||
      !number32(f[5], 1, 1 << 20, &d->round) || !number32(f[6], 1, kDartsPerTurn, &d->dart) ||
      !number32(f[7], kAimMin, kAimMax, &d->aimX) ||
      !number32(f[8], 0, kGaugePoints - 1, &d->peak) ||
      !number32(f[9], 0, kGaugePoints - 1, &d->release) || !number32(f[10], 0, 239, &d->x) ||
      !number32(f[11], 0, kRowMax, &d->y) || !number32(f[12], 0, kBullSector, &d->sector) ||
      !number32(f[13], 0, kDartRings - 1, &ring) || !number32(f[14], 0, kMaxScore, &d->score) ||
      !number32(f[15], 0, kMaxScore, &d->counted) || !number32(f[16], 0, 1, &bust))
    return false;
  d->ring = static_cast<DartRing>(ring);
  d->bust = bust != 0;
  // A sector the ring cannot have is damage that slipped past the check.
  const bool bull = d->ring == kDartBull || d->ring == kDartOuterBull;
  if (bull != (d->sector == kBullSector)) return false;
  if (d->ring == kDartMiss ? d->sector != 0 : !bull && (d->sector < 1 || d->sector > kSectorMax))
    return false;
  return true;
}

// Appends a separator (when given) and a number. Built piece by piece: a
// literal + std::to_string(...) trips MinGW g++ 12's false overlap warning
// (GCC bug 105651).
void writeTotals(std::string &out, const BookTotals &t) {
  const size_t start = out.size();
  out += 'T';
  put(out, ' ', t.game);
  put(out, ' ', fileName(t.name));
  for (int64_t v : {t.darts, t.points, t.matches, t.finishes}) put(out, ' ', v);
  for (int i = 0; i < kRingCells; ++i) put(out, i > 0 ? ',' : ' ', t.rings[i]);
  bool any = false;
  for (int c = 0; c < kGridCells; ++c) {
    if (t.grid[c] == 0) continue;
    put(out, any ? ',' : ' ', c);
    put(out, ':', t.grid[c]);
    any = true;
  }
  if (!any) out += " -";
  if (t.cpu) out += " cpu=1";
  out += t.more;
  appendCheck(out, start);
}

void writeMatch(std::string &out, const BookMatch &m) {
  const size_t start = out.size();
  out += 'M';
  for (int64_t v : {m.id, m.time, int64_t{m.game}, int64_t{m.players}, int64_t{m.rounds}})
    put(out, ' ', v);
  if (m.winner < 0)
    out += " -";
  else
    put(out, ' ', m.winner);
  for (int s = 0; s < m.players; ++s) {
    const BookSeat &seat = m.seats[s];
    put(out, ' ', fileName(seat.name));
    for (int64_t v : {seat.darts, seat.points, seat.final, int32_t{seat.finished}})
      put(out, ' ', v);
  }
  out += ' ';
  for (int shift = 60; shift >= 0; shift -= 4) out += kHex[(m.seed >> shift) & 0xF];
  for (int s = 0; s < m.players; ++s) put(out, ' ', m.seats[s].cpuLevel);
  out += m.more;
  appendCheck(out, start);
}

void writeDart(std::string &out, const BookDart &d) {
  const size_t start = out.size();
  out += 'D';
  put(out, ' ', d.match);
  put(out, ' ', d.game);
  put(out, ' ', d.seat);
  put(out, ' ', fileName(d.name));
  const int32_t numbers[] = {d.round, d.dart,   d.aimX, d.peak,  d.release, d.x,
                             d.y,     d.sector, d.ring, d.score, d.counted, d.bust ? 1 : 0};
  for (int32_t v : numbers) put(out, ' ', v);
  out += d.more;
  appendCheck(out, start);
}

// Whether the same dart of the same match is already among the darts (a
// match's darts are written together, so only its own are looked at).
bool repeatedDart(const std::vector<BookDart> &darts, const BookDart &d) {
  for (auto it = darts.rbegin(); it != darts.rend() && it->match == d.match; ++it)
    if (it->seat == d.seat && it->round == d.round && it->dart == d.dart) return true;
  return false;
}

BookTotals &totalsFor(Book *book, int32_t game, const std::string &name, bool cpu, bool assisted,
                      bool far) {
  for (BookTotals &t : book->totals)
    if (t.game == game && t.name == name && t.cpu == cpu && bookTotalsAssisted(t) == assisted &&
        bookTotalsFriend(t) == far)
      return t;
  book->totals.push_back(BookTotals{});
  book->totals.back().game = game;
  book->totals.back().name = name;
  book->totals.back().cpu = cpu;
  if (assisted) book->totals.back().more = " assisted=1";
  if (far) book->totals.back().more += " friend=1";
  return book->totals.back();
}

// Whether a seat of a match was a computer's.
bool seatIsCpu(const BookMatch &m, int32_t seat) {
  return seat >= 0 && seat < m.players && seat < kMaxPlayers && m.seats[seat].cpuLevel != 0;
}

// The number in a line's second field, or 0: the match of a line kept
// unread still holds its id, so that no new match takes it.
int64_t lineMatchId(const std::vector<std::string_view> &f) {
  int64_t id = 0;
  return f.size() > 1 && (f[0] == "M" || f[0] == "D") && number(f[1], 1, kCountMax, &id) ? id : 0;
}

}  // namespace

const BookMatch *bookFindMatch(const Book &book, int64_t id) {
  // Ids grow with the order of the matches.
  auto it = std::lower_bound(book.matches.begin(), book.matches.end(), id,
                             [](const BookMatch &m, int64_t v) { return m.id < v; });
  return it != book.matches.end() && it->id == id ? &*it : nullptr;
}

// --- Names.

bool validPlayerName(std::string_view name) {
  if (name.empty() || name.size() > kPlayerNameMax || name.front() == ' ' || name.back() == ' ')
    return false;
  for (char c : name)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '-')) return false;
  return true;
}

std::string defaultPlayerName(int seat) {
  std::string name = "PLAYER";
  put(name, ' ', seat + 1);
  return name;
}

int ringCell(DartRing ring, int32_t sector) {
  switch (ring) {
    case kDartSingle:
    case kDartDouble:
    case kDartTriple:
      return (ring - kDartSingle) * kSectorMax + (sector - 1);
    case kDartOuterBull:
      return 3 * kSectorMax;
    case kDartBull:
      return 3 * kSectorMax + 1;
    default:
      return 3 * kSectorMax + 2;
  }
}

int gridCell(int32_t x, int32_t y) {
  x = std::clamp(x, 0, 239);
  y = std::clamp(y, 0, kRowMax);
  return (y / kGridCellPixels) * kGridColumns + x / kGridCellPixels;
}

// --- Reading and writing.

void bookParse(const uint8_t *bytes, size_t size, Book *out) {
  *out = Book{};
  if (size == 0) return;
  if (bytes == nullptr || size > kBookFileMax) {
    out->file = BookFile::kUnreadable;
    return;
  }
  const std::string_view text(reinterpret_cast<const char *>(bytes), size);
  size_t lineStart = 0;
  bool first = true;
  while (lineStart < text.size()) {
    size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string_view::npos) lineEnd = text.size();
    std::string_view line = text.substr(lineStart, lineEnd - lineStart);
    lineStart = lineEnd + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    if (first) {
      // The first line decides whose file this is. Its own check is not
      // needed for that: a book whose first line was damaged is still ours.
      first = false;
      const std::vector<std::string_view> f = fields(line);
      int64_t version;
      if (f.size() < 2 || f[0] != kMagic || !number(f[1], 1, kCountMax, &version)) {
        out->file = BookFile::kForeign;
        return;
      }
      if (version > kBookVersion) {
        out->file = BookFile::kFuture;
        return;
      }
      out->file = BookFile::kOurs;
      out->version = static_cast<int32_t>(version);
      std::string header = kMagic;
      put(header, ' ', version);
      std::string_view payload;
      if (!checkedPayload(line, &payload) || payload != header) ++out->skippedLines;
      continue;
    }
    if (line.empty()) continue;
    std::string_view payload;
    if (!checkedPayload(line, &payload)) {
      ++out->skippedLines;
      continue;
    }
    const std::vector<std::string_view> f = fields(payload);
    // A line read whole is taken unless it repeats one before it; a line
    // this build cannot read is kept as it is, for the build that wrote it.
    bool understood = false, repeated = false;
    if (f[0] == "T") {
      BookTotals t;
      understood = readTotals(f, &t);
      for (const BookTotals &other : out->totals)
        repeated =
            repeated || (other.game == t.game && other.name == t.name && other.cpu == t.cpu &&
                         bookTotalsAssisted(other) == bookTotalsAssisted(t) &&
                         bookTotalsFriend(other) == bookTotalsFriend(t));
      if (understood && !repeated) out->totals.push_back(std::move(t));
    } else if (f[0] == "M") {
      BookMatch m;
      // Matches are written in the order of their ids; one out of order is
      // a stray copy.
      understood = readMatch(f, &m);
      repeated = !out->matches.empty() && out->matches.back().id >= m.id;
      if (understood && !repeated) out->matches.push_back(m);
    } else if (f[0] == "D") {
      BookDart d;
      understood = readDart(f, &d);
      repeated = understood && repeatedDart(out->darts, d);
      if (understood && !repeated) out->darts.push_back(std::move(d));
    }
    if (understood && repeated) {
      ++out->skippedLines;
    } else if (!understood) {
      out->keptLines.emplace_back(line);
      out->nextMatch = std::max(out->nextMatch, lineMatchId(f) + 1);
    }
  }
  if (first) return;  // only blank bytes
  for (const BookMatch &m : out->matches) out->nextMatch = std::max(out->nextMatch, m.id + 1);
  for (BookDart &d : out->darts) {
    out->nextMatch = std::max(out->nextMatch, d.match + 1);
    const BookMatch *m = bookFindMatch(*out, d.match);
    d.cpu = m != nullptr && seatIsCpu(*m, d.seat);
  }
}

std::string bookFormat(const Book &book) {
  std::string out = "tobelyn-book";
  put(out, ' ', kBookVersion);
  appendCheck(out, 0);
  for (const BookTotals &t : book.totals) writeTotals(out, t);
  for (const BookMatch &m : book.matches) writeMatch(out, m);
  for (const BookDart &d : book.darts) writeDart(out, d);
  for (const std::string &line : book.keptLines) {
    out += line;
    out += '\n';
  }
  return out;
}

void bookLoad(const char *path, Book *out) {
  // Room for the file as it is now (and a byte more, so that one that grew
  // meanwhile is refused rather than cut), never more than the limit.
  unsigned long long seen = 0;
  const size_t room =
      safeFileSize(path, &seen)
          ? static_cast<size_t>(std::min<unsigned long long>(seen + 1, kBookFileMax))
          : 1;
  std::vector<uint8_t> buffer(room);
  size_t size = 0;
  switch (safeFileRead(path, buffer.data(), buffer.size(), &size, SafeLinks::kFollow)) {
    case SafeReadResult::kRead:
      bookParse(buffer.data(), size, out);
      return;
    case SafeReadResult::kMissing:
      *out = Book{};
      return;
    case SafeReadResult::kRefused:
      *out = Book{};
      out->file = BookFile::kUnreadable;
      return;
  }
}

namespace {

// Before a book of an older version is first written in this one, the old
// file is kept beside it ("book.v1"), whole, for a build that reads only
// that version; once kept it is never written again.
void keepOlderVersion(const char *path, int32_t version) {
  std::string older(path);
  older += ".v";
  older += std::to_string(version);
  unsigned long long olderSize = 0, bookSize = 0;
  if (safeFileSize(older.c_str(), &olderSize) || !safeFileSize(path, &bookSize) || bookSize == 0 ||
      bookSize > kBookFileMax)
    return;
  std::vector<uint8_t> bytes(static_cast<size_t>(bookSize) + 1);
  size_t size = 0;
  if (safeFileRead(path, bytes.data(), bytes.size(), &size, SafeLinks::kFollow) !=
      SafeReadResult::kRead)
    return;
  // A copy that cannot be made costs nothing: the book itself is written.
  (void)safeFileWrite(older.c_str(), bytes.data(), size,
                      kSafeWriteMakeFolders | kSafeWriteDurable | kSafeWriteReplaceOnlyFiles);
}

}  // namespace

bool bookWritable(const Book &book) {
  return book.file == BookFile::kNew || book.file == BookFile::kOurs;
}

bool bookSave(const char *path, const Book &book) {
  if (!bookWritable(book)) return false;
  const std::string text = bookFormat(book);
#ifdef _WIN32
  // The folders on the way are made at each '/', which Windows takes as
  // well as its own '\\'.
  std::string slashed(path);
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  path = slashed.c_str();
#endif
  if (book.version < kBookVersion) keepOlderVersion(path, book.version);
  return safeFileWrite(path, text.data(), text.size(),
                       kSafeWriteMakeFolders | kSafeWriteDurable | kSafeWriteReplaceOnlyFiles |
                           kSafeWriteThroughLinks);
}

bool bookPathPosix(const char *xdgDataHome, const char *home, std::string *out) {
  if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
    *out = std::string(xdgDataHome) + "/tobelyn/book";
    return true;
  }
  if (home != nullptr && home[0] == '/') {
    *out = std::string(home) + "/.local/share/tobelyn/book";
    return true;
  }
  return false;
}

bool bookPathWindows(const char *appData, std::string *out) {
  if (appData == nullptr || appData[0] == 0) return false;
  *out = std::string(appData) + "\\Tobelyn\\book";
  return true;
}

// --- Adding a match.

namespace {

// The value a seat of a match sets in a record, or false when it sets none.
bool recordValue(const BookMatch &m, int seat, RecordKind kind, double *value) {
  const BookSeat &s = m.seats[seat];
  if (m.game != kRecordInfo[kind].game || s.darts == 0) return false;
  switch (kind) {
    case kRecord301FewestDarts:
    case kRecordCountUpFewestDarts:
    case kRecordClockFewestDarts:
      *value = s.darts;
      return s.finished;
    case kRecord301BestAverage:
      *value = 3.0 * s.points / s.darts;
      return s.finished;
    case kRecordHighScoreBestTotal:
    case kRecordShanghaiBestTotal:
      *value = s.final;
      return true;
    case kRecordX01FewestDarts: {
      int32_t darts = 0;
      const bool of501 = bookField(m.more, "hostgame").find("start=501") != std::string::npos;
      if (!of501 || !bookSeatField(m.more, "bestleg", seat, &darts) || darts <= 0) return false;
      *value = darts;
      return true;
    }
    case kRecordX01HighestCheckout: {
      int32_t checkout = 0;
      if (!bookSeatField(m.more, "checkout", seat, &checkout) || checkout <= 0) return false;
      *value = checkout;
      return true;
    }
    case kRecordCricketBestMarks: {
      int32_t marks = 0;
      if (!bookSeatField(m.more, "marks", seat, &marks)) return false;
      *value = 3.0 * marks / s.darts;
      return true;
    }
    case kRecordBobs27BestScore: {
      // The scoreboard kept no sign: the game's own score, below 0 as it is.
      int32_t score = s.final;
      (void)bookSeatField(m.more, "scores", seat, &score);
      *value = score;
      return true;
    }
  }
  return false;
}

bool better(RecordKind kind, double a, double b) {
  return kRecordInfo[kind].lowerIsBetter ? a < b : a > b;
}

}  // namespace

void bookAddMatch(Book *book, BookMatch match, std::vector<BookDart> darts, NewBests *news,
                  size_t keep) {
  if (news != nullptr) *news = NewBests{};
  match.id = book->nextMatch++;
  for (int kind = 0; kind < kRecordKinds && news != nullptr; ++kind) {
    const RecordKind k = static_cast<RecordKind>(kind);
    // The best of this match, when it beats the best before it; seats tied
    // on it share it.
    double values[kMaxPlayers];
    bool sets[kMaxPlayers] = {};
    // Assisted seats are measured on their own sheet.
    for (bool assisted : {false, true}) {
      int top = -1;
      for (int s = 0; s < match.players; ++s) {
        sets[s] =
            recordValue(match, s, k, &values[s]) && (bookSeatAssist(match, s) > 1) == assisted;
        if (sets[s] && (top < 0 || better(k, values[s], values[top]))) top = s;
      }
      const std::vector<RecordEntry> best = bookRecords(*book, k, assisted);
      if (top < 0 || (!best.empty() && !better(k, values[top], best.front().value))) continue;
      for (int s = 0; s < match.players; ++s)
        if (sets[s] && values[s] == values[top]) news->seat[s] = true;
    }
  }
  book->matches.push_back(match);
  for (BookDart &d : darts) {
    d.match = match.id;
    d.game = match.game;
    d.cpu = seatIsCpu(match, d.seat);
    if (bookSeatFriend(match, d.seat) && !bookDartFriend(d)) bookMarkDartFriend(&d);
    book->darts.push_back(std::move(d));
  }
  bookFold(book, keep);
}

void bookFold(Book *book, size_t keep) {
  if (book->darts.size() <= keep) return;
  const size_t folded = book->darts.size() - keep;
  for (size_t i = 0; i < folded; ++i) {
    const BookDart &d = book->darts[i];
    BookTotals &t =
        totalsFor(book, d.game, d.name, d.cpu, bookDartAssist(d) > 1, bookDartFriend(d));
    ++t.darts;
    t.points += d.counted;
    ++t.rings[ringCell(d.ring, d.sector)];
    ++t.grid[gridCell(d.x, d.y)];
    if (d.round == 1 && d.dart == 1) {
      ++t.matches;
      const BookMatch *m = bookFindMatch(*book, d.match);
      if (m != nullptr && m->seats[d.seat].finished) ++t.finishes;
    }
  }
  book->darts.erase(book->darts.begin(), book->darts.begin() + static_cast<ptrdiff_t>(folded));
}

// --- Records.

std::vector<RecordEntry> bookRecords(const Book &book, RecordKind kind, bool assisted) {
  std::vector<RecordEntry> all;
  for (const BookMatch &m : book.matches) {
    for (int s = 0; s < m.players; ++s) {
      RecordEntry e;
      if ((bookSeatAssist(m, s) > 1) != assisted || !recordValue(m, s, kind, &e.value)) continue;
      e.name = m.seats[s].name;
      e.time = m.time;
      e.match = m.id;
      e.seat = s;
      e.cpu = seatIsCpu(m, s);
      all.push_back(e);
    }
  }
  std::stable_sort(all.begin(), all.end(), [kind](const RecordEntry &a, const RecordEntry &b) {
    return better(kind, a.value, b.value);
  });
  if (all.size() > kRecordPlaces) all.resize(kRecordPlaces);
  return all;
}
