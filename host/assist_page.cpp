// The Assists page, opened from the Players page: two rows a seat, its
// assist (Off, 1/2 pace, 1/3 pace) and its auto-continue, then a row a seat
// for its sound cues (host/ear_cues.h). A computer seat has none: its rows
// say so and do not change.
#include <cstdio>

#include "host/assist.h"
#include "host/ear_cues.h"
#include "host/host_internal.h"
#include "host/seats.h"

namespace {

constexpr int32_t kAssistRows = 2 * kSeatCount;
// The cues' rows come after the others, a seat each.
constexpr int32_t kRowCount = kAssistRows + kSeatCount;
int32_t assistRow;
// Twelve rows: a little closer than other pages' so that the last one
// clears the foot.
constexpr HostRowBox kAssistRowsBox = {kPageRows.x, kPageRows.y, kPageRows.w, 18, kPageRows.h};

int32_t seatOfRow(int32_t row) { return row / 2; }
bool isPaceRow(int32_t row) { return row % 2 == 0; }

void changeRow(int32_t row, int32_t direction) {
  if (row >= kAssistRows && row < kRowCount) {
    const int32_t seat = row - kAssistRows;
    if (!hostSeatIsCpu(seat)) hostSetSeatCues(seat, !hostSeatCues(seat));
    return;
  }
  const int32_t seat = seatOfRow(row);
  if (row < 0 || row >= kAssistRows || hostSeatIsCpu(seat)) return;
  if (isPaceRow(row)) {
    // Off, 1/2, 1/3 and round again, either way.
    const int32_t pace = hostSeatAssist(seat) - 1;
    hostSetSeatAssist(seat, (pace + direction + 3) % 3 + 1);
  } else {
    hostSetSeatAutoContinue(seat, !hostSeatAutoContinue(seat));
  }
}

int32_t assistRowsData(HostRow *rows, int32_t max) {
  int32_t count = 0;
  for (int32_t row = 0; row < kAssistRows && count < max; ++row) {
    HostRow &r = rows[count++];
    r = HostRow{};
    r.chosen = row == assistRow;
    const int32_t seat = seatOfRow(row);
    // Short enough for the page's large letters: the seat's number as the
    // Players page gives it.
    if (isPaceRow(row))
      std::snprintf(r.label, sizeof r.label, "Seat %d", static_cast<int>(seat + 1));
    else
      std::snprintf(r.label, sizeof r.label, "  Auto-continue");
    const bool cpu = hostSeatIsCpu(seat);
    const char *value = isPaceRow(row) ? (cpu ? "none (CPU)" : assistName(hostSeatAssist(seat)))
                        : cpu          ? "-"
                        : hostSeatAutoContinue(seat) ? "on"
                                                     : "off";
    std::snprintf(r.value, sizeof r.value, "%s", value);
  }
  for (int32_t seat = 0; seat < kSeatCount && count < max; ++seat) {
    HostRow &r = rows[count++];
    r = HostRow{};
    r.chosen = kAssistRows + seat == assistRow;
    std::snprintf(r.label, sizeof r.label, "Seat %d cues", static_cast<int>(seat + 1));
    const char *value = hostSeatIsCpu(seat) ? "-" : hostSeatCues(seat) ? "on" : "off";
    std::snprintf(r.value, sizeof r.value, "%s", value);
  }
  return count;
}

void assistDraw(HostLayer &layer) {
  layerPanel(layer, "Assists");
  HostRow rows[kHostRowsMax];
  layerRows(layer, rows, assistRowsData(rows, kHostRowsMax), kAssistRowsBox);
  drawFoot(layer, "Left/Right: change  B: back");
}

void backToPlayers() { hostOpenPage("players"); }

void assistKey(HostAction action) {
  if (action == HostAction::kUp) assistRow = assistRow > 0 ? assistRow - 1 : kRowCount - 1;
  if (action == HostAction::kDown) assistRow = assistRow + 1 < kRowCount ? assistRow + 1 : 0;
  if (action == HostAction::kLeft) changeRow(assistRow, -1);
  if (action == HostAction::kRight || action == HostAction::kConfirm) changeRow(assistRow, 1);
  if (action == HostAction::kBack) backToPlayers();
}

bool assistTap(int32_t x, int32_t y) {
  const FootButton foot = footButtonAt(x, y);
  if (foot == FootButton::kBack) backToPlayers();
  if (foot == FootButton::kPrevious) changeRow(assistRow, -1);
  if (foot == FootButton::kNext) changeRow(assistRow, 1);
  if (foot != FootButton::kNone) return true;
  const int32_t row = layerRowAt(x, y, kAssistRowsBox);
  if (row < 0 || row >= kRowCount) return false;
  assistRow = row;
  changeRow(row, 1);
  return true;
}

void assistOpened() { assistRow = 0; }

const HostPage kAssistPage = {.name = "assists",
                              .title = nullptr,
                              .under = nullptr,
                              .available = nullptr,
                              .draw = assistDraw,
                              .key = assistKey,
                              .tap = assistTap,
                              .typed = nullptr,
                              .opened = assistOpened,
                              .left = nullptr,
                              .rows = assistRowsData};

}  // namespace

void registerAssistPage() { (void)hostAddPage(&kAssistPage); }
