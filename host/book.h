// The player book: every dart of every finished match, every match's end,
// and what the host shows from them (records, statistics, the landing map,
// the words of the match summary, the CSV export). Plain data and functions
// over it; the only file access is bookLoad and bookSave, through the
// safe-file path.
//
// The file is text, one record a line, each line ending in a space and the
// CRC-32 of everything before that space as 8 lowercase hex digits:
//
//   tobelyn-book 2                      first line: the format and its version
//   T <game> <name> <darts> <points> <matches> <finishes> <rings> <grid>
//   M <id> <time> <game> <players> <rounds> <winner> then per seat:
//     <name> <darts> <points> <final> <finished>
//     then <seed> and per seat <level>
//   D <match> <game> <seat> <name> <round> <dart> <aim> <peak> <release>
//     <x> <y> <sector> <ring> <score> <counted> <bust>
//
// T lines are the darts folded away (per name, person or computer, and
// game), M lines the matches, D lines the darts kept one by one, oldest
// first. In names a space is written as '_'; <time> may be negative (before
// 1970); <winner> is '-' when nobody won; <seed> is 16 hex digits; <level>
// is 0 for a person; <rings> is kRingCells numbers joined by commas; <grid>
// is "cell:count" pairs joined by commas, or '-' when empty.
//
// Room to grow: after its fields any line may carry more, each written
// "name=value" (no spaces). This build reads "cpu=1" on a T line (totals
// of a computer's darts) and keeps every other such field as it is, to
// write it back: a later build adds what it needs there (a game's options,
// legs, assists, a match's code) without a new version. A line whose check
// holds but which this build does not understand (another kind of line, a
// game it does not know) is kept whole and written back after the rest.
//
// Every line stands alone: a line whose check fails is skipped and costs
// only itself. A file whose first line is not a book's (foreign), or names a
// newer version (future), is read as empty and is never written over. A
// version 1 book reads as it always did; the first write makes it version 2
// and keeps the old file beside it as "book.v1".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/match.h"
#include "host/games.h"

constexpr int kPlayerNameMax = 10;  // characters: A-Z, 0-9, space and hyphen
constexpr size_t kBookDartsKept = 20000;
constexpr size_t kBookFileMax = 16u << 20;
constexpr int kBookVersion = 2;

// Where a dart landed on the board, as the game scores it.
enum DartRing : int32_t {
  kDartMiss = 0,
  kDartSingle = 1,
  kDartDouble = 2,
  kDartTriple = 3,
  kDartOuterBull = 4,
  kDartBull = 5,
};
constexpr int kDartRings = 6;
constexpr int32_t kBullSector = 25;  // the sector written for either bull
constexpr int32_t kSectorMax = 20;   // the board's numbers run from 1 to 20

// The ring-by-sector counts: singles, doubles and triples of 1 to 20, then
// the outer bull, the bull and the misses.
constexpr int kRingCells = 3 * kSectorMax + 3;
int ringCell(DartRing ring, int32_t sector);

// The landing map's fixed grid: 4-pixel cells over the screen rows a dart
// can land on (0 to 240). Landings fall on a 4-pixel lattice, so no cell
// mixes two landing points.
constexpr int kGridCellPixels = 4;
constexpr int kGridColumns = 240 / kGridCellPixels;
constexpr int kGridRows = 240 / kGridCellPixels + 1;
constexpr int kGridCells = kGridColumns * kGridRows;
int gridCell(int32_t x, int32_t y);

struct BookDart {
  int64_t match = 0;  // the BookMatch id
  int32_t game = 0;   // GameMode
  int32_t seat = 0;   // 0 to 3: player seat + 1 of the match
  std::string name;
  int32_t round = 1;  // from 1
  int32_t dart = 1;   // 1 to 3 within the turn
  int32_t aimX = 0;   // where the pointer was fixed (its left edge)
  int32_t peak = 0;   // the gauge index at the peak and at the release
  int32_t release = 0;
  int32_t x = 0;  // the landing point on the screen
  int32_t y = 0;
  int32_t sector = 0;  // 1 to 20; kBullSector for either bull; 0 for a miss
  DartRing ring = kDartMiss;
  int32_t score = 0;    // what the board gives
  int32_t counted = 0;  // what it did to the player's score (Round The Clock: 1 for a hit)
  bool bust = false;    // "301": worth more than the points left, so nothing counted
  bool cpu = false;     // thrown by a computer seat (its match's seat says so)
  std::string more;     // fields of a later build, each " name=value", kept as read
};

struct BookSeat {
  std::string name;
  int32_t darts = 0;
  int32_t points = 0;     // the darts' counted points (Round The Clock: numbers hit)
  int32_t final = 0;      // the score the scoreboard showed at the end
  bool finished = false;  // won: checked out, reached 200, went round the clock
  int32_t cpuLevel = 0;   // 0: a person threw; 1 to 5: a computer player of that level
};

struct BookMatch {
  int64_t id = 0;
  int64_t time = 0;  // seconds since 1970-01-01 00:00 of the player's own clock
  int32_t game = 0;
  int32_t players = 1;
  int32_t rounds = 0;   // rounds begun
  int32_t winner = -1;  // seat, or -1
  uint64_t seed = 0;    // the computer players' seed, so their darts can be played again
  BookSeat seats[kMaxPlayers];
  std::string more;  // fields of a later build, each " name=value", kept as read
};

// The darts folded away for one name, a person's or a computer's, in one game.
struct BookTotals {
  int32_t game = 0;
  std::string name;
  bool cpu = false;
  int64_t darts = 0;
  int64_t points = 0;
  int64_t matches = 0;   // matches whose first dart of this name was folded
  int64_t finishes = 0;  // of those, the ones this name won
  int64_t rings[kRingCells] = {};
  std::vector<uint32_t> grid = std::vector<uint32_t>(kGridCells, 0);
  std::string more;
};

enum class BookFile {
  kNew,         // nothing there yet (or an empty file)
  kOurs,        // a book of this version, read line by line
  kForeign,     // not a book: left alone
  kFuture,      // a book of a newer version: left alone
  kUnreadable,  // too large, not a regular file, unreadable: left alone
};

struct Book {
  BookFile file = BookFile::kNew;
  int32_t version = kBookVersion;  // as the file said
  int skippedLines = 0;            // lines that failed their check, or repeated ones
  // Checked lines this build does not understand, written back as they were.
  std::vector<std::string> keptLines;
  int64_t nextMatch = 1;
  std::vector<BookTotals> totals;
  std::vector<BookMatch> matches;  // oldest first
  std::vector<BookDart> darts;     // oldest first
};

// --- Names.
bool validPlayerName(std::string_view name);
// Who threw: a name is a person's, a computer's or a friend's far away
// (host/correspondence.h), each a player of its own.
enum class PlayerKind { kPerson, kComputer, kFriend };
std::string defaultPlayerName(int seat);  // "PLAYER 1" to "PLAYER 4"

// --- Reading and writing.

// Reads a book from bytes; never fails, see BookFile for what it found.
void bookParse(const uint8_t *bytes, size_t size, Book *out);
std::string bookFormat(const Book &book);
// Reads the file at path (a missing one is a new book).
void bookLoad(const char *path, Book *out);
// Only a new book or one of ours is written, whole, through the safe-file
// path; false when it was not (refused or failed: the old file stays).
[[nodiscard]] bool bookWritable(const Book &book);
[[nodiscard]] bool bookSave(const char *path, const Book &book);

// The book's file: $XDG_DATA_HOME/tobelyn/book, else ~/.local/share/tobelyn/book
// (folders that are not absolute are ignored), or %APPDATA%\Tobelyn\book.
bool bookPathPosix(const char *xdgDataHome, const char *home, std::string *out);
bool bookPathWindows(const char *appData, std::string *out);

// --- Adding a match.

// Which seats of a match just added broke a record (rank 1 of a RecordKind).
struct NewBests {
  bool seat[kMaxPlayers] = {};
};

// Adds a finished match and its darts (the match's id is given here), then
// folds the oldest darts beyond keep (a smaller bound suits a small store).
void bookAddMatch(Book *book, BookMatch match, std::vector<BookDart> darts,
                  NewBests *news = nullptr, size_t keep = kBookDartsKept);
// Folds the oldest darts into their totals until at most keep are left.
void bookFold(Book *book, size_t keep);
// The match of that id, or null.
const BookMatch *bookFindMatch(const Book &book, int64_t id);

// --- Records.

enum RecordKind : int32_t {
  kRecord301FewestDarts,
  kRecord301BestAverage,
  kRecordCountUpFewestDarts,
  kRecordHighScoreBestTotal,
  kRecordClockFewestDarts,
  // The host's own games.
  kRecordX01FewestDarts,  // in a leg of 501
  kRecordX01HighestCheckout,
  kRecordCricketBestMarks,  // marks per round
  kRecordShanghaiBestTotal,
  kRecordBobs27BestScore,
};
constexpr int kRecordKinds = 10;
// The four handheld games' kinds come first.
constexpr int kRecordHandheldKinds = 5;
constexpr int kRecordPlaces = 5;

struct RecordInfo {
  int32_t game;
  bool lowerIsBetter;
  const char *title;  // e.g. "fewest darts to finish"
};
// By kind, from the table of games (host/games.cpp).
extern const std::array<RecordInfo, kRecordKinds> kRecordInfo;

struct RecordEntry {
  std::string name;
  int64_t time = 0;
  int64_t match = 0;
  int32_t seat = 0;
  bool cpu = false;
  double value = 0;  // darts, a total, or a 3-dart average
};

// The best kRecordPlaces, best first; an earlier match keeps its place on a tie.
// Seats that played assisted have records of their own (assisted true).
std::vector<RecordEntry> bookRecords(const Book &book, RecordKind kind, bool assisted = false);
// The records as text, for `tobelyn --records`.
std::string bookRecordsText(const Book &book);

// --- Statistics of one player (a name, a person's or a computer's), over
// every game.

constexpr int kTrendMatches = 10;

struct PlayerStats {
  int64_t matches = 0;
  int64_t darts = 0;
  int64_t matches301 = 0;
  int64_t finished301 = 0;
  double average301 = 0;                        // 3-dart average over every "301" match
  double average301Recent = 0;                  // over the last kTrendMatches of them
  std::vector<double> trend301;                 // each of those, oldest first
  int64_t ringDarts = 0;                        // darts behind the ring counts below
  int64_t rings[kRingCells] = {};               // kept and folded darts together
  int64_t triples = 0, doubles = 0, bulls = 0;  // bulls: either ring
  int32_t bestSector = 0, worstSector = 0;      // most and least hit of 1 to 20; 0: a tie
  // Assisted play, kept out of every figure above: the matches this player
  // played assisted, and the darts thrown at a slower pace.
  int64_t assistedMatches = 0;
  int64_t assistedDarts = 0;
};
PlayerStats bookPlayerStats(const Book &book, std::string_view name,
                            PlayerKind kind = PlayerKind::kPerson);

// The landing map: counts per grid cell of a name's darts, in one game or
// (game -1) all.
std::vector<uint32_t> bookLandingGrid(const Book &book, std::string_view name, int32_t game,
                                      PlayerKind kind = PlayerKind::kPerson);
// Every player in the book, sorted by name (a person before a computer of
// the same name), each once.
struct BookPlayer {
  std::string name;
  PlayerKind kind = PlayerKind::kPerson;
  bool operator==(const BookPlayer &other) const = default;
};
std::vector<BookPlayer> bookPlayers(const Book &book);

// --- Words.

// The local wall clock as the book keeps time: seconds since 1970-01-01
// 00:00 of the player's own time zone (a WallClock for the recorder).
int64_t localClockNow();

std::string formatDate(int64_t time);      // "2026-12-07"
std::string formatDateTime(int64_t time);  // "2026-12-07 14:05:09"
// The summary card's result of one seat: "won, checked out in 22 darts",
// "not finished, 13 left", "reached 200 in 19 darts", "164 at the end",
// "1260 after seven rounds, 1st place", "finished in 41 darts", "reached 14".
std::string matchResultWords(const BookMatch &match, int seat);
// "3-dart average 41.0", or in "Round The Clock" "2.9 darts a number".
std::string matchAverageWords(const BookMatch &match, int seat);

// --- Assisted play: a dart or a seat's match thrown at a slower pace (a
// seat's assist) carries the field "assist=P" (P 2 or 3) on its D line, or
// "assist=P,P,..." (one a seat, 1 at full pace) on its M line; darts folded
// from assisted play go to totals of their own, marked "assisted=1". Records
// and statistics keep assisted play apart from play at full pace.
int32_t bookDartAssist(const BookDart &dart);  // 1: full pace
int32_t bookSeatAssist(const BookMatch &match, int seat);
bool bookTotalsAssisted(const BookTotals &totals);
void bookMarkDartAssist(BookDart *dart, int32_t pace);
// Marks the match only when some seat was assisted.
void bookMarkMatchAssist(BookMatch *match, const int32_t (&pace)[kMaxPlayers]);

// --- Export: a header row, then one row a dart; RFC 4180 (CRLF, quoted
// fields where needed).
std::string csvField(std::string_view text);
std::string bookCsv(const Book &book);

// --- A friend far away (host/correspondence.h): the friend's seat of a
// match carries "friend=S" on its M line (S the seat), the friend's darts
// "friend=1" on their D lines and the totals folded from them "friend=1",
// so that a friend is never the same player as a person of the same name.
// A book without these fields reads as before.
bool bookSeatFriend(const BookMatch &match, int seat);
bool bookDartFriend(const BookDart &dart);
bool bookTotalsFriend(const BookTotals &totals);
void bookMarkMatchFriend(BookMatch *match, int seat);
void bookMarkDartFriend(BookDart *dart);
// Who threw from a seat, a dart, a line of totals.
PlayerKind bookSeatKind(const BookMatch &match, int seat);
PlayerKind bookDartKind(const BookDart &dart);
PlayerKind bookTotalsKind(const BookTotals &totals);
