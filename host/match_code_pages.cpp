// The menu's entries for matches as codes: resume the kept match, rematch,
// skip a watched match to its end (under Play...), stop watching it (under
// Quit...), and watch a finished match of the book again (under Player
// book...).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/book.h"
#include "host/host_internal.h"
#include "host/match_codes.h"
#include "host/player_book.h"

namespace {

bool inMatch() { return hostLastView().scene == HostScene::kMatch; }

// What the last action said, shown until the page is left.
std::string note;

void noteDraw(HostLayer &layer, const char *title) {
  layerPanel(layer, title);
  // The note in lines of at most 34 letters, broken at spaces.
  std::string rest = note;
  int32_t y = 80;
  while (!rest.empty()) {
    size_t cut = rest.size() <= 34 ? rest.size() : rest.rfind(' ', 34);
    if (cut == std::string::npos || cut == 0) cut = rest.size() < 34 ? rest.size() : 34;
    layerTextCentred(layer, y, rest.substr(0, cut).c_str(), kTextColour);
    rest = rest.substr(cut);
    while (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
    y += 14;
  }
  drawFoot(layer, "B: back");
}

void backKey(HostAction action) {
  if (action == HostAction::kBack || action == HostAction::kConfirm) hostOpenParent();
}
bool backTap(int32_t x, int32_t y) {
  if (footButtonAt(x, y) == FootButton::kNone) return false;
  hostOpenParent();
  return true;
}
int32_t noteRows(HostRow *rows, int32_t max) {
  if (max < 1) return 0;
  std::snprintf(rows[0].label, sizeof rows[0].label, "%.39s", note.c_str());
  rows[0].value[0] = 0;
  rows[0].chosen = true;
  return 1;
}

// --- Resume match.

bool resumeAvailable() {
  return !inMatch() && hostPlayback() == HostPlayback::kNone && !hostKeptMatch().empty();
}
void resumeOpened() {
  note.clear();
  if (!hostResumeKept(&note)) return;
}
void resumeDraw(HostLayer &layer) { noteDraw(layer, "Resume match"); }

// --- Rematch, skip, stop: actions that close the menu.

void rematchOpened() { (void)hostRematch(); }
void skipOpened() {
  codesSkip();
  hostCloseMenu();
}
void stopOpened() {
  hostCloseMenu();
  quitToTitle();
}
void nothingDraw(HostLayer &layer) { layerPanel(layer, ""); }

// --- Watch a match: the book's finished matches with a code, newest first.

constexpr int32_t kWatchRows = 8;
struct Watchable {
  std::string label;
  std::string code;
};
std::vector<Watchable> watchable;
int32_t watchRow;

// Whose matches the list holds: everybody's (Player book > Watch a match)
// or one player's (Statistics > Recent matches, which goes back there).
bool recentOnly;
BookPlayer recentOf;

bool listed(const BookMatch &m) {
  if (!recentOnly) return true;
  for (int32_t i = 0; i < m.players && i < kMaxPlayers; ++i)
    if (m.seats[i].name == recentOf.name && bookSeatKind(m, i) == recentOf.kind) return true;
  return false;
}

void fillWatchable() {
  note.clear();
  watchable.clear();
  watchRow = 0;
  const Book &book = hostBook();
  for (auto m = book.matches.rbegin(); m != book.matches.rend(); ++m) {
    if (static_cast<int32_t>(watchable.size()) == kWatchRows) break;
    std::string code = bookMatchCode(*m);
    if (code.empty() || !listed(*m)) continue;
    // The day first (month-day), so that matches of the same seats differ.
    std::string label =
        formatDate(m->time).substr(5) + " " + gameName(m->game) + ": " + m->seats[0].name;
    for (int32_t i = 1; i < m->players && i < kMaxPlayers; ++i) label += ", " + m->seats[i].name;
    watchable.push_back({label.substr(0, 38), code});
  }
}

void watchOpened() {
  recentOnly = false;
  fillWatchable();
}

void recentOpened() {
  recentOnly = true;
  fillWatchable();
}

void watchBack() {
  if (recentOnly)
    hostOpenPage("stats");
  else
    hostOpenParent();
}

int32_t watchRowsData(HostRow *rows, int32_t max) {
  int32_t n = 0;
  for (const Watchable &w : watchable) {
    if (n == max) break;
    std::snprintf(rows[n].label, sizeof rows[n].label, "%s", w.label.c_str());
    rows[n].value[0] = 0;
    rows[n].chosen = n == watchRow;
    ++n;
  }
  return n;
}

void watchDraw(HostLayer &layer) {
  const char *title = recentOnly ? "Recent matches" : "Watch a match";
  if (!note.empty()) {
    noteDraw(layer, title);
    return;
  }
  layerPanel(layer, title);
  if (watchable.empty()) {
    layerTextCentred(
        layer, 80, recentOnly ? "No match of theirs to watch." : "No finished match to watch yet.",
        kQuietColour);
  } else {
    HostRow rows[kHostRowsMax];
    layerRows(layer, rows, watchRowsData(rows, kHostRowsMax));
  }
  drawFoot(layer, "A: watch  B: back");
}

void watchChosen() {
  if (watchRow < 0 || watchRow >= static_cast<int32_t>(watchable.size())) return;
  (void)hostPlayCode(watchable[watchRow].code, CodePlay::kWatch, &note);
}

void watchKey(HostAction action) {
  if (!note.empty()) {
    note.clear();
    if (action == HostAction::kBack) watchBack();
    return;
  }
  const int32_t count = static_cast<int32_t>(watchable.size());
  if (action == HostAction::kUp && count > 0) watchRow = watchRow > 0 ? watchRow - 1 : count - 1;
  if (action == HostAction::kDown && count > 0) watchRow = watchRow + 1 < count ? watchRow + 1 : 0;
  if (action == HostAction::kConfirm) watchChosen();
  if (action == HostAction::kBack) watchBack();
}

bool watchTap(int32_t x, int32_t y) {
  if (footButtonAt(x, y) == FootButton::kBack) {
    watchBack();
    return true;
  }
  const int32_t row = layerRowAt(x, y);
  if (row < 0 || row >= static_cast<int32_t>(watchable.size())) return false;
  watchRow = row;
  watchChosen();
  return true;
}

int32_t watchRowsOrNote(HostRow *rows, int32_t max) {
  return note.empty() ? watchRowsData(rows, max) : noteRows(rows, max);
}

const HostPage kResumePage = {.name = "resume-match",
                              .title = "Resume match",
                              .under = "play",
                              .available = resumeAvailable,
                              .draw = resumeDraw,
                              .key = backKey,
                              .tap = backTap,
                              .typed = nullptr,
                              .opened = resumeOpened,
                              .left = nullptr,
                              .rows = noteRows};
const HostPage kRematchPage = {.name = "rematch",
                               .title = "Rematch",
                               .under = "play",
                               .available = codesCanRematch,
                               .draw = nothingDraw,
                               .key = backKey,
                               .tap = backTap,
                               .typed = nullptr,
                               .opened = rematchOpened,
                               .left = nullptr,
                               .rows = nullptr};
const HostPage kSkipPage = {.name = "skip-to-end",
                            .title = "Skip to end",
                            .under = "play",
                            .available = codesCanSkip,
                            .draw = nothingDraw,
                            .key = backKey,
                            .tap = backTap,
                            .typed = nullptr,
                            .opened = skipOpened,
                            .left = nullptr,
                            .rows = nullptr};
const HostPage kStopPage = {.name = "stop-watching",
                            .title = "Stop watching",
                            .under = "quit",
                            .available = codesWatching,
                            .draw = nothingDraw,
                            .key = backKey,
                            .tap = backTap,
                            .typed = nullptr,
                            .opened = stopOpened,
                            .left = nullptr,
                            .rows = nullptr};
const HostPage kWatchPage = {.name = "watch",
                             .title = "Watch a match",
                             .under = "book",
                             .available = nullptr,
                             .draw = watchDraw,
                             .key = watchKey,
                             .tap = watchTap,
                             .typed = nullptr,
                             .opened = watchOpened,
                             .left = nullptr,
                             .rows = watchRowsOrNote};
// One player's matches, opened from Statistics (not listed in the menu).
const HostPage kRecentPage = {.name = "recent",
                              .title = nullptr,
                              .under = nullptr,
                              .available = nullptr,
                              .draw = watchDraw,
                              .key = watchKey,
                              .tap = watchTap,
                              .typed = nullptr,
                              .opened = recentOpened,
                              .left = nullptr,
                              .rows = watchRowsOrNote};

}  // namespace

void hostWatchRecentOf(const BookPlayer &player) {
  recentOf = player;
  hostOpenPage("recent");
}

std::string bookMatchCode(const BookMatch &m) {
  const size_t at = m.more.find(" code=");
  if (at == std::string::npos) return {};
  const size_t from = at + 6;
  const size_t end = m.more.find(' ', from);
  return m.more.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

void registerCodePages() {
  for (const HostPage *page : {&kResumePage, &kRematchPage, &kSkipPage, &kStopPage})
    (void)hostAddPage(page);
}

void registerWatchPage() {
  (void)hostAddPage(&kWatchPage);
  (void)hostAddPage(&kRecentPage);
}
