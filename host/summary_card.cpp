// The summary card: each seat's "PLAYER n · NAME", its result and its darts,
// over the end screen's scoreboard and below its captions. The winner's
// block is lit in gold; a match played alone that was finished (checked
// out, 200 reached, the clock gone round) is shown as the win it is, in a
// gold frame, while the game's own "GameOver" stays above.
#include "host/summary_card.h"

#include <cstdio>
#include <cstring>

#include "app/settings.h"
#include "game/match.h"
#include "host/book.h"

namespace {

constexpr int32_t kLineStep = 10;
constexpr int32_t kBlockStep = 3 * kLineStep + 2;
constexpr int32_t kHeadRoom = 18;  // the card's heading
constexpr int32_t kFootRoom = 13;  // "A: next"
constexpr int32_t kHighestTop = kEndCaptionsBottom + 4;
constexpr int32_t kLowestTop = kScoreboardTop - 8;

constexpr HostColour kGold = {255, 200, 40};
constexpr HostColour kWinnerFill = {64, 48, 8};  // behind the winner's block: gold 7:1 on it

bool soloWin(const BookMatch &m) { return m.players == 1 && m.seats[0].finished; }

// "PLAYER n", a dot, then the seat's name (unless it is that same "PLAYER n").
int32_t drawSeatName(HostLayer &layer, int32_t x, int32_t y, int32_t seat, const char *name,
                     HostColour c) {
  char player[16];
  std::snprintf(player, sizeof player, "PLAYER %d", static_cast<int>(seat + 1));
  int32_t at = x + layerText(layer, x, y, player, c);
  if (std::strcmp(player, name) == 0) return at;
  layerFill(layer, at + 3, y + 3, 2, 2, c);
  at += 8;
  return at + layerText(layer, at, y, name, c);
}

int32_t footY(const HostRect &r) { return r.y + r.h - kFootRoom + 1; }

}  // namespace

const char *summaryRematchWords() {
  switch (hostDevice()) {
    case HostDevice::kPad:
      return "Pad X: rematch";  // the pad's west (and north) face button is C
    case HostDevice::kTouch:
      return "Tap here: rematch";
    case HostDevice::kKeyboard:
      break;
  }
  static char words[32];
  std::snprintf(words, sizeof words, "%s: rematch", keyName(keyBindings[kButtonC]));
  return words;
}

HostRect summaryRematchBox(int32_t players) {
  const HostRect r = summaryCardRect(players);
  const int32_t w = textWidth(summaryRematchWords());
  // A little room round the words, for a finger.
  return {r.x + r.w - 8 - w - 4, footY(r) - 4, w + 8, r.y + r.h - footY(r) + 4};
}

HostRect summaryCardRect(int32_t players) {
  if (players < 1) players = 1;
  if (players > kMaxPlayers) players = kMaxPlayers;
  const int32_t wanted = kHeadRoom + players * kBlockStep + kFootRoom + 2;
  int32_t top = kLayerHeight - wanted;
  if (top > kLowestTop) top = kLowestTop;
  if (top < kHighestTop) top = kHighestTop;
  return {0, top, kLayerWidth, kLayerHeight - top};
}

void drawSummaryCard(HostLayer &layer, const BookMatch &m, const NewBests &news, bool rematch) {
  const HostRect r = summaryCardRect(m.players);
  const bool solo = soloWin(m);
  // The whole width down to the picture's foot: a black line apart from
  // the board, the frame (gold for a win alone), then the panel.
  layerFill(layer, r.x, r.y, r.w, r.h, {0, 0, 0});
  layerFill(layer, r.x + 1, r.y + 1, r.w - 2, r.h - 1, solo ? kGold : kEdgeColour);
  layerFill(layer, r.x + 3, r.y + 3, r.w - 6, r.h - 5, kPanelColour);
  char title[48];
  if (solo)
    std::snprintf(title, sizeof title, "%s: finished!", gameName(m.game));
  else
    std::snprintf(title, sizeof title, "%s: match summary", gameName(m.game));
  layerTextCentred(layer, r.y + 6, title, kChosenColour);
  int32_t y = r.y + kHeadRoom;
  for (int32_t seat = 0; seat < m.players && seat < kMaxPlayers; ++seat) {
    const BookSeat &s = m.seats[seat];
    const bool won = m.winner == seat || (m.players == 1 && s.finished);
    if (won) {
      layerFill(layer, r.x + 4, y - 2, r.w - 8, kBlockStep - 1, kGold);
      layerFill(layer, r.x + 5, y - 1, r.w - 10, kBlockStep - 3, kWinnerFill);
    }
    const HostColour nameColour = won ? kChosenColour : kTextColour;
    const int32_t x = drawSeatName(layer, r.x + 10, y, seat, s.name.c_str(), nameColour);
    const char *tag = won ? (m.players == 1 ? "FINISHED" : "WINNER") : nullptr;
    int32_t right = r.x + r.w - 10;
    if (tag != nullptr) {
      right -= textWidth(tag);
      layerText(layer, right, y, tag, kGold);
      right -= 8;
    }
    if (news.seat[seat] && right - textWidth("New best!") > x + 6)
      layerText(layer, right - textWidth("New best!"), y, "New best!", kChosenColour);
    layerText(layer, r.x + 18, y + kLineStep, matchResultWords(m, seat).c_str(), kTextColour);
    char line[80];
    std::snprintf(line, sizeof line, "%d darts, %s", static_cast<int>(s.darts),
                  matchAverageWords(m, seat).c_str());
    // An assisted seat says so: its figures stand apart from full pace.
    const int32_t pace = bookSeatAssist(m, seat);
    if (pace > 1) {
      const size_t used = std::strlen(line);
      std::snprintf(line + used, sizeof line - used, ", assisted 1/%d", static_cast<int>(pace));
    }
    layerText(layer, r.x + 18, y + 2 * kLineStep, line, kQuietColour);
    y += kBlockStep;
  }
  char next[32];
  std::snprintf(next, sizeof next, "%s: next", buttonAName());
  int32_t right = r.x + r.w - 8;
  if (rematch) {
    const char *words = summaryRematchWords();
    right -= textWidth(words);
    layerText(layer, right, footY(r), words, kChosenColour);
    right -= 12;
  }
  layerText(layer, right - textWidth(next), footY(r), next, kQuietColour);
}
