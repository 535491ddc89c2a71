// Matches as codes at work: the code of the match being played, the kept
// match, playing a code again, the rematch (see host/match_codes.h).
#include "host/match_codes.h"

#include <cstdio>
#include <cstring>

#include "app/scene.h"
#include "host/host_internal.h"
#include "host/seats.h"
#include "platform/common/safe_file.h"

namespace {

constexpr int32_t kTopPeak = kGaugePoints - 1;
// A dart flies a little over this long before it lands.
constexpr uint32_t kFlightMs = 500;
// A watched match waits at the announcement, the gauge and the result
// about as long as a person reads them (in passes).
constexpr int32_t kWatchAnnouncePasses = 45;
constexpr int32_t kWatchGaugePasses = 20;
constexpr int32_t kWatchResultPasses = 55;
constexpr size_t kKeptFileMax = 4096;
constexpr int32_t kTooLongNotePasses = 240;

struct Playback {
  bool on = false;
  CodePlay how = CodePlay::kWatch;
  MatchCode code;
  bool skipping = false;  // a watch skipped to its end: unseen from now on
  // An answer plays the match up to the friend's last turn unseen, then
  // shows that turn.
  bool answerShown = false;
  bool pressed = false;   // held in the pass just run
  uint32_t lastPressAt = 0;
  int32_t step = -1;
  int32_t stepPasses = 0;
};

struct Codes {
  // The match being played.
  bool inMatch = false;
  bool finished = false;
  int32_t lastStep = -1;
  MatchCode current;
  bool tooLong = false;
  int32_t tooLongPasses = 0;  // the note shown since
  // The kept (cut-off) match, as its file holds it.
  std::string kept;
  bool keptRead = false;
  bool keptChanged = false;
  Playback play;
  // A match to start after the title's pass.
  bool switching = false;
  MatchCode next;
  // The player's seats while a watched match stands in for them.
  HostSeat savedSeats[kSeatCount];
  bool seatsSaved = false;
};

Codes codes;
CodeHostGames hostGames;

void startGame(const MatchCode &c) {
  if (c.game >= kHostGameFirst && hostGames.start != nullptr &&
      hostGames.start(c.game, c.options, c.players))
    return;
  startMatchOf(c.game, c.players);
}

// --- The kept match's file.

void readKept() {
  if (codes.keptRead) return;
  codes.keptRead = true;
  const char *path = hostKeptMatchPath();
  if (path == nullptr) return;
  char buffer[kKeptFileMax];
  size_t size = 0;
  if (safeFileRead(path, buffer, sizeof buffer, &size, SafeLinks::kFollow) != SafeReadResult::kRead)
    return;
  codes.kept.assign(buffer, size);
  while (!codes.kept.empty() && (codes.kept.back() == '\n' || codes.kept.back() == '\r'))
    codes.kept.pop_back();
}

void writeKept(const std::string &text) {
  readKept();
  if (text == codes.kept) return;
  codes.kept = text;
  codes.keptChanged = true;
  const char *path = hostKeptMatchPath();
  if (path == nullptr) return;
  const std::string line = text.empty() ? std::string() : text + "\n";
  if (!safeFileWrite(path, line.data(), line.size(),
                     kSafeWriteMakeFolders | kSafeWriteDurable | kSafeWriteThroughLinks))
    std::fprintf(stderr, "tobelyn: cannot keep the match in %s\n", path);
}

// --- Seats.

void saveSeats() {
  if (codes.seatsSaved) return;
  for (int32_t i = 0; i < kSeatCount; ++i) codes.savedSeats[i] = hostSeat(i);
  codes.seatsSaved = true;
}

void restoreSeats() {
  if (!codes.seatsSaved) return;
  for (int32_t i = 0; i < kSeatCount; ++i) hostSeat(i) = codes.savedSeats[i];
  codes.seatsSaved = false;
}

void seatFromCode(int32_t seat, const CodeSeat &from) {
  HostSeat &s = hostSeat(seat);
  std::snprintf(s.name, sizeof s.name, "%s", from.name.c_str());
  s.cpuLevel = from.kind == CodeSeatKind::kComputer ? from.level : kSeatPerson;
  s.friendSeat = from.kind == CodeSeatKind::kFriend;
}

// --- The code of the match being played.

void beginCode(const HostView &view) {
  MatchCode &c = codes.current;
  // Fields set afresh, the darts' room kept: a match allocates nothing
  // once the first has made room for the most darts.
  c.sequence = 0;
  c.options.clear();
  c.darts.clear();
  c.game = view.gameMode;
  c.players = view.playerCount;
  if (c.game >= kHostGameFirst && hostGames.options != nullptr)
    c.options = hostGames.options(c.game);
  for (int32_t i = 0; i < c.players && i < kMaxPlayers; ++i) {
    const int32_t level = hostMatchCpuLevel(i);
    c.seats[i].kind = level != kSeatPerson ? CodeSeatKind::kComputer : CodeSeatKind::kPerson;
    // A friend far away only in a match of two.
    if (c.players == 2 && level == kSeatPerson && hostSeat(i).friendSeat)
      c.seats[i].kind = CodeSeatKind::kFriend;
    c.seats[i].level = level;
    c.seats[i].name = hostSeatName(i);
  }
  c.seed = hostMatchSeed();
  codes.tooLong = false;
  hostSetMatchCode(std::string());
}

// A match with a friend far away goes on from its newest code, not from
// the kept match.
bool withFriend(const MatchCode &c) {
  for (int32_t i = 0; i < c.players && i < kMaxPlayers; ++i)
    if (c.seats[i].kind == CodeSeatKind::kFriend) return true;
  return false;
}

bool keepsMatch() {
  return hostPlayback() == HostPlayback::kNone && !codes.tooLong && !codes.finished &&
         !withFriend(codes.current);
}

void addDart(const MatchState &m) {
  MatchCode &c = codes.current;
  c.darts.push_back({m.aimX, m.gaugePeak, m.gaugeRelease});
  c.sequence = static_cast<uint32_t>(c.darts.size());
  std::string text;
  if (!matchCodeWrite(c, &text)) {
    // Past the most darts a code holds: this match can be neither kept
    // nor shared (the Play... group says so while it lasts).
    codes.tooLong = true;
    codes.tooLongPasses = 0;
    c.darts.pop_back();
    hostSetMatchCode(std::string());
    writeKept(std::string());
    return;
  }
  hostSetMatchCode(text);
  if (keepsMatch()) writeKept(text);
}

// --- Playing a code.

void endPlayback() {
  Playback &p = codes.play;
  if (p.how == CodePlay::kResume || p.skipping || p.how == CodePlay::kAnswer) {
    hostHideGame(false);
    hostSilenceGame(false);
  }
  p.on = false;
  p.skipping = false;
  // A resumed match is the player's own from here; a watched one stays a
  // watched one until it is left.
  if (p.how == CodePlay::kResume || p.how == CodePlay::kAnswer) {
    hostSetPlayback(HostPlayback::kNone);
    if (keepsMatch() && !codes.current.darts.empty()) writeKept(hostMatchCode());
  }
}

bool unseenNow() {
  const Playback &p = codes.play;
  return p.how == CodePlay::kResume || p.skipping || (p.how == CodePlay::kAnswer && !p.answerShown);
}

bool paceAllows(int32_t passes) { return unseenNow() || codes.play.stepPasses >= passes; }

// An answer shows the friend's turn from its start: the first turn that
// begins with no more darts left than a turn has.
void showAnswerFrom(const HostView &view, size_t thrown) {
  Playback &p = codes.play;
  if (p.how != CodePlay::kAnswer || p.answerShown || view.sceneStep != kMatchAnnounce ||
      view.match->dartIndex != 0 || p.code.darts.size() - thrown > kDartsPerTurn)
    return;
  p.answerShown = true;
  p.stepPasses = 0;
  hostHideGame(false);
  hostSilenceGame(false);
}

// Whether Button A is held in the next pass, so that the dart in hand gets
// its column, peak and release.
bool pressFor(const HostView &view, const CodeDart &d) {
  const MatchState &m = *view.match;
  switch (view.sceneStep) {
    case kMatchAnnounce:
      return paceAllows(kWatchAnnouncePasses);
    case kMatchAimSlide:
      return m.aimX == d.aimX;
    case kMatchGaugeReady:
      return paceAllows(kWatchGaugePasses);
    case kMatchPowerClimbs:
      return d.peak != kTopPeak && m.gaugeIndex == d.peak;
    case kMatchPowerFalls:
      return d.release != 0 && m.gaugeIndex == d.release;
    case kMatchNextDart:
      return paceAllows(kWatchResultPasses);
    default:
      return false;
  }
}

void drive(const HostView &view) {
  Playback &p = codes.play;
  if (p.pressed) p.lastPressAt = hostGameTime();
  p.pressed = false;
  if (view.sceneStep != p.step) {
    p.step = view.sceneStep;
    p.stepPasses = 0;
  }
  ++p.stepPasses;
  const size_t thrown = codes.current.darts.size();
  showAnswerFrom(view, thrown);
  const bool unseen = unseenNow();
  if (thrown >= p.code.darts.size()) {
    // Every dart played: once the last is scored, the match is handed on.
    if (view.sceneStep == kMatchNextDart || view.sceneStep >= kMatchFinished) {
      endPlayback();
      return;
    }
    if (unseen && view.sceneStep == kMatchFlight) hostAdvanceGameClock(kFlightMs + 1);
    hostClaimButtonA(HostButtonOwner::kPlayback, false);
    return;
  }
  if (unseen && view.sceneStep == kMatchFlight) hostAdvanceGameClock(kFlightMs + 1);
  const bool press = pressFor(view, p.code.darts[thrown]);
  if (press) {
    // The game takes a press only past its gap after the last: the clock
    // is moved on so that this one lands on this very pass.
    const uint32_t since = hostGameTime() - p.lastPressAt;
    if (since <= kInputGapMs) hostAdvanceGameClock(kInputGapMs + 1 - since);
    p.pressed = true;
  }
  hostClaimButtonA(HostButtonOwner::kPlayback, press);
}

// The match to start once the title's pass has run: a code played again
// or a rematch. Going through the title makes it a new match for every
// feature (the seats, the book, this one), wherever it was started from.
void startWhenAtTitle() {
  if (!codes.switching) return;
  codes.switching = false;
  const MatchCode &next = codes.next;
  for (int32_t i = 0; i < next.players; ++i) seatFromCode(i, next.seats[i]);
  hostSetNextMatchSeed(next.seed);
  startGame(next);
  if (!(codes.play.on && unseenNow())) hostHideGame(false);
}

// A match left before its end by the player (the host's Quit to title) is
// not kept; a watched one gives the seats back.
void leftMatch() {
  if (!codes.finished && hostPlayback() == HostPlayback::kNone) writeKept(std::string());
  // An answered turn gave the seats back to the player's own too.
  if (hostPlayback() != HostPlayback::kWatching) restoreSeats();
  if (hostPlayback() == HostPlayback::kWatching) {
    hostSetPlayback(HostPlayback::kNone);
    restoreSeats();
    if (codes.play.skipping) {
      hostHideGame(false);
      hostSilenceGame(false);
    }
    codes.play = Playback{};
  }
}

// Leaves for the title (its one pass not shown), then starts this match.
void switchTo(const MatchCode &next) {
  codes.next = next;
  codes.switching = true;
  hostHideGame(true);
  if (hostMenuOpen()) hostCloseMenu();
  quitToTitle();
}

// --- The feature.

void observe(const HostView &view) {
  const bool inMatch = view.scene == HostScene::kMatch && view.match != nullptr;
  if (!inMatch) {
    if (codes.inMatch && !codes.switching) leftMatch();
    codes.inMatch = false;
    codes.lastStep = -1;
    startWhenAtTitle();
    return;
  }
  if (!codes.inMatch) {
    codes.inMatch = true;
    codes.finished = false;
    beginCode(view);
    codes.play.lastPressAt = hostGameTime();
    codes.play.step = -1;
  }
  if (view.sceneStep == kMatchFlight && codes.lastStep != kMatchFlight && !codes.tooLong)
    addDart(*view.match);
  if (view.sceneStep >= kMatchFinished && !codes.finished) {
    codes.finished = true;
    // Finished: in the book now, nothing to resume.
    if (hostPlayback() == HostPlayback::kNone) writeKept(std::string());
  }
  codes.lastStep = view.sceneStep;
  if (codes.tooLong && codes.tooLongPasses < kTooLongNotePasses) ++codes.tooLongPasses;
  if (codes.play.on && !codes.switching) drive(view);
}

// A match past the most darts a code holds says so at once, over the top
// of the game for a few seconds: it cannot be kept (nor resumed, nor shared).
bool tooLongNote(HostLayer &layer, const HostView &view) {
  if (!codes.tooLong || codes.tooLongPasses >= kTooLongNotePasses ||
      view.scene != HostScene::kMatch)
    return false;
  layerFill(layer, 8, 20, kLayerWidth - 16, 34, kEdgeColour);
  layerFill(layer, 10, 22, kLayerWidth - 20, 30, kPanelColour);
  layerTextCentred(layer, 26, "Past 400 darts: this match", kTextColour);
  layerTextCentred(layer, 38, "can no longer be kept or resumed.", kTextColour);
  return false;
}

void makeRoom() {
  codes.current.darts.reserve(kCodeDartsMax + 1);
  codes.kept.reserve(static_cast<size_t>(matchCodeTextMax()) + 1);
}

void reset() {
  codes = Codes{};
  makeRoom();
  hostSetPlayback(HostPlayback::kNone);
  hostHideGame(false);
}

// The host's file is written as the program ends: a watched match's seats
// stood in for the player's only while it lasted. Registered before the
// seats, this runs before they write theirs.
void giveSeatsBack(std::string &) { restoreSeats(); }

const HostFeature kCodesFeature = {.name = "codes",
                                   .observe = observe,
                                   .matchStarted = nullptr,
                                   .matchFinished = nullptr,
                                   .overlay = tooLongNote,
                                   .overlayOrder = 20,
                                   .caption = nullptr,
                                   .readSetting = nullptr,
                                   .writeSettings = giveSeatsBack,
                                   .settingRows = nullptr,
                                   .settingRowCount = 0,
                                   .finish = nullptr,
                                   .reset = reset};

void startPlaying(const MatchCode &code, CodePlay how) {
  Playback &p = codes.play;
  p = Playback{};
  p.on = true;
  p.how = how;
  p.code = code;
  if (how != CodePlay::kResume) saveSeats();
  hostSetPlayback(how == CodePlay::kWatch ? HostPlayback::kWatching : HostPlayback::kCatchingUp);
  if (how != CodePlay::kWatch) hostSilenceGame(true);
  switchTo(code);
}

}  // namespace

void hostCodesSetHostGames(CodeHostGames games) { hostGames = games; }

const char *hostKeptMatchPath() {
  static std::string path;
  const char *host = hostSettingsPath();
  if (host == nullptr) return nullptr;
  path = host;
  const size_t slash = path.find_last_of("/\\");
  path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "match";
  return path.c_str();
}

bool hostPlayCode(const std::string &text, CodePlay how, std::string *message) {
  MatchCode code;
  if (matchCodeRead(text, &code, message) != CodeRefusal::kNone) return false;
  startPlaying(code, how);
  return true;
}

void hostPlayReadCode(const MatchCode &code, CodePlay how) { startPlaying(code, how); }

bool hostResumeKept(std::string *message) {
  readKept();
  if (codes.kept.empty()) {
    if (message != nullptr) *message = "No match is kept.";
    return false;
  }
  return hostPlayCode(codes.kept, CodePlay::kResume, message);
}

bool hostKeptMatchTakeChanged() {
  const bool changed = codes.keptChanged;
  codes.keptChanged = false;
  return changed;
}

const std::string &hostKeptMatch() {
  readKept();
  return codes.kept;
}

bool codesCanRematch() {
  return codes.finished && codes.inMatch && hostPlayback() == HostPlayback::kNone;
}

uint64_t rematchSeed(uint64_t seed) {
  // One step of splitmix64: never the same seed twice running.
  uint64_t z = seed + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

bool hostRematch() {
  const MatchCode &last = codes.current;
  if (!codesCanRematch()) return false;
  // The same game and seats, moved round one place so that another seat
  // throws first, and a seed of its own.
  MatchCode next = last;
  for (int32_t i = 0; i < last.players; ++i) next.seats[i] = last.seats[(i + 1) % last.players];
  next.seed = rematchSeed(last.seed);
  next.darts.clear();
  switchTo(next);
  return true;
}

bool hostStartCodeMatch(const MatchCode &code) {
  if (hostPlayback() != HostPlayback::kNone) return false;
  MatchCode next = code;
  next.darts.clear();
  switchTo(next);
  return true;
}

bool codesWatching() { return hostPlayback() == HostPlayback::kWatching; }
bool codesCanSkip() { return codes.play.on && codes.play.how == CodePlay::kWatch; }
void codesSkip() {
  if (!codesCanSkip()) return;
  codes.play.skipping = true;
  hostHideGame(true);
  hostSilenceGame(true);
}

void registerMatchCodes() {
  (void)hostAddFeature(&kCodesFeature);
  makeRoom();
}
