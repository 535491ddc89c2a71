// Keeping the player book while the game runs: the recorder watches every
// pass, a match that reaches its end goes into the book and the book is
// written at once (after the pass, never while a frame is drawn). The
// summary card shows that match over the game's end screen until the press
// that leaves it.
#include "host/player_book.h"

#include <cstdio>
#include <cstdlib>

#include "app/scene.h"
#include "game/match.h"
#include "host/assist.h"
#include "host/correspondence.h"
#include "host/host_games.h"
#include "host/host_internal.h"
#include "host/match_codes.h"
#include "host/seats.h"
#include "host/share.h"
#include "host/summary_card.h"
#ifdef TOBELYN_NATIVE_WIN32
#include "platform/common/wide_path.h"
#endif

namespace {

struct Keeper {
  bool open = false;
  std::string path;  // empty: in memory only
  Book book;
  Recorder recorder;
  bool saveFailed = false;
  size_t budget = 0;
  bool changed = false;
  uint64_t changes = 0;  // every change, for the pages' figures
  // The summary card.
  bool showCard = true;
  bool card = false;
  BookMatch cardMatch;
  NewBests cardNews;
};

Keeper keeper;

void save() {
  if (keeper.path.empty()) return;
  // A book that is not ours (or a newer one) is shown but left alone.
  if (!bookWritable(keeper.book)) return;
  keeper.saveFailed = !bookSave(keeper.path.c_str(), keeper.book);
}

// Halves the darts kept one by one until the text fits the budget; the
// matches and the folded totals keep records and statistics exact.
void keepWithinBudget() {
  if (keeper.budget == 0) return;
  while (!keeper.book.darts.empty() && bookFormat(keeper.book).size() > keeper.budget)
    bookFold(&keeper.book, keeper.book.darts.size() / 2);
}

void recordPass(const HostView &view) {
  for (int seat = 0; seat < kSeatCount && seat < kMaxPlayers; ++seat)
    (void)recorderSetName(&keeper.recorder, seat, hostSeatName(seat));
  RecorderView seen;
  seen.inMatch = view.scene == HostScene::kMatch;
  seen.sceneStep = view.sceneStep;
  seen.match = view.match;
  seen.gameMode = view.gameMode;
  seen.playerCount = view.playerCount;
  const RecorderEvent event = recorderObserve(&keeper.recorder, seen);
  // Each dart keeps the pace it was thrown at, each match its seats'.
  if (event == RecorderEvent::kDart && !keeper.recorder.currentDarts.empty()) {
    BookDart &dart = keeper.recorder.currentDarts.back();
    bookMarkDartAssist(&dart, hostDartAssist(dart.seat));
  }
  // A match watched again is not the player's to keep.
  if (event == RecorderEvent::kMatchEnd && hostPlayback() != HostPlayback::kWatching) {
    if (!keeper.recorder.endedDarts.empty()) {
      BookDart &dart = keeper.recorder.endedDarts.back();
      bookMarkDartAssist(&dart, hostDartAssist(dart.seat));
    }
    int32_t paces[kMaxPlayers];
    for (int seat = 0; seat < kMaxPlayers; ++seat) paces[seat] = hostMatchAssist(seat);
    bookMarkMatchAssist(&keeper.recorder.endedMatch, paces);
    // The computer seats' levels and seed go with the match, so that it can be
    // told from a person's and its darts played again.
    BookMatch &ended = keeper.recorder.endedMatch;
    // A game of the host's own: its options, legs and darts as its rules counted them.
    (void)hostGameFillBook(&ended, &keeper.recorder.endedDarts);
    ended.seed = hostMatchSeed();
    for (int seat = 0; seat < ended.players; ++seat)
      ended.seats[seat].cpuLevel = hostMatchCpuLevel(seat);
    // A friend far away is a player of their own.
    hostMarkFriendInBook(&ended);
    // Its code, so that it can be watched again (an extra field of its line).
    if (!hostMatchCode().empty()) ended.more += " code=" + hostMatchCode();
    keeper.cardNews = NewBests{};
    bookAddMatch(&keeper.book, keeper.recorder.endedMatch, keeper.recorder.endedDarts,
                 &keeper.cardNews);
    keeper.cardMatch = keeper.book.matches.back();
    keepWithinBudget();
    keeper.card = keeper.showCard;
    keeper.changed = true;
    ++keeper.changes;
    save();
  }
  if (view.scene != HostScene::kMatch) keeper.card = false;
}

}  // namespace

void bookKeeperOpen(const char *path, WallClock clock) {
  keeper.path = path != nullptr ? path : "";
  keeper.book = Book{};
  keeper.saveFailed = false;
  keeper.card = false;
  if (!keeper.path.empty()) bookLoad(keeper.path.c_str(), &keeper.book);
  ++keeper.changes;
  recorderInit(&keeper.recorder, clock);
  keeper.open = true;
}

bool hostBookDefaultPath(std::string *out) {
#if defined(TOBELYN_NATIVE_WIN32)
  std::string appData;
  return environmentUtf8(L"APPDATA", &appData) && bookPathWindows(appData.c_str(), out);
#elif defined(__EMSCRIPTEN__)
  *out = "/tobelyn/book";
  return true;
#else
  return bookPathPosix(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), out);
#endif
}

void hostBookSetBudget(size_t bytes) { keeper.budget = bytes; }

void hostBookFinish() {
  if (keeper.open && keeper.saveFailed) save();
}

const Book &hostBook() { return keeper.book; }

Book &hostBookForPages() { return keeper.book; }

void hostBookChangedByPages() {
  keeper.changed = true;
  ++keeper.changes;
  save();
}

uint64_t hostBookChanges() { return keeper.changes; }

bool hostBookTakeChanged() {
  const bool changed = keeper.changed;
  keeper.changed = false;
  return changed;
}

void hostBookReplace(const Book &book) {
  keeper.book = book;
  keeper.changed = false;
  ++keeper.changes;
}

void hostShowSummary(bool on) { keeper.showCard = on; }

bool hostSummaryShown() {
  // Read from the game's live state, so that the pass that leaves the end
  // screen already shows its next picture without the card.
  return keeper.card && frameHandler == matchSceneFrame &&
         (sceneStep == kMatchEndScreen || sceneStep == kMatchEndShown);
}

const BookMatch &hostSummaryMatch() { return keeper.cardMatch; }
bool hostSummaryNewBest(int seat) {
  return seat >= 0 && seat < kMaxPlayers && keeper.cardNews.seat[seat];
}

namespace {

bool summaryOverlay(HostLayer &layer, const HostView &) {
  if (!hostSummaryShown()) return false;
  drawSummaryCard(layer, keeper.cardMatch, keeper.cardNews, codesCanRematch());
  drawSummaryShare(layer, keeper.cardMatch.players, !hostMatchCode().empty());
  return true;
}

const HostFeature kBookKeeper = {.name = "book",
                                 .observe = recordPass,
                                 .matchStarted = nullptr,
                                 .matchFinished = nullptr,
                                 .overlay = summaryOverlay,
                                 .overlayOrder = 10,
                                 .caption = nullptr,
                                 .readSetting = nullptr,
                                 .writeSettings = nullptr,
                                 .settingRows = nullptr,
                                 .settingRowCount = 0,
                                 .finish = hostBookFinish,
                                 .reset = nullptr};

}  // namespace

void registerBookKeeper() { (void)hostAddFeature(&kBookKeeper); }
