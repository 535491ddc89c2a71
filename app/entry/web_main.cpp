// Entry of the browser game. The page starts the game, then calls
// webFrame from each animation frame; the passes run at 60 a second
// whatever the display's rate. Also what the page needs from the game: the
// buttons' current codes, saving the settings at any moment (a tab is
// seldom closed cleanly), putting the controls back to the defaults, and,
// for tests, passes on demand and the landing table's hash.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "app/app.h"
#include "app/scene.h"
#include "app/settings.h"
#include "game/landings.h"
#include "gfx/surface.h"
#include "host/correspondence.h"
#include "host/daily.h"
#include "host/host.h"
#include "host/match_codes.h"
#include "host/player_book.h"
#include "platform/common/code_link.h"
#include "platform/resources.h"
#include "platform/web/web_logic.h"

#define WEB_EXPORT extern "C" __attribute__((used, visibility("default")))

// The page's side, in library.js: the game has ended with this code.
extern "C" void tobEnded(int code);
// The page's side: a match code handed to the system's share sheet (1), a
// link to it copied (2), or neither (0).
extern "C" int tobShare(const char *code);

namespace {

webb::Pacer pacer;
int framesSeen = 0;
bool running = false;
constexpr size_t kWebBookBudget = 2u << 20;

const char *shareCode(const char *code) {
  switch (tobShare(code)) {
    case 1:
      return "The share sheet is open.";
    case 2:
      return "Link copied to the clipboard.";
    default:
      return nullptr;
  }
}
// No paste here: the page's own field takes a code.
const CodeShareOut kShareOut = {.share = shareCode, .paste = nullptr};
char codeBuffer[kReceivedCodeMax + 2];

bool onePass() {
  int code = 0;
  if (appPass(&code)) return true;
  running = false;
  appFinish();
  tobEnded(code);
  return false;
}

}  // namespace

// Starts the game; false when it could not start.
WEB_EXPORT int webStart() {
  int code = 0;
  running = appStart(GetModuleHandleW(nullptr), SW_SHOW, &code);
  if (running) {
    hostEnable(true);
    hostStart();
    // The page copies this file to and from its storage, within a budget.
    std::string bookPath;
    hostBookOpen(hostBookDefaultPath(&bookPath) ? bookPath.c_str() : nullptr, localClockNow);
    hostBookSetBudget(kWebBookBudget);
    platformSetCodeShare(&kShareOut);
  }
  webb::resetPacer(pacer);
  return running ? 1 : 0;
}

// One animation frame stamped nowMs. Returns the passes run.
WEB_EXPORT int webFrame(double nowMs) {
  if (!running) return 0;
  // The sounds wait until the first frame is on the page; the frame after
  // it unpacks them, before any key can ask for one.
  if (framesSeen < 2 && ++framesSeen == 2) unpackResources();
  int due = webb::passesDue(pacer, nowMs);
  for (int i = 0; i < due; ++i) {
    if (!onePass()) return i + 1;
  }
  return due;
}

// The page was hidden: the first frame after it comes back runs one pass.
WEB_EXPORT void webResetPacer() { webb::resetPacer(pacer); }

// Tests: one pass now, outside the animation frames.
WEB_EXPORT int webRunPass() { return running && onePass() ? 1 : 0; }
WEB_EXPORT int webSceneStep() { return sceneStep; }
// Tests: the screen shown (HostScene: 1 title, 2 game select, 3 player
// select, 4 ready, 5 match, 6 option, 7 about; 0 anything else).
WEB_EXPORT int webScene() { return static_cast<int>(hostLastView().scene); }
// Tests: the row the menu cursor is on.
WEB_EXPORT int webMenuCursor() { return menuCursor; }
// Tests: the clock the game reads, which stands still while it is paused.
WEB_EXPORT unsigned webGameClock() { return static_cast<unsigned>(hostGameTime()); }

WEB_EXPORT void webSaveSettings() {
  if (!running) return;
  saveSettings();
  hostFinish();
}

// The player book changed (a match was kept, a reset): the page copies the
// file to its storage now. True once per change.
WEB_EXPORT int webBookChanged() { return running && hostBookTakeChanged() ? 1 : 0; }

// The kept (cut-off) match changed: the page copies its file to its
// storage now, so that a reload or a closed tab can resume it.
WEB_EXPORT int webMatchKeptChanged() { return running && hostKeptMatchTakeChanged() ? 1 : 0; }

// The store of friends' newest codes changed: copied to the page's storage.
WEB_EXPORT int webFriendsChanged() { return running && hostFriendsTakeChanged() ? 1 : 0; }

// Every dart of the book as CSV, for the page's download.
WEB_EXPORT const char *webBookCsv() {
  static std::string csv;
  csv = bookCsv(hostBook());
  return csv.c_str();
}

// The code of button i (0 Up, 1 Down, 2 Left, 3 Right, 4 A, 5 B, 6 C,
// 7 Start) as the player has set it.
WEB_EXPORT int webBinding(int i) {
  if (i < 0 || i >= kKeyBindingCount) return 0;
  return keyBindings[i] & 0xFF;
}

// The nine settings back to the first-start values, and saved.
WEB_EXPORT void webResetControls() {
  resetSettings();
  saveSettings();
}

// The landing table's hash as 16 hex digits.
WEB_EXPORT const char *webLandingHash() {
  static char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, landingTableHash());
  return text;
}

// Codes between players: the page writes a code (or a #m= link) into the
// buffer and hands it over; the host opens it at its next pass.
WEB_EXPORT char *webCodeBuffer() { return codeBuffer; }
WEB_EXPORT void webOpenCode() {
  codeBuffer[sizeof codeBuffer - 1] = 0;
  platformReceiveCode(codeBuffer);
}
// The menu's page shown ("" while the menu is closed): the page shows its
// code field beside "Watch or answer".
WEB_EXPORT const char *webHostPageName() { return hostMenuOpen() ? hostPageName() : ""; }
// Tests: the code of the current or last match.
WEB_EXPORT const char *webMatchCode() { return hostMatchCode().c_str(); }
// Tests: the daily challenge of a day (days since 1970, UTC) as "game level
// seed", the seed in decimal, to set beside the other platforms'.
WEB_EXPORT const char *webDailyChallenge(int day) {
  static char text[64];
  const DailyChallenge c = dailyChallenge(day);
  std::snprintf(text, sizeof text, "%d %d %" PRIu64, static_cast<int>(c.game),
                static_cast<int>(c.level), c.seed);
  return text;
}
// Tests: the daily challenge's clock held at noon (UTC) of a day, days
// since 1970; a day below 0 gives it the real clock back.
namespace {
int64_t heldDailyNow = 0;
int64_t heldDailyClock() { return heldDailyNow; }
}  // namespace
WEB_EXPORT void webDailySetDay(int day) {
  heldDailyNow = int64_t{day} * 86400 + 12 * 3600;
  hostDailySetClock(day < 0 ? nullptr : heldDailyClock);
}
