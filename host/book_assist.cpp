// Assisted play in the player book: the "assist=" fields a dart and a
// match carry, and the "assisted=1" mark of totals folded from assisted
// darts (host/book.h says where each goes). Plain reading and writing of
// those fields, used by the book and by what it tells. The "friend=" fields
// of a friend far away's seat, darts and totals are read the same way.
#include <string>
#include <string_view>

#include "host/book.h"

namespace {

// The value of a " name=value" field among a line's further fields.
std::string_view moreValue(std::string_view more, std::string_view name) {
  for (size_t at = 0; at < more.size();) {
    size_t end = more.find(' ', at + 1);
    if (end == std::string_view::npos) end = more.size();
    std::string_view field = more.substr(at, end - at);
    if (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    if (field.size() > name.size() && field.substr(0, name.size()) == name &&
        field[name.size()] == '=')
      return field.substr(name.size() + 1);
    at = end;
  }
  return {};
}

int32_t paceDigit(char c) { return c == '2' ? 2 : c == '3' ? 3 : 1; }

}  // namespace

int32_t bookDartAssist(const BookDart &dart) {
  const std::string_view v = moreValue(dart.more, "assist");
  return v.size() == 1 ? paceDigit(v[0]) : 1;
}

int32_t bookSeatAssist(const BookMatch &match, int seat) {
  // One digit a seat, joined by commas.
  const std::string_view v = moreValue(match.more, "assist");
  const size_t at = static_cast<size_t>(seat) * 2;
  if (seat < 0 || at >= v.size() || (at + 1 < v.size() && v[at + 1] != ',')) return 1;
  return paceDigit(v[at]);
}

bool bookTotalsAssisted(const BookTotals &totals) {
  return moreValue(totals.more, "assisted") == "1";
}

void bookMarkDartAssist(BookDart *dart, int32_t pace) {
  if (pace == 2 || pace == 3) dart->more += " assist=" + std::to_string(pace);
}

void bookMarkMatchAssist(BookMatch *match, const int32_t (&pace)[kMaxPlayers]) {
  bool any = false;
  std::string field = " assist=";
  for (int s = 0; s < match->players && s < kMaxPlayers; ++s) {
    const int32_t p = pace[s] == 2 || pace[s] == 3 ? pace[s] : 1;
    any = any || p > 1;
    if (s > 0) field += ',';
    field += static_cast<char>('0' + p);
  }
  if (any) match->more += field;
}

// --- A friend far away.

bool bookSeatFriend(const BookMatch &match, int seat) {
  const std::string_view v = moreValue(match.more, "friend");
  return seat >= 0 && v.size() == 1 && v[0] == static_cast<char>('0' + seat);
}

bool bookDartFriend(const BookDart &dart) { return moreValue(dart.more, "friend") == "1"; }

bool bookTotalsFriend(const BookTotals &totals) { return moreValue(totals.more, "friend") == "1"; }

void bookMarkMatchFriend(BookMatch *match, int seat) {
  if (seat >= 0 && seat < match->players && seat < 10)
    match->more += " friend=" + std::string(1, static_cast<char>('0' + seat));
}

void bookMarkDartFriend(BookDart *dart) { dart->more += " friend=1"; }

PlayerKind bookSeatKind(const BookMatch &match, int seat) {
  if (bookSeatFriend(match, seat)) return PlayerKind::kFriend;
  const bool cpu = seat >= 0 && seat < kMaxPlayers && match.seats[seat].cpuLevel != 0;
  return cpu ? PlayerKind::kComputer : PlayerKind::kPerson;
}

PlayerKind bookDartKind(const BookDart &dart) {
  if (bookDartFriend(dart)) return PlayerKind::kFriend;
  return dart.cpu ? PlayerKind::kComputer : PlayerKind::kPerson;
}

PlayerKind bookTotalsKind(const BookTotals &totals) {
  if (bookTotalsFriend(totals)) return PlayerKind::kFriend;
  return totals.cpu ? PlayerKind::kComputer : PlayerKind::kPerson;
}
