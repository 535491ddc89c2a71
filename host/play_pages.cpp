// The menu's Play... group: a page for each of the host's games, with its
// options and the number of players, remembered in the host's file. Offered
// at the title, never during a match.
#include <cstdio>
#include <cstring>

#include "host/host_games.h"
#include "host/host_internal.h"

namespace {

// The rows of a game's page, top to bottom; X01 has them all, the other
// games only the players and the start.
enum PlayRow : int32_t { kRowPlayers, kRowStart, kRowIn, kRowOut, kRowLegs, kRowPlay };

int32_t pageMode = kHostGameX01;
int32_t playRow;

int32_t rowCount() { return pageMode == kHostGameX01 ? 6 : 2; }
PlayRow rowAt(int32_t index) {
  if (pageMode != kHostGameX01) return index == 0 ? kRowPlayers : kRowPlay;
  return static_cast<PlayRow>(index);
}

template <typename T>
T stepIn(const T *values, int32_t count, T now, int32_t direction) {
  int32_t at = 0;
  for (int32_t i = 0; i < count; ++i)
    if (values[i] == now) at = i;
  return values[(at + direction + count) % count];
}

const char *inWords(X01In in) { return in == X01In::kDouble ? "double" : "straight"; }
const char *outWords(X01Out out) {
  return out == X01Out::kDouble ? "double" : out == X01Out::kMaster ? "master" : "straight";
}

void change(int32_t direction) {
  HostGameChoice &c = hostGameRemembered(pageMode);
  static const int32_t starts[] = {301, 501, 701};
  static const int32_t legs[] = {1, 3, 5};
  static const X01In ins[] = {X01In::kStraight, X01In::kDouble};
  static const X01Out outs[] = {X01Out::kStraight, X01Out::kDouble, X01Out::kMaster};
  switch (rowAt(playRow)) {
    case kRowPlayers:
      hostGamePlayers() = (hostGamePlayers() - 1 + direction + kHostSeats) % kHostSeats + 1;
      break;
    case kRowStart:
      c.x01.start = stepIn(starts, 3, c.x01.start, direction);
      break;
    case kRowIn:
      c.x01.in = stepIn(ins, 2, c.x01.in, direction);
      break;
    case kRowOut:
      c.x01.out = stepIn(outs, 3, c.x01.out, direction);
      break;
    case kRowLegs:
      c.x01.legs = stepIn(legs, 3, c.x01.legs, direction);
      break;
    case kRowPlay:
      return;
  }
  hostGameChosen();
}

void startGame() {
  const HostGameChoice choice = hostGameRemembered(pageMode);
  hostCloseMenu();
  hostPlayGame(choice, hostGamePlayers());
}

int32_t playRows(HostRow *rows, int32_t max) {
  const HostGameChoice &c = hostGameRemembered(pageMode);
  const int32_t n = rowCount() < max ? rowCount() : max;
  for (int32_t i = 0; i < n; ++i) {
    HostRow &row = rows[i];
    row = HostRow{};
    row.chosen = i == playRow;
    const char *label = "";
    char value[sizeof row.value] = "";
    switch (rowAt(i)) {
      case kRowPlayers:
        label = "Players";
        std::snprintf(value, sizeof value, "%d", static_cast<int>(hostGamePlayers()));
        break;
      case kRowStart:
        label = "Start";
        std::snprintf(value, sizeof value, "%d", static_cast<int>(c.x01.start));
        break;
      case kRowIn:
        label = "In";
        std::snprintf(value, sizeof value, "%s", inWords(c.x01.in));
        break;
      case kRowOut:
        label = "Out";
        std::snprintf(value, sizeof value, "%s", outWords(c.x01.out));
        break;
      case kRowLegs:
        label = "Legs";
        std::snprintf(value, sizeof value, "best of %d", static_cast<int>(c.x01.legs));
        break;
      case kRowPlay:
        label = "Play";
        break;
    }
    std::snprintf(row.label, sizeof row.label, "%s", label);
    std::snprintf(row.value, sizeof row.value, "%s", value);
  }
  return n;
}

void playDraw(HostLayer &layer) {
  layerPanel(layer, gameName(pageMode));
  HostRow rows[kHostRowsMax];
  layerRows(layer, rows, playRows(rows, kHostRowsMax));
  drawFoot(layer, "Left/Right: change  B: back");
}

void playKey(HostAction action) {
  const int32_t rows = rowCount();
  if (action == HostAction::kUp) playRow = playRow > 0 ? playRow - 1 : rows - 1;
  if (action == HostAction::kDown) playRow = playRow + 1 < rows ? playRow + 1 : 0;
  if (action == HostAction::kLeft) change(-1);
  if (action == HostAction::kRight) change(1);
  if (action == HostAction::kConfirm) {
    if (rowAt(playRow) == kRowPlay)
      startGame();
    else
      change(1);
  }
  if (action == HostAction::kBack) hostOpenParent();
}

bool playTap(int32_t x, int32_t y) {
  const FootButton foot = footButtonAt(x, y);
  if (foot == FootButton::kBack) hostOpenParent();
  if (foot == FootButton::kPrevious) change(-1);
  if (foot == FootButton::kNext) change(1);
  if (foot != FootButton::kNone) return true;
  const int32_t row = layerRowAt(x, y);
  if (row < 0 || row >= rowCount()) return false;
  playRow = row;
  playKey(HostAction::kConfirm);
  return true;
}

bool atTheTitle() { return hostLastView().scene != HostScene::kMatch; }

void x01Opened() {
  pageMode = kHostGameX01;
  playRow = 0;
}
void cricketOpened() {
  pageMode = kHostGameCricket;
  playRow = 0;
}
void shanghaiOpened() {
  pageMode = kHostGameShanghai;
  playRow = 0;
}
void bobs27Opened() {
  pageMode = kHostGameBobs27;
  playRow = 0;
}

const HostPage kX01Page = {.name = "x01",
                           .title = "X01",
                           .under = "play",
                           .available = atTheTitle,
                           .draw = playDraw,
                           .key = playKey,
                           .tap = playTap,
                           .typed = nullptr,
                           .opened = x01Opened,
                           .left = nullptr,
                           .rows = playRows};
const HostPage kCricketPage = {.name = "cricket",
                               .title = "Cricket",
                               .under = "play",
                               .available = atTheTitle,
                               .draw = playDraw,
                               .key = playKey,
                               .tap = playTap,
                               .typed = nullptr,
                               .opened = cricketOpened,
                               .left = nullptr,
                               .rows = playRows};

const HostPage kShanghaiPage = {.name = "shanghai",
                                .title = "Shanghai",
                                .under = "play",
                                .available = atTheTitle,
                                .draw = playDraw,
                                .key = playKey,
                                .tap = playTap,
                                .typed = nullptr,
                                .opened = shanghaiOpened,
                                .left = nullptr,
                                .rows = playRows};
const HostPage kBobs27Page = {.name = "bobs27",
                              .title = "Bob's 27",
                              .under = "play",
                              .available = atTheTitle,
                              .draw = playDraw,
                              .key = playKey,
                              .tap = playTap,
                              .typed = nullptr,
                              .opened = bobs27Opened,
                              .left = nullptr,
                              .rows = playRows};

}  // namespace

void registerPlayPages() {
  (void)hostAddPage(&kX01Page);
  (void)hostAddPage(&kCricketPage);
  (void)hostAddPage(&kShanghaiPage);
  (void)hostAddPage(&kBobs27Page);
}
