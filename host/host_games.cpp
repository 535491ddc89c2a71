// The host's games in the match: the slot's answers, the game's state
// after each dart, the layer drawn over the scoreboard strip and the
// remembered options.
#include "host/host_games.h"

#include <cstdio>
#include <cstring>

#include "game/match.h"
#include "host/checkouts.h"
#include "host/host_internal.h"

static_assert(kHostGameX01 == kHostGameFirst, "the host's games number from the match's first");
static_assert(kHostSeats == kMaxPlayers, "a seat for every player of the match");
static_assert(kHostDartsPerTurn == kDartsPerTurn, "the match's turn is the host games' turn");

namespace {

HostGamePlay play;
bool played = false;
HostGameChoice remembered[2] = {{kHostGameX01, {}}, {kHostGameCricket, {}}};
int32_t rememberedPlayers = 1;
bool optionsChosen = false;  // written to the host's file only once chosen

constexpr GameRules kCricketRules = {
    .startScore = 0, .target = kNoTarget, .roundLimit = kHostRoundLimit, .dartsPerTurn = 3};
GameRules x01Rules = {
    .startScore = 501, .target = 0, .roundLimit = kHostRoundLimit, .dartsPerTurn = 3};

bool isX01() { return play.choice.mode == kHostGameX01; }

const GameRules *slotRules(int32_t mode) {
  if (!played || mode != play.choice.mode) return nullptr;
  if (!isX01()) return &kCricketRules;
  x01Rules.startScore = play.x01.options.start;
  return &x01Rules;
}

X01DartResult x01Preview(int32_t score, int32_t sector) {
  const int32_t seat = play.x01.turn.seat;
  return x01Dart(play.x01.options, play.x01.left[seat], play.x01.opened[seat],
                 hostDartFrom(score, sector));
}

int32_t slotPoints(const MatchState &, int32_t score, int32_t sector) {
  if (isX01()) return x01Preview(score, sector).counted;
  return cricketPreview(play.cricket, hostDartFrom(score, sector)).points;
}

bool slotBusts(const MatchState &, int32_t score, int32_t sector) {
  return isX01() && x01Preview(score, sector).bust;
}

bool slotFinishes(const MatchState &, int32_t score, int32_t sector) {
  if (isX01()) return x01Preview(score, sector).checkout;
  CricketGame after = play.cricket;
  cricketThrow(after, hostDartFrom(score, sector));
  return after.finished && after.winner == play.cricket.turn.seat;
}

int32_t slotWinner(const MatchState &) {
  const int32_t w = isX01() ? play.x01.winner : play.cricket.winner;
  return w == kNobody ? kNoWinner : w;
}

bool slotApply(MatchState &m) {
  const HostDart dart = hostDartFrom(m.throwScore, m.hitSector);
  const HostTurn before = isX01() ? play.x01.turn : play.cricket.turn;
  bool over = false;
  if (isX01()) {
    over = x01Throw(play.x01, dart).matchOver;
    for (int32_t s = 0; s < kHostSeats; ++s) m.playerScores[s] = play.x01.left[s];
  } else {
    over = cricketThrow(play.cricket, dart).matchOver;
    for (int32_t s = 0; s < kHostSeats; ++s) m.playerScores[s] = play.cricket.points[s];
  }
  if (over) {
    // The last dart's turn stays on the board, as the handheld's games leave it.
    m.dartIndex = before.dart + 1;
    return true;
  }
  const HostTurn &turn = isX01() ? play.x01.turn : play.cricket.turn;
  m.currentPlayer = turn.seat;
  m.dartIndex = turn.dart;
  m.roundIndex = turn.round;
  return false;
}

void fillSlot() {
  hostGameSlot.rules = slotRules;
  hostGameSlot.points = slotPoints;
  hostGameSlot.busts = slotBusts;
  hostGameSlot.finishes = slotFinishes;
  hostGameSlot.winner = slotWinner;
  hostGameSlot.apply = slotApply;
}

void observe(const HostView &view) {
  // The slot is empty again once the match is left.
  if (view.scene != HostScene::kMatch && hostGameSlot.apply == slotApply)
    hostGameSlot = HostGameSlot{};
}

// --- The layer over the scoreboard strip.

// The strip under the board: the round line at 254, the players' frame
// from 272 with their scores at 299, a column of 59 pixels each from 22.
constexpr int32_t kStripTop = 252;
constexpr int32_t kColumnLeft = 4;
constexpr int32_t kColumnStep = 59;

bool aimingNow(int32_t step) { return step >= kMatchShowBoard && step <= kMatchFlight; }

void drawLegs(HostLayer &layer) {
  if (play.x01.options.legs == 1) return;
  for (int32_t s = 0; s < play.players; ++s) {
    char text[8];
    std::snprintf(text, sizeof text, "L%d", play.x01.legsWon[s]);
    const int32_t x = kColumnLeft + kColumnStep * s;
    layerFill(layer, x, 310, textWidth(text) + 3, 9, kPanelColour);
    layerText(layer, x + 2, 311, text, kChosenColour);
  }
}

void drawRoute(HostLayer &layer, const HostView &view) {
  const X01Game &g = play.x01;
  if (g.finished || view.sceneStep == kMatchFinished || view.sceneStep >= kMatchEndScreen) return;
  const int32_t seat = g.turn.seat;
  if (!g.opened[seat] && g.options.in == X01In::kDouble) return;
  const char *route = checkoutRoute(g.left[seat], kHostDartsPerTurn - g.turn.dart, g.options.out);
  if (route == nullptr) return;
  const int32_t w = textWidth(route) + 6;
  const int32_t x = (kLayerWidth - w) / 2;
  layerFill(layer, x, kStripTop + 1, w, 11, kPanelColour);
  layerText(layer, x + 3, kStripTop + 3, route, kChosenColour);
}

void drawMarks(HostLayer &layer) {
  // Per seat, the seven targets as small counters: "/" one mark, "X" two,
  // "O" closed; under the seat's column on the frame.
  for (int32_t s = 0; s < play.players; ++s) {
    char text[kCricketTargets + 1];
    for (int32_t t = 0; t < kCricketTargets; ++t) {
      const int32_t m = play.cricket.marks[s][t];
      text[t] = m == 0 ? '.' : m == 1 ? '/' : m == 2 ? 'X' : 'O';
    }
    text[kCricketTargets] = 0;
    const int32_t x = kColumnLeft + kColumnStep * s;
    layerFill(layer, x, 310, kColumnStep - 6, 9, kPanelColour);
    layerText(layer, x + 2, 311, text, kChosenColour);
  }
}

bool overlay(HostLayer &layer, const HostView &view) {
  if (!played || view.scene != HostScene::kMatch || view.gameMode != play.choice.mode) return false;
  if (hostPaused()) return false;
  // Never over the board while a dart is aimed or flies.
  if (aimingNow(view.sceneStep)) return false;
  if (isX01()) {
    drawLegs(layer);
    drawRoute(layer, view);
  } else {
    drawMarks(layer);
  }
  return false;
}

// --- The host's file: "game x01 start=501 ...", "game cricket", "gamePlayers 2".

void readSetting(const char *line) {
  if (std::strncmp(line, "game ", 5) == 0) {
    HostGameChoice c;
    if (hostGameFromText(line + 5, &c, nullptr)) {
      hostGameRemembered(c.mode) = c;
      optionsChosen = true;
    }
  } else if (std::strncmp(line, "gamePlayers ", 12) == 0) {
    const int32_t n = line[12] - '0';
    if (n >= 1 && n <= kHostSeats && line[13] == 0) {
      rememberedPlayers = n;
      optionsChosen = true;
    }
  }
}

void writeSettings(std::string &text) {
  if (!optionsChosen) return;
  for (const HostGameChoice &c : remembered) text += "game " + hostGameText(c) + '\n';
  text += "gamePlayers " + std::to_string(rememberedPlayers) + '\n';
}

void reset() {
  play = HostGamePlay{};
  played = false;
  remembered[0] = {kHostGameX01, {}};
  remembered[1] = {kHostGameCricket, {}};
  rememberedPlayers = 1;
  optionsChosen = false;
  if (hostGameSlot.apply == slotApply) hostGameSlot = HostGameSlot{};
}

const HostFeature kHostGamesFeature = {.name = "games",
                                       .observe = observe,
                                       .matchStarted = nullptr,
                                       .matchFinished = nullptr,
                                       .overlay = overlay,
                                       .overlayOrder = 5,
                                       .caption = nullptr,
                                       .readSetting = readSetting,
                                       .writeSettings = writeSettings,
                                       .settingRows = nullptr,
                                       .settingRowCount = 0,
                                       .finish = nullptr,
                                       .reset = reset};

void appendArray(std::string &out, const int32_t *values, int32_t count) {
  out += '[';
  for (int32_t i = 0; i < count; ++i) {
    if (i > 0) out += ',';
    out += std::to_string(values[i]);
  }
  out += ']';
}

}  // namespace

void hostPlayGame(const HostGameChoice &choice, int32_t players) {
  play = HostGamePlay{};
  play.choice = choice;
  play.players = players < 1 ? 1 : (players > kHostSeats ? kHostSeats : players);
  x01Start(play.x01, choice.x01, play.players);
  cricketStart(play.cricket, play.players);
  played = true;
  fillSlot();
  startHostMatch(choice.mode, play.players);
}

const HostGamePlay *hostGameNow() { return played ? &play : nullptr; }

std::string hostGameJson() {
  if (!played) return "null";
  const bool x01 = isX01();
  std::string out = "{\"name\":\"";
  out += hostGameShortName(play.choice.mode);
  out += "\",\"scores\":";
  appendArray(out, x01 ? play.x01.left : play.cricket.points, play.players);
  if (x01) {
    out += ",\"legsWon\":";
    appendArray(out, play.x01.legsWon, play.players);
  } else {
    out += ",\"marks\":[";
    for (int32_t s = 0; s < play.players; ++s) {
      if (s > 0) out += ',';
      appendArray(out, play.cricket.marks[s], kCricketTargets);
    }
    out += ']';
  }
  const HostTurn &turn = x01 ? play.x01.turn : play.cricket.turn;
  const bool finished = x01 ? play.x01.finished : play.cricket.finished;
  const int32_t winner = x01 ? play.x01.winner : play.cricket.winner;
  const int32_t round = turn.round < kHostRoundLimit ? turn.round + 1 : kHostRoundLimit;
  out += ",\"leg\":" + std::to_string(x01 ? play.x01.leg + 1 : 1);
  out += ",\"round\":" + std::to_string(round);
  out += ",\"finished\":" + std::to_string(finished ? 1 : 0);
  out += ",\"winner\":" + std::to_string(winner) + '}';
  return out;
}

HostGameChoice &hostGameRemembered(int32_t mode) {
  return mode == kHostGameCricket ? remembered[1] : remembered[0];
}

int32_t &hostGamePlayers() { return rememberedPlayers; }

void hostGameChosen() {
  optionsChosen = true;
  hostWriteSettings();
}

void registerHostGames() { (void)hostAddFeature(&kHostGamesFeature); }
