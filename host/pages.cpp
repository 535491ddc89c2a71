// The built-in pages of the host's menu: how to play, settings and the two
// confirmations. Each is a HostPage (host/host.h), listed under its row of
// the menu (kMenuSlots); the menu's list itself is the core's.
#include <cstdio>
#include <cstring>

#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "gfx/sprite_table.h"
#include "gfx/surface.h"
#include "host/games.h"
#include "host/host_internal.h"

namespace {

constexpr int32_t kBodyWidth = kLayerWidth - 40;

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

// --- How to play.

int32_t helpSheet;
// Two sheets of controls, the four games, the host's own, playing by ear.
constexpr int32_t kHelpSheets = 12;

void drawControls(HostLayer &layer) {
  int32_t y = 50;
  char text[128];
  switch (hostDevice()) {
    case HostDevice::kTouch:
      y = drawBody(layer, y, "Tap the board to throw: each tap is one press of A.");
      y = drawBody(layer, y,
                   "Upright: the arrows are under the picture on the left; A, B, C and Start "
                   "on the right.");
      y = drawBody(layer, y,
                   "Sideways: the arrows left of the picture; A, B, C and Start right of it.");
      y = drawBody(layer, y, "Menu: the Menu button at the top right. Tap a row to choose it.");
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

void layerTextCentredAt(HostLayer &layer, int32_t centreX, int32_t y, const char *text) {
  layerText(layer, centreX - textWidth(text) / 2, y, text, kQuietColour);
}

// The throw as the game draws it, from its own sprites: the pointer over
// the top of the board (the aim), and the arm before its gauge at half
// size, the marker high on the arc (the peak).
void drawThrowPicture(HostLayer &layer, int32_t y) {
  const HostRect boardTop = {72, 0, 80, 36};
  const int32_t boardX = 20;
  layerSprite(layer, kSpriteBoard, boardX, y + 16, &boardTop);
  layerSprite(layer, kSpriteAimPointer, boardX + 32, y);
  layerTextCentredAt(layer, boardX + 40, y + 58, "the aim");
  const int32_t gaugeX = 112;
  layerFill(layer, gaugeX, y, 112, 72, {0, 0, 0});
  layerSprite(layer, kSpriteArm3, gaugeX + 16, y, nullptr, 2);
  layerSprite(layer, kSpriteGauge, gaugeX, y, nullptr, 2);
  constexpr int32_t kPeak = 112;
  layerSprite(layer, kSpritePowerMarker, gaugeX + (gaugeArcX[kPeak] - 8) / 2,
              y + (gaugeArcY[kPeak] - 112) / 2, nullptr, 2);
  layerTextCentredAt(layer, gaugeX + 56, y + 76, "peak, then release");
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
  drawThrowPicture(layer, y + 2);
  // A line's room between the picture's label and the note under it.
  drawBody(layer, y + 96,
           "Settings, Effects: Lively adds the dart's flight, a peak ring, bursts, a ticker.",
           kQuietColour);
}

// Two sheets of controls, then one a game, from the table of games.
constexpr int32_t kHelpGameSheet = 2;
// Then one a game of the host's own.
constexpr int32_t kHelpOwnGameSheet = kHelpGameSheet + kGameCount;
// Then the throw as it sounds, for a player who cannot see it.
constexpr int32_t kHelpEarSheet = kHelpOwnGameSheet + kHostOwnGameCount;
// Then playing a friend far away by codes.
constexpr int32_t kHelpFriendSheet = kHelpEarSheet + 1;
static_assert(kHelpSheets == kHelpFriendSheet + 1,
              "a sheet for each game, then playing by ear and a friend far away");

void drawByEar(HostLayer &layer) {
  const char *const lines[] = {
      "Players > Assists... > Seat N cues sounds that seat's throw on a voice over the game's:",
      "The pointer: a low hum moving from the left ear to the right with it, and a tick as it "
      "crosses the board's middle.",
      "The gauge: a tone rising and falling with it, and a chime as the peak is fixed. A higher "
      "peak and an earlier release throw higher.",
      "The landing: a note from where the dart hit, higher the higher it hit; a low buzz for a "
      "miss. Speech (Settings) says the score.",
  };
  int32_t y = 50;
  for (const char *line : lines) y = drawBody(layer, y, line);
  drawBody(layer, y + 4, "At 1/2 or 1/3 pace the sounds are slower too.", kQuietColour);
}

void drawFriendFarAway(HostLayer &layer) {
  const char *const lines[] = {
      "Players: set Seat 2 to Friend for a match of two. When your turn ends, copy or share "
      "the code the game gives and send it.",
      "Your friend opens it (Player book... > Watch or answer, or the link), watches your "
      "darts, throws a turn and sends a code back.",
      "Open only the newest code: an older one is refused.",
  };
  int32_t y = 50;
  for (const char *line : lines) y = drawBody(layer, y, line);
  drawBody(layer, y + 4,
           "This is friendly play: a code's check catches a code mistyped or cut short, "
           "not one changed on purpose. It is no signature.",
           kQuietColour);
}

const char *helpTitle(int32_t sheet) {
  if (sheet >= kHelpOwnGameSheet) return kHostOwnGames[sheet - kHelpOwnGameSheet].name;
  return kHostGames[sheet - kHelpGameSheet].name;
}

const char *const *helpRules(int32_t sheet) {
  if (sheet >= kHelpOwnGameSheet) return kHostOwnGames[sheet - kHelpOwnGameSheet].rules;
  return kHostGames[sheet - kHelpGameSheet].rules;
}

void helpDraw(HostLayer &layer) {
  const char *const headings[] = {"Controls", "A dart"};
  layerPanel(layer, helpSheet < kHelpGameSheet      ? headings[helpSheet]
                    : helpSheet == kHelpEarSheet    ? "Playing by ear"
                    : helpSheet == kHelpFriendSheet ? "A friend far away"
                                                    : helpTitle(helpSheet));
  if (helpSheet == kHelpFriendSheet) {
    drawFriendFarAway(layer);
  } else if (helpSheet == kHelpEarSheet) {
    drawByEar(layer);
  } else if (helpSheet == 0) {
    drawControls(layer);
  } else if (helpSheet == 1) {
    drawDart(layer);
  } else {
    int32_t y = 50;
    const char *const *rules = helpRules(helpSheet);
    for (int32_t i = 0; i < 4; ++i)
      if (rules[i] != nullptr) y = drawBody(layer, y, rules[i]);
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
  if (action == HostAction::kBack) hostOpenParent();
}

bool helpTap(int32_t x, int32_t y) {
  switch (footButtonAt(x, y)) {
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

// --- Settings: the sound's rows, the features' rows, then the window's
// where the backend has them.

int32_t settingsRow;

const char *onOff(bool on) { return on ? "on" : "off"; }

const char *soundValue() { return onOff(soundEnabled != 0); }
void soundChange(int32_t) { setSoundEnabled(soundEnabled != 0 ? 0 : 1); }

const char *volumeValue() {
  static char text[16];
  std::snprintf(text, sizeof text, "%d of 10", static_cast<int>(hostSettings().volume));
  return text;
}
void volumeChange(int32_t direction) {
  HostSettings &s = hostSettings();
  s.volume += direction;
  s.volume = s.volume < 0 ? 0 : s.volume > 10 ? 10 : s.volume;
}

const char *fullScreenValue() { return onOff(hostWindowControls()->fullScreen()); }
void fullScreenChange(int32_t) { hostWindowControls()->toggleFullScreen(); }
const char *fitValue() { return onOff(hostWindowControls()->fit()); }
void fitChange(int32_t) { hostWindowControls()->toggleFit(); }

const HostSettingRow kSoundRows[] = {{"Sound", soundValue, soundChange},
                                     {"Volume", volumeValue, volumeChange}};
const HostSettingRow kWindowRows[] = {{"Full screen", fullScreenValue, fullScreenChange},
                                      {"Fit", fitValue, fitChange}};

// The rows of the page now, in order; returns how many.
int32_t settingRowList(const HostSettingRow **list, int32_t max) {
  int32_t n = 0;
  for (const HostSettingRow &row : kSoundRows)
    if (n < max) list[n++] = &row;
  for (int32_t i = 0; i < hostFeatureCount(); ++i) {
    const HostFeature *feature = hostFeatureAt(i);
    for (int32_t r = 0; r < feature->settingRowCount && n < max; ++r)
      list[n++] = &feature->settingRows[r];
  }
  if (hostWindowControls() != nullptr)
    for (const HostSettingRow &row : kWindowRows)
      if (n < max) list[n++] = &row;
  n += actionSettingRows(list + n, max - n);
  return n;
}

void changeSetting(int32_t row, int32_t direction) {
  const HostSettingRow *list[kHostRowsMax];
  const int32_t n = settingRowList(list, kHostRowsMax);
  if (row >= 0 && row < n) list[row]->change(direction);
}

int32_t settingsRows(HostRow *rows, int32_t max) {
  const HostSettingRow *list[kHostRowsMax];
  const int32_t n = settingRowList(list, kHostRowsMax);
  int32_t count = 0;
  for (int32_t i = 0; i < n && count < max; ++i) {
    HostRow &row = rows[count++];
    row = HostRow{};
    std::snprintf(row.label, sizeof row.label, "%s", list[i]->label);
    std::snprintf(row.value, sizeof row.value, "%s", list[i]->value());
    row.chosen = i == settingsRow;
    // The volume as a bar of its ten equal loudness steps.
    if (list[i] == &kSoundRows[1]) {
      row.meterSteps = 10;
      row.meterFilled = static_cast<int8_t>(hostSettings().volume);
    }
  }
  return count;
}

int32_t settingsRowCount() {
  const HostSettingRow *list[kHostRowsMax];
  return settingRowList(list, kHostRowsMax);
}

void settingsDraw(HostLayer &layer) {
  layerPanel(layer, "Settings");
  HostRow rows[kHostRowsMax];
  layerRows(layer, rows, settingsRows(rows, kHostRowsMax));
  drawFoot(layer, "Left/Right: change  B: back");
}

void settingsKey(HostAction action) {
  const int32_t rows = settingsRowCount();
  if (action == HostAction::kUp || action == HostAction::kDown) actionSettingsDisarm();
  if (action == HostAction::kUp) settingsRow = settingsRow > 0 ? settingsRow - 1 : rows - 1;
  if (action == HostAction::kDown) settingsRow = settingsRow + 1 < rows ? settingsRow + 1 : 0;
  if (action == HostAction::kLeft) changeSetting(settingsRow, -1);
  if (action == HostAction::kRight || action == HostAction::kConfirm) changeSetting(settingsRow, 1);
  if (action == HostAction::kBack) hostOpenParent();
}

bool settingsTap(int32_t x, int32_t y) {
  const FootButton foot = footButtonAt(x, y);
  if (foot == FootButton::kBack) hostOpenParent();
  if (foot == FootButton::kPrevious) changeSetting(settingsRow, -1);
  if (foot == FootButton::kNext) changeSetting(settingsRow, 1);
  if (foot != FootButton::kNone) return true;
  const int32_t row = layerRowAt(x, y);
  if (row < 0 || row >= settingsRowCount()) return false;
  if (row != settingsRow) actionSettingsDisarm();
  settingsRow = row;
  changeSetting(row, 1);
  return true;
}

void settingsOpened() {
  settingsRow = 0;
  actionSettingsDisarm();
}

// --- The two confirmations: "No" is where the cursor starts.

int32_t confirmRow;  // 0 "Yes", 1 "No"

}  // namespace

int32_t confirmRows(HostRow *rows, int32_t max) {
  // Two rows left blank for the note above them.
  const char *const labels[] = {"", "", "Yes", "No"};
  int32_t count = 0;
  for (int32_t i = 0; i < 4 && count < max; ++i) {
    rows[count] = HostRow{};
    std::snprintf(rows[count].label, sizeof rows[count].label, "%s", labels[i]);
    rows[count].chosen = i - 2 == confirmRow;
    ++count;
  }
  return count;
}

void confirmOpened() { confirmRow = 1; }

void confirmDraw(HostLayer &layer, const char *title, const char *note) {
  layerPanel(layer, title);
  drawBody(layer, 52, note);
  HostRow rows[4];
  layerRows(layer, rows, confirmRows(rows, 4));
}

void confirmKey(HostAction action, void (*yes)(), const char *back) {
  if (action == HostAction::kUp || action == HostAction::kDown || action == HostAction::kLeft ||
      action == HostAction::kRight)
    confirmRow = 1 - confirmRow;
  if (action == HostAction::kBack || (action == HostAction::kConfirm && confirmRow == 1)) {
    if (back != nullptr)
      hostOpenPage(back);
    else
      hostOpenParent();
  } else if (action == HostAction::kConfirm)
    yes();
}

bool confirmTap(int32_t x, int32_t y, void (*yes)(), const char *back) {
  const int32_t row = layerRowAt(x, y);
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

void helpOpened() { helpSheet = 0; }

const HostPage kHelpPage = {.name = "help",
                            .title = "How to play",
                            .under = "help",
                            .available = nullptr,
                            .draw = helpDraw,
                            .key = helpKey,
                            .tap = helpTap,
                            .typed = nullptr,
                            .opened = helpOpened,
                            .left = nullptr,
                            .rows = nullptr};
const HostPage kSettingsPage = {.name = "settings",
                                .title = "Settings",
                                .under = "settings",
                                .available = nullptr,
                                .draw = settingsDraw,
                                .key = settingsKey,
                                .tap = settingsTap,
                                .typed = nullptr,
                                .opened = settingsOpened,
                                .left = nullptr,
                                .rows = settingsRows};
const HostPage kQuitTitlePage = {.name = "quit-title",
                                 .title = "Quit to title",
                                 .under = "quit",
                                 .available = inMatch,
                                 .draw = quitTitleDraw,
                                 .key = quitTitleKey,
                                 .tap = quitTitleTap,
                                 .typed = nullptr,
                                 .opened = confirmOpened,
                                 .left = nullptr,
                                 .rows = confirmRows};
const HostPage kQuitGamePage = {.name = "quit-game",
                                .title = "Quit game",
                                .under = "quit",
                                .available = nullptr,
                                .draw = quitGameDraw,
                                .key = quitGameKey,
                                .tap = quitGameTap,
                                .typed = nullptr,
                                .opened = confirmOpened,
                                .left = nullptr,
                                .rows = confirmRows};

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
  const HostPage *const builtIn[] = {&kHelpPage, &kSettingsPage, &kQuitTitlePage, &kQuitGamePage};
  for (const HostPage *page : builtIn) (void)hostAddPage(page);
}
