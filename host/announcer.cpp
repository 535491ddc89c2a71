// The announcer: a feature that watches each pass of a match and says what
// a player who cannot see the board needs to hear, once, as it happens.
#include "host/announcer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/match.h"
#include "host/games.h"
#include "host/host_internal.h"
#include "host/player_book.h"
#include "host/seats.h"

namespace {

constexpr int32_t kScoreWordsMax = 8;

struct ScoreWordsEntry {
  int32_t mode;
  HostScoreWords words;
};

constexpr int32_t kSaidChars = 120;

struct Announcer {
  // The latest announcements: a ring of fixed lines, so that keeping them
  // never grows the heap.
  char said[kSaidKept][kSaidChars];
  int32_t saidNext = 0;
  int32_t saidCount = 0;
  bool speech = false;
  HostScene lastScene = HostScene::kOther;
  int32_t lastStep = -1;
  // The dart between its landing and its score applied.
  bool landed = false;
  int32_t player = 0;
  int32_t scoreBefore = 0;
  int32_t throwScore = 0;
  int32_t hitSector = 0;
  bool bustByRules = false;  // a host game's own rule said so at the landing
  bool summarySaid = false;
};

Announcer announcer = {};
ScoreWordsEntry scoreWords[kScoreWordsMax];
int32_t scoreWordsCount;

void say(const std::string &text) {
  // A match played again fast (resumed, caught up) is as silent in words
  // as in sound.
  if (hostGameSilenced()) return;
  Announcer &a = announcer;
  std::snprintf(a.said[a.saidNext], kSaidChars, "%s", text.c_str());
  a.saidNext = (a.saidNext + 1) % kSaidKept;
  if (a.saidCount < kSaidKept) ++a.saidCount;
  platformSay(text.c_str(), announcer.speech);
}

std::string number(int32_t value) { return std::to_string(value); }

// What the board gave, as a caller says it.
std::string ringWords(int32_t score, int32_t sector) {
  if (score == kDoubleBullScore) return "bull";
  if (score == kSingleBullScore) return "outer bull";
  if (score <= 0) return "miss";
  if (score == 3 * sector) return "treble " + number(sector);
  if (score == 2 * sector) return "double " + number(sector);
  return "single " + number(sector);
}

std::string playerName(int32_t player) { return hostSeatName(player); }

std::string endWords(const HostView &view, const MatchState &m) {
  if (view.gameMode == kGameHighScore || view.playerCount == 1) return "Game over";
  if (m.winner >= 0 && m.winner < view.playerCount) return playerName(m.winner) + " wins";
  return "Draw";
}

void sayMatchStart(const HostView &view) {
  const int32_t n = view.playerCount;
  say(std::string(gameName(view.gameMode)) + ", " + number(n) + (n == 1 ? " player" : " players"));
}

void sayTurn(const HostView &view, const MatchState &m) {
  say(playerName(m.currentPlayer) + ", round " + number(m.roundIndex + 1) + ", " +
      hostScoreWords(view.gameMode, m, m.currentPlayer));
}

void takeLanding(const HostView &view, const MatchState &m) {
  announcer.landed = true;
  announcer.player = m.currentPlayer;
  announcer.scoreBefore = m.playerScores[m.currentPlayer];
  announcer.throwScore = m.throwScore;
  announcer.hitSector = m.hitSector;
  announcer.bustByRules = view.gameMode >= kHostGameFirst && hostGameSlot.busts != nullptr &&
                          hostGameSlot.busts(m, m.throwScore, m.hitSector);
}

void sayDart(const HostView &view, const MatchState &m) {
  announcer.landed = false;
  const Announcer &a = announcer;
  const std::string ring = ringWords(a.throwScore, a.hitSector);
  const bool finished = view.sceneStep == kMatchFinished;
  if (finished && m.winner == a.player) {
    say(ring + ", finished");
  } else {
    // The games table says where a dart that scored but counted nothing
    // went bust; a host game's rules say it themselves.
    const HostGameRow *row = hostGameRow(view.gameMode);
    const bool bust =
        a.bustByRules || (row != nullptr && row->bustWhenNothingCounts && a.throwScore > 0 &&
                          m.playerScores[a.player] == a.scoreBefore);
    say(ring + (bust ? ", bust, " : ", ") + hostScoreWords(view.gameMode, m, a.player));
  }
  if (finished) say(endWords(view, m));
}

void saySummary() {
  const BookMatch &m = hostSummaryMatch();
  say(std::string(gameName(m.game)) + ": match summary");
  const HostGameRow *row = hostGameRow(m.game);
  for (int seat = 0; seat < m.players && seat < kMaxPlayers; ++seat) {
    std::string words = m.seats[seat].name;
    if (hostSummaryNewBest(seat)) words += ", new best";
    const std::string result = row != nullptr ? row->resultWords(m, seat) : "";
    const std::string darts =
        number(m.seats[seat].darts) + (m.seats[seat].darts == 1 ? " dart" : " darts");
    if (!result.empty()) words += ", " + result;
    // The card's darts, unless its result has just said them.
    if (result.find(darts) == std::string::npos) words += ", " + darts;
    if (row != nullptr) words += ", " + row->averageWords(m, seat);
    say(words);
  }
}

void observe(const HostView &view) {
  Announcer &a = announcer;
  const int32_t last = a.lastScene == HostScene::kMatch ? a.lastStep : -1;
  a.lastScene = view.scene;
  a.lastStep = view.sceneStep;
  if (view.scene != HostScene::kMatch || view.match == nullptr) {
    a.landed = false;
    a.summarySaid = false;
    return;
  }
  const MatchState &m = *view.match;
  const int32_t step = view.sceneStep;
  if (last == -1) sayMatchStart(view);
  if (step == kMatchAnnounce && last != kMatchAnnounce && m.dartIndex == 0) sayTurn(view, m);
  if (last == kMatchFlight && (step == kMatchResult || step == kMatchClockResult))
    takeLanding(view, m);
  if (last == kMatchApplyDart && a.landed && (step == kMatchNextDart || step == kMatchFinished))
    sayDart(view, m);
  const bool summary = hostSummaryShown();
  if (summary && !a.summarySaid) saySummary();
  a.summarySaid = summary;
}

// --- The Settings row and the host file's line.

const char *speechValue() { return announcer.speech ? "on" : "off"; }
void speechChange(int32_t) { announcer.speech = !announcer.speech; }

void readSpeech(const char *line) {
  if (std::strncmp(line, "speech ", 7) == 0) announcer.speech = std::atoi(line + 7) != 0;
}

void writeSpeech(std::string &text) { text += announcer.speech ? "speech 1\n" : "speech 0\n"; }

void reset() {
  const bool speech = announcer.speech;
  announcer = Announcer{};
  announcer.speech = speech;
}

const HostSettingRow kSpeechRows[] = {{"Speech", speechValue, speechChange}};

const HostFeature kAnnouncer = {.name = "announcer",
                                .observe = observe,
                                .matchStarted = nullptr,
                                .matchFinished = nullptr,
                                .overlay = nullptr,
                                .overlayOrder = 0,
                                .caption = nullptr,
                                .readSetting = readSpeech,
                                .writeSettings = writeSpeech,
                                .settingRows = kSpeechRows,
                                .settingRowCount = 1,
                                .finish = nullptr,
                                .reset = reset};

}  // namespace

std::vector<std::string> hostSaid() {
  const Announcer &a = announcer;
  std::vector<std::string> said;
  for (int32_t i = 0; i < a.saidCount; ++i)
    said.emplace_back(a.said[(a.saidNext - a.saidCount + i + kSaidKept) % kSaidKept]);
  return said;
}
bool hostSpeechOn() { return announcer.speech; }
void hostSetSpeech(bool on) { announcer.speech = on; }

void hostSetScoreWords(int32_t mode, HostScoreWords words) {
  for (int32_t i = 0; i < scoreWordsCount; ++i) {
    if (scoreWords[i].mode == mode) {
      scoreWords[i].words = words;
      return;
    }
  }
  if (scoreWordsCount < kScoreWordsMax) scoreWords[scoreWordsCount++] = {mode, words};
}

std::string hostScoreWords(int32_t mode, const MatchState &match, int32_t player) {
  const int32_t score = match.playerScores[player];
  for (int32_t i = 0; i < scoreWordsCount; ++i)
    if (scoreWords[i].mode == mode && scoreWords[i].words != nullptr)
      return scoreWords[i].words(match, player);
  switch (mode) {
    case kGame301:
      return number(score) + " left";
    case kGameRoundTheClock:
      return score > 20 ? "past 20" : "aiming at " + number(score);
    default:
      return number(score) + (score == 1 ? " point" : " points");
  }
}

void registerAnnouncer() { (void)hostAddFeature(&kAnnouncer); }
