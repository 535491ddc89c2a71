// The pages of the host's menu: the main list, how to play, settings and the
// two confirmations. Each is a HostPage (host/host.h); new ones are added
// with hostAddPage and listed in the main menu before "Quit game".
#include <cstdio>
#include <cstring>

#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "host/host_internal.h"

namespace {

// Rows of a list page: their top, height and the room between them.
constexpr int32_t kRowTop = 52;
constexpr int32_t kRowStep = 28;
constexpr int32_t kRowHeight = 24;
constexpr int32_t kRowLeft = 16;
constexpr int32_t kRowWidth = kLayerWidth - 32;
// The bar of buttons at the foot of a page: "<", "Back", ">".
constexpr int32_t kFootTop = 282;
constexpr int32_t kFootHeight = 22;
constexpr int32_t kBodyWidth = kLayerWidth - 40;

int32_t rowAt(int32_t x, int32_t y) {
  if (x < kRowLeft || x >= kRowLeft + kRowWidth || y < kRowTop) return -1;
  const int32_t row = (y - kRowTop) / kRowStep;
  return (y - kRowTop) % kRowStep < kRowHeight ? row : -1;
}

void drawRow(HostLayer &layer, int32_t row, const char *text, bool chosen) {
  const int32_t y = kRowTop + row * kRowStep;
  if (chosen) layerFill(layer, kRowLeft, y, kRowWidth, kRowHeight, kEdgeColour);
  if (chosen) layerFill(layer, kRowLeft + 1, y + 1, kRowWidth - 2, kRowHeight - 2, kPanelColour);
  layerTextCentred(layer, y + 5, text, chosen ? kChosenColour : kTextColour, 2);
}

enum class FootButton { kNone, kPrevious, kBack, kNext };

}  // namespace

void drawFoot(HostLayer &layer, const char *middle) {
  layerFill(layer, 16, kFootTop, kLayerWidth - 32, 1, kEdgeColour);
  layerText(layer, 20, kFootTop + 6, "<", kTextColour, 2);
  layerTextCentred(layer, kFootTop + 6, middle, kQuietColour);
  layerText(layer, kLayerWidth - 20 - textWidth(">", 2), kFootTop + 6, ">", kTextColour, 2);
}

namespace {

FootButton footAt(int32_t x, int32_t y) {
  if (y < kFootTop || y >= kFootTop + kFootHeight + 8) return FootButton::kNone;
  if (x < 72) return FootButton::kPrevious;
  if (x >= kLayerWidth - 72) return FootButton::kNext;
  return FootButton::kBack;
}

// Text wrapped at word boundaries to the body's width; returns the y below.
int32_t drawBody(HostLayer &layer, int32_t y, const char *text, HostColour c = kTextColour) {
  char line[96] = "";
  const char *p = text;
  while (*p != 0) {
    const char *end = p;
    while (*end != 0 && *end != ' ') ++end;
    char candidate[96];
    const int n = std::snprintf(candidate, sizeof candidate, "%s%s%.*s", line, line[0] ? " " : "",
                                static_cast<int>(end - p), p);
    if (n > 0 && static_cast<size_t>(n) < sizeof candidate &&
        (textWidth(candidate) <= kBodyWidth || line[0] == 0)) {
      std::memcpy(line, candidate, sizeof line);
    } else {
      layerText(layer, 20, y, line, c);
      y += 11;
      std::snprintf(line, sizeof line, "%.*s", static_cast<int>(end - p), p);
    }
    p = *end == ' ' ? end + 1 : end;
  }
  if (line[0] != 0) {
    layerText(layer, 20, y, line, c);
    y += 11;
  }
  return y + 4;
}

// --- The main list.

int32_t menuCursorRow;

bool isListed(const HostPage *page) {
  return page->title != nullptr && (page->available == nullptr || page->available());
}

// The pages kept at the foot of the main list, in this order, whenever
// they were added.
const char *const kListedLast[] = {"players", "quit-game"};
constexpr int kListedLastCount = 2;

int listedLastIndex(const HostPage *page) {
  for (int i = 0; i < kListedLastCount; ++i)
    if (std::strcmp(page->name, kListedLast[i]) == 0) return i;
  return -1;
}

// The main list: Resume (null), then the listed pages, Players and "Quit
// game" last.
int listEntries(const HostPage **entries, int max) {
  int n = 0;
  entries[n++] = nullptr;
  const HostPage *last[kListedLastCount] = {};
  for (int i = 0; i < hostPageCount(); ++i) {
    const HostPage *page = hostPageAt(i);
    if (!isListed(page)) continue;
    const int lastIndex = listedLastIndex(page);
    if (lastIndex >= 0)
      last[lastIndex] = page;
    else if (n < max - kListedLastCount)
      entries[n++] = page;
  }
  for (const HostPage *page : last)
    if (page != nullptr) entries[n++] = page;
  return n;
}

constexpr int kEntriesMax = 8;

void chooseEntry(int32_t row) {
  const HostPage *entries[kEntriesMax];
  const int n = listEntries(entries, kEntriesMax);
  if (row < 0 || row >= n) return;
  if (entries[row] == nullptr)
    hostCloseMenu();
  else
    hostOpenPage(entries[row]->name);
}

void menuDraw(HostLayer &layer) {
  layerPanel(layer, "Paused");
  const HostPage *entries[kEntriesMax];
  const int n = listEntries(entries, kEntriesMax);
  if (menuCursorRow >= n) menuCursorRow = n - 1;
  for (int i = 0; i < n; ++i)
    drawRow(layer, i, entries[i] == nullptr ? "Resume" : entries[i]->title, i == menuCursorRow);
}

void menuKey(HostAction action) {
  const HostPage *entries[kEntriesMax];
  const int n = listEntries(entries, kEntriesMax);
  if (action == HostAction::kUp) menuCursorRow = menuCursorRow > 0 ? menuCursorRow - 1 : n - 1;
  if (action == HostAction::kDown) menuCursorRow = menuCursorRow + 1 < n ? menuCursorRow + 1 : 0;
  if (action == HostAction::kConfirm) chooseEntry(menuCursorRow);
  if (action == HostAction::kBack) hostCloseMenu();
}

bool menuTap(int32_t x, int32_t y) {
  const int32_t row = rowAt(x, y);
  if (row < 0) return false;
  menuCursorRow = row;
  chooseEntry(row);
  return true;
}

// --- How to play.

int32_t helpSheet;
constexpr int32_t kHelpSheets = 6;

void drawControls(HostLayer &layer) {
  int32_t y = 50;
  char text[128];
  switch (hostDevice()) {
    case HostDevice::kTouch:
      y = drawBody(layer, y, "Tap the board to throw: each tap is one press of A.");
      y = drawBody(layer, y, "The arrow, A and B buttons under the picture work as the keys do.");
      y = drawBody(layer, y, "Menu: the Menu button in the bar. Tap a row to choose it.");
      break;
    case HostDevice::kPad:
      y = drawBody(layer, y, "Move: the pad's cross or left stick.");
      y = drawBody(layer, y, "A (throw, confirm): the pad's A.");
      y = drawBody(layer, y, "B (back): the pad's B.  C: X or Y.  Start: Start.");
      y = drawBody(layer, y, "Menu: Back (Select).");
      break;
    case HostDevice::kKeyboard: {
      std::snprintf(text, sizeof text, "Move: %s, %s, %s, %s.", keyName(keyBindings[kKeyUp]),
                    keyName(keyBindings[kKeyDown]), keyName(keyBindings[kKeyLeft]),
                    keyName(keyBindings[kKeyRight]));
      y = drawBody(layer, y, text);
      std::snprintf(text, sizeof text, "A (throw, confirm): %s.", keyName(keyBindings[kButtonA]));
      y = drawBody(layer, y, text);
      std::snprintf(text, sizeof text, "B (back): %s.", keyName(keyBindings[kButtonB]));
      y = drawBody(layer, y, text);
      std::snprintf(text, sizeof text, "C: %s.  Start: %s.", keyName(keyBindings[kButtonC]),
                    keyName(keyBindings[kButtonStart]));
      y = drawBody(layer, y, text);
      bool f1Bound = false;
      for (int16_t code : keyBindings) f1Bound = f1Bound || code == VK_F1;
      y = drawBody(layer, y,
                   f1Bound ? "Menu: F1 is a game key now; use the pad's Back or the Menu button."
                           : "Menu: F1 (or a pad's Back).");
      break;
    }
  }
  drawBody(layer, y + 4, "The option screen changes the keys.", kQuietColour);
}

// A small picture of the throw: the pointer over a strip of board, and the
// gauge's arc with its marker.
void drawThrowPicture(HostLayer &layer, int32_t x, int32_t y) {
  const HostColour pointer = {255, 220, 0}, arc = {224, 64, 48}, marker = {255, 255, 255};
  for (int32_t row = 0; row < 6; ++row)
    layerFill(layer, x + 20 + row, y + row, 12 - 2 * row, 1, pointer);
  layerFill(layer, x, y + 8, 52, 3, {40, 140, 60});
  // A quarter circle from the left to the top, in steps.
  const int32_t arcX[] = {0, 1, 3, 6, 10, 15, 21, 27, 33, 38};
  const int32_t arcY[] = {40, 34, 28, 23, 19, 16, 14, 13, 13, 14};
  for (int i = 0; i < 10; ++i) layerFill(layer, x + arcX[i] + 8, y + arcY[i] + 12, 4, 4, arc);
  layerFill(layer, x + 33 + 8, y + 13 + 11, 6, 6, marker);
}

void drawDart(HostLayer &layer) {
  int32_t y = drawBody(layer, 50, "A dart takes up to five presses of A:");
  const char *const steps[] = {
      "1 leave the announcement",     "2 stop the sliding pointer: the aim",
      "3 start the power gauge",      "4 stop the climb: the peak",
      "5 stop the fall: the release",
  };
  for (const char *s : steps) y = drawBody(layer, y - 4, s);
  y = drawBody(layer, y,
               "Peak and release together set how high the dart lands. Left alone, "
               "the climb stops at the top and the fall lets go at the bottom.");
  drawThrowPicture(layer, 94, y + 8);
}

struct RulesSheet {
  const char *game;
  const char *rules[4];
};
const RulesSheet kRulesSheets[] = {
    {"301",
     {"Everyone starts at 301 and counts down.", "Land on exactly 0 to win.",
      "Score more than you have left and you bust: that dart counts for nothing and your turn is "
      "over.",
      "No winner after ten rounds: a draw."}},
    {"Count Up",
     {"Every dart adds its score.", "The first total of 200 or more wins at once.",
      "There is no round limit.", nullptr}},
    {"High Score",
     {"Every dart adds its score.", "The match ends after seven rounds.",
      "Nobody is named winner: compare the totals.", nullptr}},
    {"Round The Clock",
     {"Hit 1, then 2, and so on up to 20; any ring of the number counts once.",
      "Either bull counts as a hit, whatever the number.", "Passing 20 wins.",
      "No winner after ten rounds: a draw."}},
};

void helpDraw(HostLayer &layer) {
  const char *headings[kHelpSheets] = {"Controls", "A dart",     "301",
                                       "Count Up", "High Score", "Round The Clock"};
  layerPanel(layer, headings[helpSheet]);
  if (helpSheet == 0) {
    drawControls(layer);
  } else if (helpSheet == 1) {
    drawDart(layer);
  } else {
    int32_t y = 50;
    for (const char *rule : kRulesSheets[helpSheet - 2].rules)
      if (rule != nullptr) y = drawBody(layer, y, rule);
  }
  char foot[32];
  std::snprintf(foot, sizeof foot, "%d/%d  B: back", static_cast<int>(helpSheet + 1),
                static_cast<int>(kHelpSheets));
  drawFoot(layer, foot);
}

void helpKey(HostAction action) {
  if (action == HostAction::kLeft || action == HostAction::kUp)
    helpSheet = (helpSheet + kHelpSheets - 1) % kHelpSheets;
  if (action == HostAction::kRight || action == HostAction::kDown || action == HostAction::kConfirm)
    helpSheet = (helpSheet + 1) % kHelpSheets;
  if (action == HostAction::kBack) hostOpenPage("menu");
}

bool helpTap(int32_t x, int32_t y) {
  switch (footAt(x, y)) {
    case FootButton::kPrevious:
      helpKey(HostAction::kLeft);
      return true;
    case FootButton::kNext:
      helpKey(HostAction::kRight);
      return true;
    case FootButton::kBack:
      helpKey(HostAction::kBack);
      return true;
    case FootButton::kNone:
      return false;
  }
  return false;
}

// --- Settings.

int32_t settingsRow;

enum SettingRow { kRowSound, kRowVolume, kRowHints, kRowFullScreen, kRowFit };

int settingRows() { return hostWindowControls() != nullptr ? 5 : 3; }

void changeSetting(int32_t row, int32_t direction) {
  HostSettings &s = hostSettings();
  const HostWindowControls *window = hostWindowControls();
  switch (row) {
    case kRowSound:
      setSoundEnabled(soundEnabled != 0 ? 0 : 1);
      break;
    case kRowVolume:
      s.volume += direction;
      s.volume = s.volume < 0 ? 0 : s.volume > 10 ? 10 : s.volume;
      break;
    case kRowHints:
      s.hints = hostHintsOn() ? 0 : 1;
      s.hintsChosen = 1;
      hostUnforceHints();
      break;
    case kRowFullScreen:
      if (window != nullptr) window->toggleFullScreen();
      break;
    case kRowFit:
      if (window != nullptr) window->toggleFit();
      break;
    default:
      break;
  }
}

void settingsDraw(HostLayer &layer) {
  layerPanel(layer, "Settings");
  const HostWindowControls *window = hostWindowControls();
  char text[48];
  for (int32_t row = 0; row < settingRows(); ++row) {
    switch (row) {
      case kRowSound:
        std::snprintf(text, sizeof text, "Sound: %s", soundEnabled != 0 ? "on" : "off");
        break;
      case kRowVolume:
        std::snprintf(text, sizeof text, "Volume: %d", static_cast<int>(hostSettings().volume));
        break;
      case kRowHints:
        std::snprintf(text, sizeof text, "Hints: %s", hostHintsOn() ? "on" : "off");
        break;
      case kRowFullScreen:
        std::snprintf(text, sizeof text, "Full screen: %s", window->fullScreen() ? "on" : "off");
        break;
      default:
        std::snprintf(text, sizeof text, "Fit: %s", window->fit() ? "on" : "off");
        break;
    }
    drawRow(layer, row, text, row == settingsRow);
  }
  drawFoot(layer, "Left/Right: change  B: back");
}

void settingsKey(HostAction action) {
  const int rows = settingRows();
  if (action == HostAction::kUp) settingsRow = settingsRow > 0 ? settingsRow - 1 : rows - 1;
  if (action == HostAction::kDown) settingsRow = settingsRow + 1 < rows ? settingsRow + 1 : 0;
  if (action == HostAction::kLeft) changeSetting(settingsRow, -1);
  if (action == HostAction::kRight || action == HostAction::kConfirm) changeSetting(settingsRow, 1);
  if (action == HostAction::kBack) hostOpenPage("menu");
}

bool settingsTap(int32_t x, int32_t y) {
  const FootButton foot = footAt(x, y);
  if (foot == FootButton::kBack) hostOpenPage("menu");
  if (foot == FootButton::kPrevious) changeSetting(settingsRow, -1);
  if (foot == FootButton::kNext) changeSetting(settingsRow, 1);
  if (foot != FootButton::kNone) return true;
  const int32_t row = rowAt(x, y);
  if (row < 0 || row >= settingRows()) return false;
  settingsRow = row;
  changeSetting(row, 1);
  return true;
}

// --- The two confirmations: "No" is where the cursor starts.

int32_t confirmRow;  // 0 "Yes", 1 "No"

}  // namespace

void confirmDraw(HostLayer &layer, const char *title, const char *note) {
  layerPanel(layer, title);
  drawBody(layer, 52, note);
  drawRow(layer, 2, "Yes", confirmRow == 0);
  drawRow(layer, 3, "No", confirmRow == 1);
}

void confirmKey(HostAction action, void (*yes)(), const char *back) {
  if (action == HostAction::kUp || action == HostAction::kDown || action == HostAction::kLeft ||
      action == HostAction::kRight)
    confirmRow = 1 - confirmRow;
  if (action == HostAction::kBack || (action == HostAction::kConfirm && confirmRow == 1))
    hostOpenPage(back);
  else if (action == HostAction::kConfirm)
    yes();
}

bool confirmTap(int32_t x, int32_t y, void (*yes)(), const char *back) {
  const int32_t row = rowAt(x, y);
  if (row != 2 && row != 3) return false;
  confirmRow = row - 2;
  confirmKey(HostAction::kConfirm, yes, back);
  return true;
}

namespace {

void toTitle() {
  hostCloseMenu();
  quitToTitle();
}

// As the title's QUIT: the window goes, the settings are saved, exit 0. The
// menu stays up meanwhile, so no game pass runs again.
void endGame() { PostMessageW(mainWindow, WM_CLOSE, 0, 0); }

bool inMatch() { return hostLastView().scene == HostScene::kMatch; }

void quitTitleDraw(HostLayer &layer) {
  confirmDraw(layer, "Quit to title?", "The match ends here; its scores are not kept.");
}
void quitTitleKey(HostAction action) { confirmKey(action, toTitle); }
bool quitTitleTap(int32_t x, int32_t y) { return confirmTap(x, y, toTitle); }

void quitGameDraw(HostLayer &layer) {
  confirmDraw(layer, "Quit the game?", "The settings are kept for next time.");
}
void quitGameKey(HostAction action) { confirmKey(action, endGame); }
bool quitGameTap(int32_t x, int32_t y) { return confirmTap(x, y, endGame); }

const HostPage kMenuPage = {"menu", nullptr, nullptr, menuDraw, menuKey, menuTap};
const HostPage kHelpPage = {"help", "How to play", nullptr, helpDraw, helpKey, helpTap};
const HostPage kSettingsPage = {"settings",   "Settings",  nullptr,
                                settingsDraw, settingsKey, settingsTap};
const HostPage kQuitTitlePage = {"quit-title",  "Quit to title", inMatch,
                                 quitTitleDraw, quitTitleKey,    quitTitleTap};
const HostPage kQuitGamePage = {"quit-game",  "Quit game", nullptr,
                                quitGameDraw, quitGameKey, quitGameTap};

}  // namespace

const char *keyName(int32_t vKey) {
  struct Named {
    int32_t code;
    const char *name;
  };
  static const Named kNames[] = {
      {0x08, "Backspace"},   {0x09, "Tab"},       {0x0D, "Enter"},      {0x10, "Shift"},
      {0x11, "Ctrl"},        {0x12, "Alt"},       {0x1B, "Esc"},        {0x20, "Space"},
      {0x21, "Page Up"},     {0x22, "Page Down"}, {0x23, "End"},        {0x24, "Home"},
      {0x25, "Left"},        {0x26, "Up"},        {0x27, "Right"},      {0x28, "Down"},
      {0x2D, "Insert"},      {0x2E, "Delete"},    {0x60, "Num 0"},      {0xA0, "Left Shift"},
      {0xA1, "Right Shift"}, {0xA2, "Left Ctrl"}, {0xA3, "Right Ctrl"},
  };
  const int32_t code = vKey & 0xFFFF;
  for (const Named &n : kNames)
    if (n.code == code) return n.name;
  // A few calls may share one line of text.
  static char texts[4][16];
  static int next;
  char *text = texts[next++ % 4];
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) {
    std::snprintf(text, 16, "%c", static_cast<char>(code));
  } else if (code >= 0x70 && code <= 0x87) {
    std::snprintf(text, 16, "F%d", static_cast<int>(code - 0x70 + 1));
  } else if (code > 0x60 && code <= 0x69) {
    std::snprintf(text, 16, "Num %d", static_cast<int>(code - 0x60));
  } else {
    std::snprintf(text, 16, "key %d", static_cast<int>(code));
  }
  return text;
}

void registerBuiltInPages() {
  const HostPage *const builtIn[] = {&kMenuPage, &kHelpPage, &kSettingsPage, &kQuitTitlePage,
                                     &kQuitGamePage};
  for (const HostPage *page : builtIn) hostAddPage(page);
}

void pageOpened(const HostPage *page) {
  // Whichever page was left, what it had under way ends with it.
  playersPageLeft();
  bookPageOpened(page);
  if (page == &kMenuPage) return;  // back on the list, the cursor stays
  helpSheet = 0;
  settingsRow = 0;
  playersPageOpened();
  confirmRow = 1;
}

void pagesClosed() { playersPageLeft(); }

void menuOpenedAfresh() { menuCursorRow = 0; }
