// Playing a friend far away by codes (see host/correspondence.h): the
// hand-over at the end of the player's turn, the answer to a friend's code
// and the store of the newest code seen per match.
#include "host/correspondence.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "host/book.h"
#include "host/host_internal.h"
#include "host/match_codes.h"
#include "host/seats.h"
#include "host/share.h"
#include "platform/common/code_link.h"
#include "platform/common/safe_file.h"

namespace {

constexpr char kStoreHead[] = "tobelyn-friends 1";
constexpr size_t kStoreFileMax = 64 * 1024;
// The matches remembered, the oldest forgotten first.
constexpr size_t kStoreMatches = 200;
// The code's letters shown on the page, the rest elided.
constexpr size_t kCodeShown = 28;

// What this side did with a match's newest code; a later state wins for
// the same code.
enum SeenState : int32_t {
  kOpened = 0,  // opened (the turn may still be thrown)
  kSent = 1,    // made on this side: the friend throws next
  kEnded = 2,   // the match ended here: it can only be watched again
};

// One match's newest code.
struct Seen {
  std::string match;  // seed, game and both names
  uint32_t sequence = 0;
  int32_t state = kOpened;
};

struct Store {
  bool read = false;
  std::vector<Seen> seen;
};
Store store;
bool storeChanged = false;

// The match in the current (or last) game.
int32_t friendSeat = -1;
bool inMatch = false;
bool finishedSeen = false;
std::string turnCode;  // the code shown after the player's turn

std::string fileName(const std::string &name) {
  std::string out = name;
  for (char &c : out)
    if (c == ' ') c = '_';
  return out;
}

// The same words for a match from both sides: the kinds of its seats
// differ between them, so only the seed, the game and the names count.
std::string matchKey(const MatchCode &code) {
  char seed[17];
  std::snprintf(seed, sizeof seed, "%016llx", static_cast<unsigned long long>(code.seed));
  std::string key = std::string(seed) + ' ' + std::to_string(code.game);
  for (int32_t i = 0; i < code.players && i < kMaxPlayers; ++i)
    key += ' ' + fileName(code.seats[i].name);
  return key;
}

// --- The store's file.

void readStore() {
  if (store.read) return;
  store.read = true;
  const char *path = hostFriendsPath();
  if (path == nullptr) return;
  std::string text(kStoreFileMax, '\0');
  size_t size = 0;
  if (safeFileRead(path, text.data(), text.size(), &size, SafeLinks::kFollow) !=
      SafeReadResult::kRead)
    return;
  text.resize(size);
  size_t at = 0;
  bool first = true;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (first) {
      first = false;
      if (line != kStoreHead) return;  // not ours: read as empty
      continue;
    }
    // "<match key> <sequence> <state>": the last two words are numbers.
    const size_t sentAt = line.rfind(' ');
    if (sentAt == std::string::npos || sentAt == 0) continue;
    const size_t sequenceAt = line.rfind(' ', sentAt - 1);
    if (sequenceAt == std::string::npos) continue;
    const std::string sent = line.substr(sentAt + 1);
    const std::string sequence = line.substr(sequenceAt + 1, sentAt - sequenceAt - 1);
    char *stop = nullptr;
    const unsigned long value = std::strtoul(sequence.c_str(), &stop, 10);
    if (sequence.empty() || *stop != 0 || value > UINT32_MAX || sent.size() != 1 || sent[0] < '0' ||
        sent[0] > '2')
      continue;
    store.seen.push_back({line.substr(0, sequenceAt), static_cast<uint32_t>(value), sent[0] - '0'});
  }
}

void writeStore() {
  storeChanged = true;
  const char *path = hostFriendsPath();
  if (path == nullptr) return;
  std::string text = std::string(kStoreHead) + '\n';
  for (const Seen &s : store.seen)
    text += s.match + ' ' + std::to_string(s.sequence) + ' ' + std::to_string(s.state) + '\n';
  if (!safeFileWrite(path, text.data(), text.size(),
                     kSafeWriteMakeFolders | kSafeWriteDurable | kSafeWriteThroughLinks))
    std::fprintf(stderr, "tobelyn: cannot keep the friends' codes in %s\n", path);
}

Seen *seenOf(const std::string &key) {
  readStore();
  for (Seen &s : store.seen)
    if (s.match == key) return &s;
  return nullptr;
}

// Remembers a code of a match as the newest seen (never an older one).
void remember(const MatchCode &code, int32_t state) {
  const std::string key = matchKey(code);
  Seen *s = seenOf(key);
  if (s != nullptr && s->sequence > code.sequence) return;
  if (s == nullptr) {
    if (store.seen.size() >= kStoreMatches) store.seen.erase(store.seen.begin());
    store.seen.push_back({key, code.sequence, state});
  } else {
    const int32_t was = s->state;
    s->state = s->sequence == code.sequence && was > state ? was : state;
    if (s->sequence == code.sequence && s->state == was) return;
    s->sequence = code.sequence;
  }
  writeStore();
}

// --- The hand-over at the end of the player's turn.

void handOver() {
  turnCode = hostMatchCode();
  MatchCode code;
  if (matchCodeRead(turnCode, &code, nullptr) == CodeRefusal::kNone) remember(code, kSent);
  quitToTitle();
  if (!hostMenuOpen()) hostOpenMenu();
  hostOpenPage("friend-turn");
}

int32_t friendSeatOfSeats(int32_t players) {
  if (players != 2) return -1;
  for (int32_t i = 0; i < players; ++i)
    if (hostSeat(i).friendSeat && hostMatchCpuLevel(i) == kSeatPerson) return i;
  return -1;
}

void observe(const HostView &view) {
  const bool nowInMatch = view.scene == HostScene::kMatch && view.match != nullptr;
  if (!nowInMatch) {
    inMatch = false;
    return;
  }
  if (!inMatch) {
    inMatch = true;
    finishedSeen = false;
    friendSeat = friendSeatOfSeats(view.playerCount);
  }
  if (friendSeat < 0 || hostPlayback() != HostPlayback::kNone) return;
  if (view.sceneStep >= kMatchFinished) {
    // The last dart was this side's or the friend's played back: either
    // way the finished match's code is the newest of it.
    if (!finishedSeen && !hostMatchCode().empty()) {
      MatchCode code;
      if (matchCodeRead(hostMatchCode(), &code, nullptr) == CodeRefusal::kNone)
        remember(code, kEnded);
    }
    finishedSeen = true;
    return;
  }
  if (view.sceneStep == kMatchAnnounce && view.match->currentPlayer == friendSeat &&
      !hostMatchCode().empty())
    handOver();
}

void reset() {
  store = Store{};
  friendSeat = -1;
  inMatch = false;
  finishedSeen = false;
  turnCode.clear();
}

const HostFeature kFeature = {.name = "correspondence",
                              .observe = observe,
                              .matchStarted = nullptr,
                              .matchFinished = nullptr,
                              .overlay = nullptr,
                              .overlayOrder = 0,
                              .caption = nullptr,
                              .readSetting = nullptr,
                              .writeSettings = nullptr,
                              .settingRows = nullptr,
                              .settingRowCount = 0,
                              .finish = nullptr,
                              .reset = reset};

// --- The page shown at the hand-over: the code, and A to send it.

bool browserShare() {
  const CodeShareOut *out = platformCodeShare();
  return out != nullptr && out->paste == nullptr;
}

std::vector<std::string> pageLines() {
  std::vector<std::string> lines;
  lines.push_back("Your turn is over.");
  lines.push_back("Send this code to your friend:");
  std::string shown = turnCode.substr(0, kCodeShown);
  if (turnCode.size() > kCodeShown) shown += "...";
  lines.push_back(shown);
  char length[32];
  std::snprintf(length, sizeof length, "(%zu letters)", turnCode.size());
  lines.push_back(length);
  return lines;
}

void send() {
  if (turnCode.empty()) return;
  (void)hostShareCode(turnCode);
}

void turnDraw(HostLayer &layer) {
  layerPanel(layer, "Friend's turn");
  int32_t y = 60;
  const std::vector<std::string> lines = pageLines();
  for (size_t i = 0; i < lines.size(); ++i) {
    layerTextCentred(layer, y, lines[i].c_str(), i == 2 ? kChosenColour : kTextColour);
    y += 16;
  }
  layerTextCentred(layer, y + 8, "They open it, watch your darts,", kQuietColour);
  layerTextCentred(layer, y + 22, "throw and send a code back.", kQuietColour);
  if (!shareWords().empty()) layerTextCentred(layer, y + 44, shareWords().c_str(), kTextColour);
  drawFoot(layer, browserShare() ? "A: share  B: title" : "A: copy  B: title");
}

void turnKey(HostAction action) {
  if (action == HostAction::kConfirm) send();
  if (action == HostAction::kBack) hostCloseMenu();
}

bool turnTap(int32_t x, int32_t y) {
  if (footButtonAt(x, y) == FootButton::kBack) {
    hostCloseMenu();
    return true;
  }
  send();
  return true;
}

int32_t turnRows(HostRow *rows, int32_t max) {
  int32_t n = 0;
  for (const std::string &line : pageLines()) {
    if (n == max) break;
    rows[n] = HostRow{};
    std::snprintf(rows[n].label, sizeof rows[n].label, "%s", line.c_str());
    rows[n].chosen = n == 0;
    ++n;
  }
  return n;
}

const HostPage kTurnPage = {.name = "friend-turn",
                            .title = nullptr,
                            .under = nullptr,
                            .available = nullptr,
                            .draw = turnDraw,
                            .key = turnKey,
                            .tap = turnTap,
                            .typed = nullptr,
                            .opened = nullptr,
                            .left = nullptr,
                            .rows = turnRows};

}  // namespace

bool codeIsCorrespondence(const MatchCode &code) {
  if (code.players != 2) return false;
  const CodeSeatKind a = code.seats[0].kind;
  const CodeSeatKind b = code.seats[1].kind;
  return (a == CodeSeatKind::kPerson && b == CodeSeatKind::kFriend) ||
         (a == CodeSeatKind::kFriend && b == CodeSeatKind::kPerson);
}

MatchCode codeSwappedSides(const MatchCode &code) {
  MatchCode out = code;
  for (int32_t i = 0; i < out.players && i < kMaxPlayers; ++i) {
    CodeSeat &s = out.seats[i];
    if (s.kind == CodeSeatKind::kPerson)
      s.kind = CodeSeatKind::kFriend;
    else if (s.kind == CodeSeatKind::kFriend)
      s.kind = CodeSeatKind::kPerson;
  }
  return out;
}

bool hostAnswerOrWatch(const std::string &text, std::string *message) {
  MatchCode code;
  if (matchCodeRead(text, &code, message) != CodeRefusal::kNone) return false;
  if (!codeIsCorrespondence(code)) return hostPlayCode(text, CodePlay::kWatch, message);
  const Seen *seen = seenOf(matchKey(code));
  if (seen != nullptr && seen->sequence > code.sequence) {
    if (message != nullptr) *message = "This code is older than one you have already opened.";
    return false;
  }
  if (seen != nullptr && seen->sequence == code.sequence && seen->state == kSent) {
    if (message != nullptr) *message = "This is the code you sent: the next turn is your friend's.";
    return false;
  }
  // A match already ended on this side is watched again, not kept twice.
  if (seen != nullptr && seen->sequence == code.sequence && seen->state == kEnded)
    return hostPlayCode(text, CodePlay::kWatch, message);
  remember(code, kOpened);
  turnCode.clear();
  hostPlayReadCode(codeSwappedSides(code), CodePlay::kAnswer);
  return true;
}

int32_t hostMatchFriendSeat() { return friendSeat; }

const std::string &hostFriendTurnCode() { return turnCode; }

void hostMarkFriendInBook(BookMatch *match) {
  if (friendSeat < 0 || friendSeat >= match->players) return;
  bookMarkMatchFriend(match, friendSeat);
}

int64_t correspondenceNewestSeen(const MatchCode &code) {
  const Seen *s = seenOf(matchKey(code));
  return s == nullptr ? -1 : static_cast<int64_t>(s->sequence);
}

const char *hostFriendsPath() {
  static std::string path;
  const char *host = hostSettingsPath();
  if (host == nullptr) return nullptr;
  path = host;
  const size_t slash = path.find_last_of("/\\");
  path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "friends";
  return path.c_str();
}

bool hostFriendsTakeChanged() {
  const bool changed = storeChanged;
  storeChanged = false;
  return changed;
}

void registerCorrespondence() {
  (void)hostAddFeature(&kFeature);
  (void)hostAddPage(&kTurnPage);
  hostSetCodeOpener(hostAnswerOrWatch);
}
