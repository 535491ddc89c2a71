// The host's games in the match: the slot's answers, the game's state
// after each dart, the layer drawn over the scoreboard strip and the
// remembered options.
#include "host/host_games.h"

#include <cstdio>
#include <cstring>

#include "game/match.h"
#include "host/checkouts.h"
#include "host/host_game_words.h"
#include "host/host_internal.h"
#include "host/match_codes.h"

static_assert(kHostGameX01 == kHostGameFirst, "the host's games number from the match's first");
static_assert(kHostSeats == kMaxPlayers, "a seat for every player of the match");
static_assert(kHostDartsPerTurn == kDartsPerTurn, "the match's turn is the host games' turn");

namespace {

HostGamePlay play;
bool played = false;
// The slot's match has been seen under way: the slot is emptied once it is
// left. A match started from another feature's pass (a code played, a
// rematch) is not yet seen, so the title that pass still shows leaves it be.
bool slotSeenInMatch = false;
std::vector<HostGameDart> dartsByRules;  // every dart of the match, as counted
constexpr int32_t kOwnGames = kHostGameLast - kHostGameFirst + 1;
HostGameChoice remembered[kOwnGames] = {
    {kHostGameX01, {}}, {kHostGameCricket, {}}, {kHostGameShanghai, {}}, {kHostGameBobs27, {}}};
int32_t rememberedPlayers = 1;
bool optionsChosen = false;  // written to the host's file only once chosen

constexpr GameRules kCricketRules = {
    .startScore = 0, .target = kNoTarget, .roundLimit = kHostRoundLimit, .dartsPerTurn = 3};
constexpr GameRules kShanghaiRules = {
    .startScore = 0, .target = kNoTarget, .roundLimit = kShanghaiRounds, .dartsPerTurn = 3};
constexpr GameRules kBobs27Rules = {.startScore = kBobs27Start,
                                    .target = kNoTarget,
                                    .roundLimit = kBobs27Rounds,
                                    .dartsPerTurn = 3};
GameRules x01Rules = {
    .startScore = 501, .target = 0, .roundLimit = kHostRoundLimit, .dartsPerTurn = 3};

bool isX01() { return play.choice.mode == kHostGameX01; }
bool isCricket() { return play.choice.mode == kHostGameCricket; }
bool isShanghai() { return play.choice.mode == kHostGameShanghai; }
bool isBobs27() { return play.choice.mode == kHostGameBobs27; }

const GameRules *slotRules(int32_t mode) {
  if (!played || mode != play.choice.mode) return nullptr;
  if (isCricket()) return &kCricketRules;
  if (isShanghai()) return &kShanghaiRules;
  if (isBobs27()) return &kBobs27Rules;
  x01Rules.startScore = play.x01.options.start;
  return &x01Rules;
}

const HostTurn &turnNow() {
  if (isCricket()) return play.cricket.turn;
  if (isShanghai()) return play.shanghai.turn;
  if (isBobs27()) return play.bobs27.turn;
  return play.x01.turn;
}

const int32_t *scoresNow() {
  if (isCricket()) return play.cricket.points;
  if (isShanghai()) return play.shanghai.points;
  if (isBobs27()) return play.bobs27.score;
  return play.x01.left;
}

bool finishedNow() {
  if (isCricket()) return play.cricket.finished;
  if (isShanghai()) return play.shanghai.finished;
  if (isBobs27()) return play.bobs27.finished;
  return play.x01.finished;
}

int32_t winnerNow() {
  if (isCricket()) return play.cricket.winner;
  if (isShanghai()) return play.shanghai.winner;
  if (isBobs27()) return play.bobs27.winner;
  return play.x01.winner;
}

X01DartResult x01Preview(int32_t score, int32_t sector) {
  const int32_t seat = play.x01.turn.seat;
  return x01Dart(play.x01.options, play.x01.left[seat], play.x01.opened[seat],
                 hostDartFrom(score, sector));
}

int32_t slotPoints(const MatchState &, int32_t score, int32_t sector) {
  const HostDart dart = hostDartFrom(score, sector);
  if (isX01()) return x01Preview(score, sector).counted;
  if (isShanghai()) return shanghaiPreview(play.shanghai, dart).points;
  if (isBobs27())
    return bobs27Hit(play.bobs27.turn.round, dart) ? bobs27Value(play.bobs27.turn.round) : 0;
  return cricketPreview(play.cricket, dart).points;
}

bool slotBusts(const MatchState &, int32_t score, int32_t sector) {
  return isX01() && x01Preview(score, sector).bust;
}

bool slotFinishes(const MatchState &, int32_t score, int32_t sector) {
  if (isX01()) return x01Preview(score, sector).checkout;
  if (isShanghai()) return shanghaiPreview(play.shanghai, hostDartFrom(score, sector)).shanghai;
  if (isBobs27()) return false;
  CricketGame after = play.cricket;
  cricketThrow(after, hostDartFrom(score, sector));
  return after.finished && after.winner == play.cricket.turn.seat;
}

int32_t slotWinner(const MatchState &) {
  const int32_t w = winnerNow();
  return w == kNobody ? kNoWinner : w;
}

bool slotApply(MatchState &m) {
  const HostDart dart = hostDartFrom(m.throwScore, m.hitSector);
  const HostTurn before = turnNow();
  bool over = false;
  if (isX01()) {
    const int32_t leg = play.x01.leg + 1;
    const X01Throw t = x01Throw(play.x01, dart);
    over = t.matchOver;
    dartsByRules.push_back({leg, t.dart.counted, t.dart.bust, 0});
    // A bust takes back the turn's earlier darts too.
    for (int32_t k = 1; t.dart.bust && k <= before.dart; ++k)
      dartsByRules[dartsByRules.size() - 1 - k].counted = 0;
    for (int32_t s = 0; s < kHostSeats; ++s) m.playerScores[s] = play.x01.left[s];
  } else if (isShanghai()) {
    const ShanghaiThrow t = shanghaiThrow(play.shanghai, dart);
    over = t.matchOver;
    dartsByRules.push_back({1, t.points, false, 0});
  } else if (isBobs27()) {
    const Bobs27Throw t = bobs27Throw(play.bobs27, dart);
    over = t.matchOver;
    dartsByRules.push_back({1, t.hit ? t.change : 0, false, t.hit ? 1 : 0});
  } else {
    const CricketThrow t = cricketThrow(play.cricket, dart);
    over = t.matchOver;
    dartsByRules.push_back({1, t.points, false, t.marks});
  }
  // The scoreboard shows no sign: a score below 0 is drawn by the layer.
  if (!isX01())
    for (int32_t s = 0; s < kHostSeats; ++s)
      m.playerScores[s] = scoresNow()[s] > 0 ? scoresNow()[s] : 0;
  if (over) {
    // The last dart's turn stays on the board, as the handheld's games leave it.
    m.dartIndex = before.dart + 1;
    return true;
  }
  const HostTurn &turn = turnNow();
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
  if (view.scene == HostScene::kMatch) {
    slotSeenInMatch = hostGameSlot.apply == slotApply;
  } else if (slotSeenInMatch) {
    slotSeenInMatch = false;
    if (hostGameSlot.apply == slotApply) hostGameSlot = HostGameSlot{};
  }
}

// --- The layer over the scoreboard strip and the announcement's pale board.

// The strip under the board: "ROUND nn/20" from 0 to 88 and "TRY n/3" from
// 176 on the line at 254, leaving the gap between them; then the seats'
// frame, each seat's score box from 2 + 59 per seat, its digits from 22.
constexpr int32_t kGapLeft = 90;
constexpr int32_t kGapWidth = 84;
constexpr int32_t kLineTop = 253;
constexpr int32_t kScoreBoxTop = 299;
constexpr int32_t kColumnLeft = 4;
constexpr int32_t kColumnStep = 59;

bool aimingNow(int32_t step) { return step >= kMatchShowBoard && step <= kMatchFlight; }

void textOnPanel(HostLayer &layer, int32_t x, int32_t y, const char *text, HostColour c) {
  layerFill(layer, x - 2, y - 1, textWidth(text) + 4, kTextHeight + 3, kPanelColour);
  layerText(layer, x, y, text, c);
}

// Legs won beside each seat's score, in the box's empty left part.
void drawLegs(HostLayer &layer) {
  if (play.x01.options.legs == 1) return;
  for (int32_t s = 0; s < play.players; ++s) {
    char text[8];
    std::snprintf(text, sizeof text, "L%d", static_cast<int>(play.x01.legsWon[s]));
    textOnPanel(layer, kColumnLeft + kColumnStep * s, kScoreBoxTop + 2, text, kChosenColour);
  }
}

// The standard route out for the thrower, in the gap of the round line.
void drawRoute(HostLayer &layer, int32_t step) {
  const X01Game &g = play.x01;
  if (g.finished || step >= kMatchFinished) return;
  const int32_t seat = g.turn.seat;
  if (!g.opened[seat] && g.options.in == X01In::kDouble) return;
  const char *route = checkoutRoute(g.left[seat], kHostDartsPerTurn - g.turn.dart, g.options.out);
  if (route == nullptr) return;
  const int32_t x = kGapLeft + (kGapWidth - textWidth(route)) / 2;
  textOnPanel(layer, x, kLineTop + 4, route, kChosenColour);
}

const char *markGlyph(int32_t marks) {
  static const char *const glyphs[] = {"-", "/", "X", "O"};
  return glyphs[marks < 0 ? 0 : marks > 3 ? 3 : marks];
}

const char *targetLabel(int32_t target) {
  static const char *const labels[] = {"15", "16", "17", "18", "19", "20", "B"};
  return labels[target];
}

// One seat's marks in the gap of the round line, two rows: each number
// then its marks ("-" none, "/" one, "X" two, "O" closed).
void drawThrowerMarks(HostLayer &layer, int32_t seat) {
  constexpr int32_t kItem = 21;
  layerFill(layer, kGapLeft, kLineTop - 1, kGapWidth, 19, kPanelColour);
  for (int32_t t = 0; t < kCricketTargets; ++t) {
    const int32_t x = kGapLeft + 2 + kItem * (t % 4);
    const int32_t y = kLineTop + 9 * (t / 4);
    const int32_t m = play.cricket.marks[seat][t];
    const int32_t w = layerText(layer, x, y, targetLabel(t), kQuietColour);
    layerText(layer, x + w + 2, y, markGlyph(m), m >= kCricketClosed ? kChosenColour : kTextColour);
  }
}

// Every seat's marks as a table over the announcement's pale board, below
// its words, where four seats' marks have room.
void drawMarksTable(HostLayer &layer) {
  constexpr int32_t kRowStep = 11;
  constexpr int32_t kLeft = 44;
  constexpr int32_t kCell = 20;
  const int32_t top = 158;
  const int32_t height = kRowStep * (play.players + 1) + 6;
  layerFill(layer, kLeft - 6, top - 4, 164, height, kEdgeColour);
  layerFill(layer, kLeft - 5, top - 3, 162, height - 2, kPanelColour);
  for (int32_t t = 0; t < kCricketTargets; ++t) {
    const char *label = targetLabel(t);
    layerText(layer, kLeft + 22 + kCell * t - textWidth(label) / 2, top, label, kQuietColour);
  }
  for (int32_t s = 0; s < play.players; ++s) {
    const int32_t y = top + kRowStep * (s + 1);
    char name[16];
    std::snprintf(name, sizeof name, "P%d", static_cast<int>(s + 1));
    layerText(layer, kLeft, y, name, s == play.cricket.turn.seat ? kChosenColour : kTextColour);
    for (int32_t t = 0; t < kCricketTargets; ++t) {
      const int32_t m = play.cricket.marks[s][t];
      const char *mark = markGlyph(m);
      layerText(layer, kLeft + 22 + kCell * t - textWidth(mark) / 2, y, mark,
                m >= kCricketClosed ? kChosenColour : kTextColour);
    }
  }
}

// Scores below 0 (Bob's 27) over their boxes, with the sign the
// scoreboard's digits do not have.
void drawNegativeScores(HostLayer &layer) {
  for (int32_t s = 0; s < play.players; ++s) {
    if (scoresNow()[s] >= 0) continue;
    const std::string text = std::to_string(scoresNow()[s]);
    textOnPanel(layer, kColumnLeft + kColumnStep * s + 18, kScoreBoxTop + 1, text.c_str(),
                kTextColour);
  }
}

// What the thrower aims at this round, in the gap of the round line.
void drawRoundTarget(HostLayer &layer) {
  if (finishedNow()) return;
  char text[24];
  if (isShanghai()) {
    std::snprintf(text, sizeof text, "Number %d", static_cast<int>(shanghaiNumber(play.shanghai)));
  } else {
    const int32_t round =
        play.bobs27.turn.round < kBobs27Rounds ? play.bobs27.turn.round : kBobs27Rounds - 1;
    const int32_t number = bobs27Number(round);
    if (number == kBullNumber)
      std::snprintf(text, sizeof text, "Bull");
    else
      std::snprintf(text, sizeof text, "D%d", static_cast<int>(number));
  }
  textOnPanel(layer, kGapLeft + (kGapWidth - textWidth(text)) / 2, kLineTop + 4, text,
              kChosenColour);
}

// "Shanghai!" over the board once the match is won by one.
void drawShanghai(HostLayer &layer, int32_t step) {
  if (!play.shanghai.shanghai || step < kMatchFinished) return;
  constexpr int32_t kScale = 2;
  const char *words = "Shanghai!";
  const int32_t width = textWidth(words, kScale) + 16;
  const int32_t left = (kLayerWidth - width) / 2;
  layerFill(layer, left - 1, 99, width + 2, kTextHeight * kScale + 18, kEdgeColour);
  layerFill(layer, left, 100, width, kTextHeight * kScale + 16, kPanelColour);
  layerTextCentred(layer, 108, words, kChosenColour, kScale);
}

bool overlay(HostLayer &layer, const HostView &view) {
  if (!played || view.scene != HostScene::kMatch || view.gameMode != play.choice.mode) return false;
  if (hostPaused()) return false;
  const int32_t step = view.sceneStep;
  if (step == kMatchStarting) return false;
  if (isBobs27()) drawNegativeScores(layer);
  // Never over the board while a dart is aimed or flies.
  if (aimingNow(step)) return false;
  if (isShanghai() || isBobs27()) {
    drawRoundTarget(layer);
    drawShanghai(layer, step);
  } else if (isX01()) {
    drawLegs(layer);
    drawRoute(layer, step);
  } else if (step == kMatchAnnounce) {
    drawMarksTable(layer);
  } else {
    const int32_t seat = view.match != nullptr ? view.match->currentPlayer : 0;
    drawThrowerMarks(layer, seat >= 0 && seat < play.players ? seat : 0);
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
  slotSeenInMatch = false;
  dartsByRules.clear();
  for (int32_t g = 0; g < kOwnGames; ++g) remembered[g] = {kHostGameFirst + g, {}};
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

// A match code carries a host game as the words of its choice; a code's
// game is played again from those words.
std::string codeOptions(int32_t mode) {
  return played && play.choice.mode == mode ? hostGameText(play.choice) : std::string();
}

bool codeOptionsPlayable(int32_t game, std::string_view options) {
  HostGameChoice choice;
  return hostGameFromText(options, &choice, nullptr) && choice.mode == game;
}

bool codeStart(int32_t mode, const std::string &options, int32_t players) {
  HostGameChoice choice;
  if (!hostGameFromText(options, &choice, nullptr) || choice.mode != mode) return false;
  hostPlayGame(choice, players);
  return true;
}

}  // namespace

void hostPlayGame(const HostGameChoice &choice, int32_t players) {
  play = HostGamePlay{};
  play.choice = choice;
  play.players = players < 1 ? 1 : (players > kHostSeats ? kHostSeats : players);
  x01Start(play.x01, choice.x01, play.players);
  cricketStart(play.cricket, play.players);
  shanghaiStart(play.shanghai, play.players);
  bobs27Start(play.bobs27, play.players);
  played = true;
  dartsByRules.clear();
  fillSlot();
  slotSeenInMatch = false;
  startHostMatch(choice.mode, play.players);
}

const HostGamePlay *hostGameNow() { return played ? &play : nullptr; }

bool hostGameFillBook(BookMatch *match, std::vector<BookDart> *darts) {
  if (!played || match->game != play.choice.mode) return false;
  hostGameIntoBook(hostGameText(play.choice), play.x01.legsWon, dartsByRules, match, darts);
  // What the scoreboard cannot keep: Bob's 27's scores below 0, who went
  // out, and a Shanghai.
  const auto list = [](const int32_t *values, int32_t count) {
    std::string text;
    for (int32_t i = 0; i < count; ++i) {
      if (i > 0) text += ',';
      text += std::to_string(values[i]);
    }
    return text;
  };
  if (isBobs27()) {
    int32_t out[kHostSeats];
    for (int32_t s = 0; s < kHostSeats; ++s) out[s] = play.bobs27.out[s] ? 1 : 0;
    match->more += " scores=" + list(play.bobs27.score, play.players);
    match->more += " out=" + list(out, play.players);
    match->more += " hits=" + list(play.bobs27.hits, play.players);
  }
  if (isShanghai() && play.shanghai.shanghai) match->more += " shanghai=1";
  return true;
}

std::string hostGameJson() {
  if (!played) return "null";
  const bool x01 = isX01();
  std::string out = "{\"name\":\"";
  out += hostGameShortName(play.choice.mode);
  out += "\",\"scores\":";
  appendArray(out, scoresNow(), play.players);
  if (x01) {
    out += ",\"legsWon\":";
    appendArray(out, play.x01.legsWon, play.players);
  } else if (isCricket()) {
    out += ",\"marks\":[";
    for (int32_t s = 0; s < play.players; ++s) {
      if (s > 0) out += ',';
      appendArray(out, play.cricket.marks[s], kCricketTargets);
    }
    out += ']';
  } else if (isBobs27()) {
    int32_t out27[kHostSeats];
    for (int32_t s = 0; s < kHostSeats; ++s) out27[s] = play.bobs27.out[s] ? 1 : 0;
    out += ",\"out\":";
    appendArray(out, out27, play.players);
  }
  const HostTurn &turn = turnNow();
  const int32_t limit = isShanghai() ? kShanghaiRounds
                        : isBobs27() ? kBobs27Rounds
                                     : kHostRoundLimit;
  const int32_t round = turn.round < limit ? turn.round + 1 : limit;
  out += ",\"leg\":" + std::to_string(x01 ? play.x01.leg + 1 : 1);
  out += ",\"round\":" + std::to_string(round);
  out += ",\"finished\":" + std::to_string(finishedNow() ? 1 : 0);
  out += ",\"winner\":" + std::to_string(winnerNow()) + '}';
  return out;
}

HostGameChoice &hostGameRemembered(int32_t mode) {
  const bool own = mode >= kHostGameFirst && mode <= kHostGameLast;
  return remembered[own ? mode - kHostGameFirst : 0];
}

int32_t &hostGamePlayers() { return rememberedPlayers; }

void hostGameChosen() {
  optionsChosen = true;
  hostWriteSettings();
}

void registerHostGames() {
  (void)hostAddFeature(&kHostGamesFeature);
  hostCodesSetHostGames({.options = codeOptions, .start = codeStart});
  matchCodeSetOptionsCheck(codeOptionsPlayable);
}
