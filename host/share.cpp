// Sharing a match's code and opening one a friend shared (see
// host/share.h).
#include "host/share.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/settings.h"
#include "host/host_internal.h"
#include "host/match_codes.h"
#include "platform/common/code_link.h"
#include "platform/common/host_link.h"

namespace {

constexpr int32_t kNoteDraws = 180;  // about three seconds of frames
constexpr int32_t kVkControl = 0x11;
constexpr int32_t kVkV = 'V';

// How a code given from outside is opened (host/correspondence.cpp
// answers a friend's turn); null: watched.
CodeOpener opener;

bool openGiven(const std::string &code, std::string *message) {
  if (opener != nullptr) return opener(code, message);
  return hostPlayCode(code, CodePlay::kWatch, message);
}

// What the last share answered, shown for a while where it was asked.
std::string words;
int32_t wordsDraws = kNoteDraws;
// What the "Watch or answer" page says: a refusal, until the page is left.
std::string note;

bool isCodeLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool startsWithNoCase(std::string_view text, std::string_view start) {
  if (text.size() < start.size()) return false;
  for (size_t i = 0; i < start.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != start[i]) return false;
  }
  return true;
}

bool ctrlHeld() { return (static_cast<uint16_t>(GetAsyncKeyState(kVkControl)) & 0x8000u) != 0; }

// --- The "Watch or answer" page.

const char *howToGive() {
  const CodeShareOut *out = platformCodeShare();
  if (out != nullptr && out->paste == nullptr) return "Paste it in the field under the game.";
  return "Ctrl+V pastes it from the clipboard.";
}

void pasteCode() {
  const CodeShareOut *out = platformCodeShare();
  std::string text;
  if (out == nullptr || out->paste == nullptr || !out->paste(&text)) {
    note = "The clipboard holds no text.";
    platformSay(note.c_str(), false);
    return;
  }
  (void)hostOpenCode(text);
}

void openOpened() { note.clear(); }

// The note in lines of at most 34 letters, broken at spaces.
std::vector<std::string> noteLines() {
  std::vector<std::string> lines;
  std::string rest = note;
  while (!rest.empty()) {
    size_t cut = rest.size() <= 34 ? rest.size() : rest.rfind(' ', 34);
    if (cut == std::string::npos || cut == 0) cut = rest.size() < 34 ? rest.size() : 34;
    lines.push_back(rest.substr(0, cut));
    rest = rest.substr(cut);
    while (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
  }
  return lines;
}

void openDraw(HostLayer &layer) {
  // The game stands still while the menu is open, so no pass takes a code
  // given meanwhile: one given on this very page (the browser's field) is
  // taken here, as the page is drawn.
  std::string given;
  if (platformTakeReceivedCode(&given) && hostOpenCode(given)) return;
  layerPanel(layer, "Watch or answer");
  layerTextCentred(layer, 60, "A code a friend sent you:", kTextColour);
  layerTextCentred(layer, 74, howToGive(), kQuietColour);
  int32_t y = 100;
  for (const std::string &line : noteLines()) {
    layerTextCentred(layer, y, line.c_str(), kChosenColour);
    y += 14;
  }
  drawFoot(layer, "B: back");
}

bool openTyped(int32_t vKey) {
  if (vKey != kVkV || !ctrlHeld()) return false;
  pasteCode();
  return true;
}

void openKey(HostAction action) {
  if (action == HostAction::kBack) hostOpenParent();
}

bool openTap(int32_t x, int32_t y) {
  if (footButtonAt(x, y) == FootButton::kNone) return false;
  hostOpenParent();
  return true;
}

int32_t openRows(HostRow *rows, int32_t max) {
  std::vector<std::string> lines = noteLines();
  if (lines.empty()) lines.push_back(howToGive());
  int32_t n = 0;
  for (const std::string &line : lines) {
    if (n == max) break;
    std::snprintf(rows[n].label, sizeof rows[n].label, "%s", line.c_str());
    rows[n].value[0] = 0;
    rows[n].chosen = n == 0;
    rows[n].meterSteps = 0;
    rows[n].meterFilled = 0;
    ++n;
  }
  return n;
}

const HostPage kOpenPage = {.name = "open-code",
                            .title = "Watch or answer",
                            .under = "book",
                            .available = nullptr,
                            .draw = openDraw,
                            .key = openKey,
                            .tap = openTap,
                            .typed = openTyped,
                            .opened = openOpened,
                            .left = nullptr,
                            .rows = openRows};

// --- "Leave this match?": a code that arrives during a match of the
// player's asks first; A watches it, B goes back to the match.

std::string waiting;  // the code that asked

bool matchInProgress() {
  const HostView &view = hostLastView();
  return view.scene == HostScene::kMatch && view.sceneStep < kMatchFinished &&
         hostPlayback() == HostPlayback::kNone;
}

void askDraw(HostLayer &layer) {
  layerPanel(layer, "Watch or answer");
  layerTextCentred(layer, 70, "A match code has arrived.", kTextColour);
  layerTextCentred(layer, 90, "Leave this match to watch it?", kChosenColour);
  layerTextCentred(layer, 104, "(this match is not kept)", kQuietColour);
  drawFoot(layer, "A: watch  B: stay");
}

void askConfirm() {
  std::string message;
  const std::string code = waiting;
  waiting.clear();
  if (openGiven(code, &message)) return;
  // Refused now (an older code of a friend's match): said on its page.
  hostOpenPage("open-code");
  note = message;
  platformSay(note.c_str(), false);
}

void askKey(HostAction action) {
  if (action == HostAction::kConfirm) askConfirm();
  if (action == HostAction::kBack) {
    waiting.clear();
    hostCloseMenu();
  }
}

bool askTap(int32_t x, int32_t y) {
  const FootButton button = footButtonAt(x, y);
  if (button == FootButton::kBack) askKey(HostAction::kBack);
  if (button == FootButton::kNone) return false;
  return true;
}

int32_t askRows(HostRow *rows, int32_t max) {
  if (max < 1) return 0;
  std::snprintf(rows[0].label, sizeof rows[0].label, "%s", "Leave this match to watch it?");
  rows[0].value[0] = 0;
  rows[0].chosen = true;
  rows[0].meterSteps = 0;
  rows[0].meterFilled = 0;
  return 1;
}

const HostPage kAskPage = {.name = "open-code-ask",
                           .title = nullptr,
                           .under = nullptr,
                           .available = nullptr,
                           .draw = askDraw,
                           .key = askKey,
                           .tap = askTap,
                           .typed = nullptr,
                           .opened = nullptr,
                           .left = nullptr,
                           .rows = askRows};

// --- The feature: a code received from outside is opened at the next pass.

void observe(const HostView &) {
  std::string text;
  if (platformTakeReceivedCode(&text)) (void)hostOpenCode(text);
}

void reset() {
  words.clear();
  wordsDraws = kNoteDraws;
  note.clear();
  waiting.clear();
  std::string dropped;
  (void)platformTakeReceivedCode(&dropped);
}

const HostFeature kShareFeature = {.name = "share",
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

}  // namespace

std::string codeFromLink(std::string_view text) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  if (startsWithNoCase(text, "tobelyn:")) {
    text.remove_prefix(8);
    while (!text.empty() && text.front() == '/') text.remove_prefix(1);
  }
  const size_t mark = text.find("#m=");
  if (mark != std::string_view::npos) {
    text.remove_prefix(mark + 3);
  } else if (startsWithNoCase(text, "m=")) {
    text.remove_prefix(2);
  }
  size_t end = 0;
  while (end < text.size() && isCodeLetter(text[end])) ++end;
  // Anything but a slash or the next field of a link after the letters
  // is kept, so that the code's reading refuses it with its reason.
  if (end < text.size() && text[end] != '/' && text[end] != '&') end = text.size();
  return std::string(text.substr(0, end));
}

bool hostShareCode(const std::string &code) {
  const CodeShareOut *out = platformCodeShare();
  if (code.empty() || out == nullptr || out->share == nullptr) return false;
  const char *answer = out->share(code.c_str());
  words = answer != nullptr ? answer : "The code could not be shared.";
  wordsDraws = 0;
  platformSay(words.c_str(), false);
  return answer != nullptr;
}

const std::string &shareWords() { return words; }

bool hostOpenCode(std::string_view text) {
  const std::string code = codeFromLink(text);
  std::string message;
  if (code.empty()) {
    message = "No match code in that text.";
  } else if (matchInProgress()) {
    // Read now, so that a refusal is said at once; asked only when it plays.
    MatchCode read;
    if (matchCodeRead(code, &read, &message) == CodeRefusal::kNone) {
      waiting = code;
      if (!hostMenuOpen()) hostOpenMenu();
      hostOpenPage("open-code-ask");
      return false;
    }
  } else if (openGiven(code, &message)) {
    return true;
  }
  if (!hostMenuOpen()) hostOpenMenu();
  hostOpenPage("open-code");
  note = message;
  platformSay(note.c_str(), false);
  return false;
}

void drawShareNote(HostLayer &layer, int32_t y) {
  if (wordsDraws >= kNoteDraws || words.empty()) return;
  ++wordsDraws;
  const int32_t w = textWidth(words.c_str()) + 12;
  const int32_t x = (kLayerWidth - w) / 2;
  layerFill(layer, x, y, w, 14, kEdgeColour);
  layerFill(layer, x + 1, y + 1, w - 2, 12, kPanelColour);
  layerTextCentred(layer, y + 3, words.c_str(), kTextColour);
}

bool recordsShareKey(int32_t vKey, const std::string &code) {
  if (vKey != static_cast<int32_t>(keyBindings[kButtonC]) || code.empty()) return false;
  (void)hostShareCode(code);
  return true;
}

void hostSetCodeOpener(CodeOpener open) { opener = open; }

void registerShare() {
  (void)hostAddFeature(&kShareFeature);
  (void)hostAddPage(&kOpenPage);
  (void)hostAddPage(&kAskPage);
}
