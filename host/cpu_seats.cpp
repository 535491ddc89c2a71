// The computer seats at work and the Players page that sets them up. The
// seats' brains (host/cpu.h) run as a host feature: they start with the
// match, see every pass and claim Button A for the game to read, so the
// match never learns who pressed. The seats' names, levels and the fast
// switch are kept in the host's settings file.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "host/book.h"
#include "host/cpu.h"
#include "host/host_internal.h"
#include "host/seats.h"

namespace {

// --- The seats in a match.

CpuSeats matchSeats;
bool seatsInMatch;
uint64_t matchSeed;
bool seedFixed;
uint64_t fixedSeed;
bool nextSeedSet;
uint64_t nextSeed;
bool cpuFast;
uint32_t matchPasses;  // the passes of the match so far

uint64_t seedFromClock() {
  // Spread the clock's bits over the whole seed; the brains mix it further.
  return (static_cast<uint64_t>(timeGetTime()) + 1) * 0x9E3779B97F4A7C15ull;
}

void startSeats(const HostView &view) {
  int32_t levels[kMaxPlayers];
  for (int32_t i = 0; i < kMaxPlayers; ++i)
    levels[i] = i < kSeatCount ? hostSeat(i).cpuLevel : kCpuPerson;
  matchSeed = nextSeedSet ? nextSeed : seedFixed ? fixedSeed : seedFromClock();
  nextSeedSet = false;
  matchPasses = 0;
  cpuSeatsStart(matchSeats, view.playerCount, levels, matchSeed, cpuFast);
}

void seatsMatchStarted(const HostView &view) {
  if (view.match == nullptr) return;
  startSeats(view);
  seatsInMatch = true;
}

void watchMatch(const HostView &view) {
  const bool inMatch = view.scene == HostScene::kMatch && view.match != nullptr;
  if (!inMatch) {
    seatsInMatch = false;
    return;
  }
  if (!seatsInMatch) startSeats(view);
  seatsInMatch = true;
  const CpuView cpuView{view.sceneStep, *view.match, view.gameMode, hostGameTime(), matchPasses++};
  if (hostPlayback() != HostPlayback::kNone) {
    cpuSeatsFollow(matchSeats, cpuView);
    hostSetButtonA(HostButtonA::kFromPeople);
    return;
  }
  if (cpuSeatInCharge(matchSeats, cpuView) < 0)
    hostSetButtonA(HostButtonA::kFromPeople);
  else
    hostSetButtonA(cpuSeatsHoldButton(matchSeats, cpuView) ? HostButtonA::kHeld : HostButtonA::kUp);
}

// --- The Players page: a row per seat, then the fast switch.

constexpr int32_t kRowTop = 52;
constexpr int32_t kRowStep = 40;
constexpr int32_t kRowHeight = 36;
constexpr int32_t kRowLeft = 16;
constexpr int32_t kRowWidth = kLayerWidth - 32;
constexpr int32_t kFastRow = kSeatCount;
// A short row under the fast switch opens the seats' assists.
constexpr int32_t kAssistsRow = kSeatCount + 1;
constexpr int32_t kAssistsRowHeight = 14;
constexpr int32_t kRows = kSeatCount + 2;
constexpr int32_t kFootTop = 282;
// The letter picker runs through these, a space first.
constexpr char kNameLetters[] = " ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-";
constexpr int32_t kNameLetterCount = static_cast<int32_t>(sizeof kNameLetters - 1);
constexpr int32_t kVkHyphen = 0xBD;    // VK_OEM_MINUS
constexpr int32_t kVkNumMinus = 0x6D;  // VK_SUBTRACT

int32_t playersRow;
bool editing;
char draft[kSeatNameChars + 1];  // every place filled, spaces for blanks
int32_t place;
// Until the first letter is typed or picked the whole name is as if
// selected: typing replaces it.
bool draftFresh;

const char *kindName(const HostSeat &s) {
  if (s.friendSeat) return "Friend";
  return s.cpuLevel >= 1 && s.cpuLevel <= kCpuLevelCount ? cpuLevels[s.cpuLevel - 1].name
                                                         : "Person";
}

// Person, the computer's levels, then (the second seat only) a friend far
// away, round and round.
void changeKind(int32_t seat, int32_t direction) {
  HostSeat &s = hostSeat(seat);
  const int32_t kinds = kCpuLevelCount + 1 + (seat == kFriendSeat ? 1 : 0);
  const int32_t now = s.friendSeat ? kCpuLevelCount + 1 : s.cpuLevel;
  const int32_t next = (now + direction + kinds) % kinds;
  s.friendSeat = next == kCpuLevelCount + 1;
  s.cpuLevel = s.friendSeat ? kSeatPerson : next;
}

void startEditing(int32_t seat) {
  editing = true;
  draftFresh = true;
  place = 0;
  std::memset(draft, ' ', kSeatNameChars);
  draft[kSeatNameChars] = 0;
  const char *name = hostSeatName(seat);
  std::memcpy(draft, name, std::strlen(name));
}

// The draft becomes the name once trimmed; a name left empty is not taken.
void endEditing() {
  editing = false;
  std::string_view name(draft);
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  // A name left as it was shown changes nothing: a computer seat still
  // goes by its level.
  if (!validPlayerName(name) || name == hostSeatName(playersRow)) return;
  HostSeat &s = hostSeat(playersRow);
  std::snprintf(s.name, sizeof s.name, "%.*s", static_cast<int>(name.size()), name.data());
}

void turnLetter(int32_t direction) {
  const char *at = std::strchr(kNameLetters, draft[place]);
  const int32_t index = at != nullptr ? static_cast<int32_t>(at - kNameLetters) : 0;
  draft[place] = kNameLetters[(index + direction + kNameLetterCount) % kNameLetterCount];
}

void editKey(HostAction action) {
  draftFresh = false;
  if (action == HostAction::kUp) turnLetter(1);
  if (action == HostAction::kDown) turnLetter(-1);
  if (action == HostAction::kLeft && place > 0) --place;
  if (action == HostAction::kRight && place + 1 < kSeatNameChars) ++place;
  if (action == HostAction::kConfirm || action == HostAction::kBack) endEditing();
}

void playersDraw(HostLayer &layer) {
  layerPanel(layer, "Players");
  char text[48];
  for (int32_t row = 0; row < kRows; ++row) {
    const int32_t y = kRowTop + row * kRowStep;
    const bool chosen = row == playersRow;
    if (row == kAssistsRow) {
      const HostColour colour = chosen ? kChosenColour : kTextColour;
      if (chosen) layerFill(layer, kRowLeft, y, kRowWidth, kAssistsRowHeight, kEdgeColour);
      if (chosen) layerFill(layer, kRowLeft + 1, y + 1, kRowWidth - 2, 12, kPanelColour);
      layerTextCentred(layer, y + 4, "Assists...", colour);
      continue;
    }
    if (chosen) {
      layerFill(layer, kRowLeft, y, kRowWidth, kRowHeight, kEdgeColour);
      layerFill(layer, kRowLeft + 1, y + 1, kRowWidth - 2, kRowHeight - 2, kPanelColour);
    }
    const HostColour colour = chosen ? kChosenColour : kTextColour;
    if (row == kFastRow) {
      std::snprintf(text, sizeof text, "Fast CPU: %s", cpuFast ? "on" : "off");
      layerTextCentred(layer, y + 11, text, colour, 2);
      continue;
    }
    std::snprintf(text, sizeof text, "Seat %d", static_cast<int>(row + 1));
    layerText(layer, kRowLeft + 6, y + 4, text, kQuietColour);
    const char *kind = kindName(hostSeat(row));
    layerText(layer, kRowLeft + kRowWidth - 6 - textWidth(kind), y + 4, kind, colour);
    if (editing && chosen) {
      // Each place drawn on its own; the one being set has the Up and
      // Down cues above and below it. A space inside the name (or the
      // place being set, when it is one) shows as a space mark, unlike
      // the empty places after the name.
      int32_t last = kSeatNameChars - 1;
      while (last >= 0 && draft[last] == ' ') --last;
      int32_t x = kRowLeft + 6;
      for (int32_t i = 0; i < kSeatNameChars; ++i) {
        const char letter[2] = {draft[i], 0};
        layerText(layer, x, y + 16, letter, kChosenColour, 2);
        if (draft[i] == ' ' && (i < last || i == place)) {
          layerFill(layer, x + 1, y + 29, 8, 1, kQuietColour);
          layerFill(layer, x + 1, y + 26, 1, 3, kQuietColour);
          layerFill(layer, x + 8, y + 26, 1, 3, kQuietColour);
        }
        if (i == place) {
          for (int32_t r = 0; r < 3; ++r) {
            layerFill(layer, x + 4 - r, y + 11 + r, 1 + 2 * r, 1, kChosenColour);  // up
            layerFill(layer, x + 4 - r, y + 33 - r, 1 + 2 * r, 1, kChosenColour);  // down
          }
        } else {
          layerFill(layer, x, y + 32, 10, 1, kEdgeColour);
        }
        x += 14;
      }
    } else {
      layerText(layer, kRowLeft + 6, y + 16, hostSeatName(row), colour, 2);
    }
  }
  // The seats of a match are fixed at its start.
  if (seatsInMatch)
    layerTextCentred(layer, kFootTop - 14, "CPU changes count from the next match.", kQuietColour);
  layerFill(layer, 16, kFootTop, kLayerWidth - 32, 1, kEdgeColour);
  layerTextCentred(layer, kFootTop + 6,
                   editing ? "Up/Down: letter  Left/Right: place  A: done"
                           : "Left/Right: kind  A: name  B: back",
                   kQuietColour);
}

void playersKey(HostAction action) {
  if (editing) {
    editKey(action);
    return;
  }
  if (action == HostAction::kUp) playersRow = playersRow > 0 ? playersRow - 1 : kRows - 1;
  if (action == HostAction::kDown) playersRow = playersRow + 1 < kRows ? playersRow + 1 : 0;
  const bool change = action == HostAction::kLeft || action == HostAction::kRight;
  const int32_t direction = action == HostAction::kLeft ? -1 : 1;
  if (playersRow == kFastRow && (change || action == HostAction::kConfirm)) cpuFast = !cpuFast;
  if (playersRow == kAssistsRow && (change || action == HostAction::kConfirm)) {
    hostOpenPage("assists");
    return;
  }
  if (playersRow < kFastRow && change) changeKind(playersRow, direction);
  if (playersRow < kFastRow && action == HostAction::kConfirm) startEditing(playersRow);
  if (action == HostAction::kBack) hostOpenParent();
}

// A tap on a seat's kind changes it, on its name starts the picker; while
// picking, the upper half of a place turns its letter up, the lower half
// down, and a tap anywhere else ends it.
bool playersTap(int32_t x, int32_t y) {
  if (y >= kFootTop) {
    if (editing)
      endEditing();
    else
      hostOpenParent();
    return true;
  }
  if (x < kRowLeft || x >= kRowLeft + kRowWidth || y < kRowTop) return false;
  const int32_t row = (y - kRowTop) / kRowStep;
  const int32_t within = (y - kRowTop) % kRowStep;
  if (row >= kRows || within >= (row == kAssistsRow ? kAssistsRowHeight : kRowHeight)) return false;
  if (editing) {
    const int32_t tapped = (x - kRowLeft - 6) / 14;
    if (row != playersRow || tapped < 0 || tapped >= kSeatNameChars) {
      endEditing();
      return true;
    }
    draftFresh = false;
    place = tapped;
    turnLetter(within < kRowHeight / 2 ? 1 : -1);
    return true;
  }
  playersRow = row;
  if (row == kAssistsRow)
    hostOpenPage("assists");
  else if (row == kFastRow)
    cpuFast = !cpuFast;
  else if (x >= kRowLeft + kRowWidth / 2)
    changeKind(row, 1);
  else
    startEditing(row);
  return true;
}

bool playersTypedKey(int32_t vKey);

void playersOpened() {
  playersRow = 0;
  editing = false;
}

// Whatever page comes next, an edit not finished with A, B, Enter or
// Escape is dropped, the seat keeping its name.
void playersLeft() { editing = false; }

int32_t playersRows(HostRow *rows, int32_t max) {
  int32_t count = 0;
  for (int32_t row = 0; row < kRows && count < max; ++row) {
    HostRow &r = rows[count++];
    r = HostRow{};
    r.chosen = row == playersRow;
    if (row == kAssistsRow) {
      std::snprintf(r.label, sizeof r.label, "Assists...");
      continue;
    }
    if (row == kFastRow) {
      std::snprintf(r.label, sizeof r.label, "Fast CPU");
      std::snprintf(r.value, sizeof r.value, "%s", cpuFast ? "on" : "off");
      continue;
    }
    std::snprintf(r.label, sizeof r.label, "Seat %d, %s", static_cast<int>(row + 1),
                  editing && r.chosen ? draft : hostSeatName(row));
    std::snprintf(r.value, sizeof r.value, "%s", kindName(hostSeat(row)));
  }
  return count;
}

const HostPage kPlayersPage = {.name = "players",
                               .title = "Players",
                               .under = "players",
                               .available = nullptr,
                               .draw = playersDraw,
                               .key = playersKey,
                               .tap = playersTap,
                               .typed = playersTypedKey,
                               .opened = playersOpened,
                               .left = playersLeft,
                               .rows = playersRows};

// The host's settings file: "fastCpu 0|1", "seatNName NAME", "seatNLevel L".
// Read without sscanf, as the core reads its lines: formatted reading would
// be the largest piece of the browser build's code.
int32_t clampedValue(long value) {
  return value < 0 ? 0 : value > 1000000 ? 1000000 : static_cast<int32_t>(value);
}

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// "seat" and a number (a sign and spaces before it allowed) at the start of
// text: the number and where the text goes on after it.
bool readSeatNumber(const char *text, long *seat, const char **rest) {
  if (std::strncmp(text, "seat", 4) != 0) return false;
  char *end = nullptr;
  *seat = std::strtol(text + 4, &end, 10);
  if (end == text + 4) return false;
  *rest = end;
  return true;
}

// "seatNLevel L": a person (0) or a computer level; out of range, a person.
// "seatNFriend 1" (written only when set): the seat a friend far away takes.
void readSeatLevel(const char *name, int32_t value) {
  long seat = 0;
  const char *rest = nullptr;
  if (!readSeatNumber(name, &seat, &rest)) return;
  if (seat < 1 || seat > kSeatCount) return;
  if (std::strcmp(rest, "Friend") == 0) {
    HostSeat &s = hostSeat(seat - 1);
    s.friendSeat = value == 1 && seat - 1 == kFriendSeat;
    if (s.friendSeat) s.cpuLevel = kSeatPerson;
    return;
  }
  if (std::strcmp(rest, "Level") != 0 || hostSeat(seat - 1).friendSeat) return;
  hostSeat(seat - 1).cpuLevel = value <= kCpuLevelCount ? value : kSeatPerson;
}

// "seatNName NAME": everything after the first space, since names may hold
// spaces; a name the rules refuse keeps the seat's default.
void readSeatName(const char *line) {
  long seat = 0;
  const char *rest = nullptr;
  if (!readSeatNumber(line, &seat, &rest) || std::strncmp(rest, "Name", 4) != 0) return;
  if (seat < 1 || seat > kSeatCount) return;
  rest += 4;
  while (isBlank(*rest)) ++rest;
  std::string_view name(rest);
  if (!name.empty() && name.back() == '\r') name.remove_suffix(1);
  if (!validPlayerName(name)) return;
  HostSeat &s = hostSeat(seat - 1);
  std::snprintf(s.name, sizeof s.name, "%.*s", static_cast<int>(name.size()), name.data());
}

// A line's word (up to 31 characters) and whole number, as the core reads
// them; false when the line has no number after its word.
bool wordAndNumber(const char *line, char (&name)[32], long *value) {
  const char *word = line;
  while (isBlank(*word)) ++word;
  size_t length = 0;
  while (word[length] != 0 && !isBlank(word[length]) && length < 31) ++length;
  std::memcpy(name, word, length);
  name[length] = 0;
  char *numberEnd = nullptr;
  *value = std::strtol(word + length, &numberEnd, 10);
  return length > 0 && numberEnd != word + length;
}

void readSeatSetting(const char *line) {
  char name[32];
  long value = 0;
  if (wordAndNumber(line, name, &value)) {
    const int32_t v = clampedValue(value);
    if (std::strcmp(name, "fastCpu") == 0) cpuFast = v != 0;
    readSeatLevel(name, v);
  }
  readSeatName(line);
}

void writeSeatSettings(std::string &text) {
  auto line = [&text](const std::string &name, const std::string &value) {
    text += name + ' ' + value + '\n';
  };
  line("fastCpu", cpuFast ? "1" : "0");
  for (int32_t seat = 0; seat < kSeatCount; ++seat) {
    const std::string key = "seat" + std::to_string(seat + 1);
    line(key + "Name", hostSeat(seat).name);
    line(key + "Level", std::to_string(hostSeat(seat).cpuLevel));
  }
  // Appended, and only when set: files without it read as before.
  if (hostSeat(kFriendSeat).friendSeat)
    line("seat" + std::to_string(kFriendSeat + 1) + "Friend", "1");
}

void resetSeats() {
  hostSeatsReset();
  nextSeedSet = false;
  cpuFast = false;
}

const HostFeature kSeatsFeature = {.name = "seats",
                                   .observe = watchMatch,
                                   .matchStarted = seatsMatchStarted,
                                   .matchFinished = nullptr,
                                   .overlay = nullptr,
                                   .overlayOrder = 0,
                                   .caption = nullptr,
                                   .readSetting = readSeatSetting,
                                   .writeSettings = writeSeatSettings,
                                   .settingRows = nullptr,
                                   .settingRowCount = 0,
                                   .finish = nullptr,
                                   .reset = resetSeats};

bool playersTypedKey(int32_t vKey) {
  if (!editing) return false;
  char letter = 0;
  if ((vKey >= 'A' && vKey <= 'Z') || (vKey >= '0' && vKey <= '9'))
    letter = static_cast<char>(vKey);
  if (vKey >= 0x60 && vKey <= 0x69) letter = static_cast<char>('0' + vKey - 0x60);
  if (vKey == VK_SPACE) letter = ' ';
  if (vKey == kVkHyphen || vKey == kVkNumMinus) letter = '-';
  if (draftFresh && (letter != 0 || vKey == VK_BACK)) std::memset(draft, ' ', kSeatNameChars);
  if (letter != 0 || vKey == VK_BACK) draftFresh = false;
  if (letter != 0) {
    draft[place] = letter;
    if (place + 1 < kSeatNameChars) ++place;
    return true;
  }
  if (vKey == VK_BACK) {
    // The letter behind the cursor goes, as in any text field.
    if (draft[place] == ' ' && place > 0) --place;
    draft[place] = ' ';
    return true;
  }
  if (vKey == VK_RETURN || vKey == VK_ESCAPE) {
    endEditing();
    return true;
  }
  return false;
}

}  // namespace

void registerCpuSeats() {
  (void)hostAddPage(&kPlayersPage);
  (void)hostAddFeature(&kSeatsFeature);
}

bool hostCpuFast() { return cpuFast; }
void hostSetCpuFast(bool fast) { cpuFast = fast; }
uint64_t hostMatchSeed() { return matchSeed; }
int32_t hostMatchCpuLevel(int32_t seat) {
  return seat >= 0 && seat < kMaxPlayers ? matchSeats.levels[seat] : kSeatPerson;
}
void hostFixMatchSeed(uint64_t seed) {
  seedFixed = true;
  fixedSeed = seed;
}

void hostSetNextMatchSeed(uint64_t seed) {
  nextSeedSet = true;
  nextSeed = seed;
}
