// "Effects: Lively", the host's option beyond the game as designed: drawn
// over the game's picture only, it shows the dart flying from the hand to
// where it lands during the game's still flight, rings the peak on the
// gauge while it falls, bursts round a treble 20, a bull or a finish, and
// counts the dart's score up in a ticker. It reads the game (the read-only
// view, the game's clock) and never writes it: the game's state, timing,
// sounds and its own frame (kept under the layer) are those of "Original".
#include <cmath>
#include <cstdio>
#include <cstring>

#include "game/match.h"
#include "gfx/sprite_table.h"
#include "gfx/surface.h"
#include "host/host_internal.h"

namespace {

bool lively = false;  // as the host file says
int forced = -1;      // tobelyn-replay: -1 as the file says, else 0 or 1
// When the shown result (or the finish) began, on the game's clock, and
// which of the two the last pass showed (0: neither).
DWORD resultStart = 0;
int32_t lastMoment = 0;
// The ticker's dart score while it is shown (-1: none), and when its result
// was last seen: it stays, whole, a moment after the game moves on.
int32_t tickerScore = -1;
DWORD tickerSeen = 0;
int32_t tickerDrawn = -1;  // what the last overlay showed, for the tests

// Where the dart leaves the thrower's hand, and how long the game keeps it
// in the air (its flight lasts more than this).
constexpr int32_t kHandX = 178, kHandY = 126;
constexpr double kFlightMs = 500;
constexpr DWORD kBurstMs = 450;
constexpr DWORD kTickerMs = 350;
constexpr DWORD kTickerHoldMs = 600;
// The game's score label rises 2 a pass for as long as the result shows;
// the last pass of the result draws it 18 up: the ticker is whole by then.
constexpr int32_t kRiseWhole = 18;
// The gauge's panel hides the board from this row down while the dart
// flies (down to the scores); a landing under it is shown through a round
// window.
constexpr int32_t kPanelTop = 112, kPanelBottom = 256;
constexpr int32_t kWindowRadius = 18;
constexpr int32_t kBoardX = 8, kBoardY = 16;

constexpr HostColour kShaft = {210, 214, 222};
constexpr HostColour kFlights = {230, 40, 40};
constexpr HostColour kOutline = {0, 0, 0};
constexpr HostColour kWhite = {255, 255, 255};

bool isResult(int32_t step) { return step == kMatchResult || step == kMatchClockResult; }

void dot(HostLayer &layer, double x, double y, HostColour c, int32_t size = 1) {
  layerFill(layer, static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y)), size,
            size, c);
}

// The dart on its way: from the hand up to the landing on an arc, smaller
// as it goes away.
// The board round a landing the gauge's panel covers, drawn from the
// game's own board sprite at its place, so that the flight ends on it.
void drawLandingWindow(HostLayer &layer, int32_t cx, int32_t cy) {
  const int32_t r = kWindowRadius;
  if (cy + r < kPanelTop) return;
  // Round the board, the game's green (a miss lands there).
  const int32_t slot = spriteSurface[kSpriteBoard];
  if (!validSurfaceSlot(slot) || surfaceTable[slot].palette == nullptr) return;
  const PaletteEntry &g = surfaceTable[slot].palette[BACKGROUND_INDEX];
  const HostColour green = {g.red, g.green, g.blue};
  for (int32_t dy = -r - 1; dy <= r + 1; ++dy) {
    const int32_t y = cy + dy;
    if (y < kPanelTop || y >= kPanelBottom) continue;
    const int32_t outer = static_cast<int32_t>(std::sqrt((r + 1.5) * (r + 1.5) - dy * dy));
    layerFill(layer, cx - outer, y, 2 * outer + 1, 1, kOutline);
    if (dy < -r || dy > r) continue;
    const int32_t half = static_cast<int32_t>(std::sqrt(static_cast<double>(r * r - dy * dy)));
    layerFill(layer, cx - half, y, 2 * half + 1, 1, green);
    int32_t from = cx - half - kBoardX, to = cx + half - kBoardX;
    if (from < 0) from = 0;
    if (to > spriteW[kSpriteBoard] - 1) to = spriteW[kSpriteBoard] - 1;
    const int32_t row = y - kBoardY;
    if (row < 0 || row >= spriteH[kSpriteBoard] || to < from) continue;
    const HostRect part = {from, row, to - from + 1, 1};
    layerSprite(layer, kSpriteBoard, from + kBoardX, y, &part, 1);
  }
}

void drawFlight(HostLayer &layer, const MatchState &m) {
  const double t = std::fmin(1.0, (hostGameTime() - m.throwTime) / kFlightMs);
  const double toX = m.aimX + 8, toY = landingRow(m.gaugePeak, m.gaugeRelease);
  drawLandingWindow(layer, static_cast<int32_t>(toX), static_cast<int32_t>(toY));
  const double x = kHandX + (toX - kHandX) * t;
  const double y = kHandY + (toY - kHandY) * t - 40 * std::sin(t * 3.14159265);
  // Its direction: along the path, the tail behind.
  const double dx = toX - kHandX, dy = toY - kHandY - 40 * 3.14159265 * std::cos(t * 3.14159265);
  const double len = std::sqrt(dx * dx + dy * dy);
  const double ux = len > 0 ? dx / len : 0, uy = len > 0 ? dy / len : -1;
  const double size = 16 - 7 * t;
  for (double s = 0; s <= size; s += 0.5) dot(layer, x - ux * s - 1, y - uy * s - 1, kOutline, 4);
  for (double s = 0; s <= size; s += 0.5) dot(layer, x - ux * s, y - uy * s, kShaft, 2);
  // The flights: a short cross bar at the tail.
  const double tx = x - ux * size, ty = y - uy * size;
  for (double s = -4; s <= 4; s += 0.5) dot(layer, tx - uy * s, ty + ux * s, kFlights, 2);
  dot(layer, x, y, kWhite);
}

// A ring round the peak's marker while the gauge falls back.
void drawPeak(HostLayer &layer, const MatchState &m) {
  const int32_t cx = gaugeArcX[m.gaugePeak] + 8, cy = gaugeArcY[m.gaugePeak] + 8;
  for (int32_t a = 0; a < 360; a += 6) {
    const double r = a * 3.14159265 / 180;
    dot(layer, cx + 12 * std::cos(r) - 1, cy + 12 * std::sin(r) - 1, kOutline, 3);
  }
  for (int32_t a = 0; a < 360; a += 3) {
    const double r = a * 3.14159265 / 180;
    dot(layer, cx + 12 * std::cos(r), cy + 12 * std::sin(r), kWhite);
  }
}

bool worthABurst(const MatchState &m, int32_t step) {
  if (step == kMatchFinished) return m.winner != kNoWinner;
  return isResult(step) && (m.throwScore == 60 || m.throwScore == kDoubleBullScore ||
                            m.throwScore == kSingleBullScore);
}

// Rays out from the dart's mark, growing and thinning as the burst ends.
void drawBurst(HostLayer &layer, const MatchState &m, DWORD since) {
  const int32_t d = m.dartIndex < kDartsPerTurn ? m.dartIndex : kDartsPerTurn - 1;
  const double cx = m.dartMarkX[d] + 8, cy = m.dartMarkY[d] + 8;
  const double t = static_cast<double>(since) / kBurstMs;
  const double inner = 10 + 30 * t, outer = inner + 10 * (1 - t);
  for (int32_t ray = 0; ray < 12; ++ray) {
    const double a = ray * 3.14159265 / 6 + 0.26;
    for (double r = inner; r <= outer; r += 1)
      dot(layer, cx + r * std::cos(a), cy + r * std::sin(a), ray % 2 ? kWhite : kChosenColour, 2);
  }
}

// The value the ticker shows: the dart's score counted up while the result
// shows, by the game's clock or by the rise of its score label, whichever
// is further, so that it is whole by the result's last pass; then whole.
int32_t tickerValue(const HostView &view, DWORD since) {
  if (!isResult(view.sceneStep)) return tickerScore > 0 ? tickerScore : -1;
  const int32_t score = view.match->throwScore;
  if (score <= 0) return -1;
  // The result's first pass is drawn before it is seen: it starts now.
  if (lastMoment != 1) since = 0;
  const double byClock = static_cast<double>(since) / kTickerMs;
  const double byRise = static_cast<double>(view.match->popupRise) / kRiseWhole;
  const double t = std::fmin(1.0, std::fmax(byClock, byRise));
  return static_cast<int32_t>(std::lround(score * t));
}

// The dart's score counted up, top right.
void drawTicker(HostLayer &layer, int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "+%d", static_cast<int>(value));
  const int32_t w = textWidth("+60", 2) + 8;
  layerFill(layer, kLayerWidth - w - 2, 1, w, 20, kOutline);
  layerFill(layer, kLayerWidth - w - 1, 2, w - 2, 18, kPanelColour);
  layerText(layer, kLayerWidth - w + 3, 4, text, kChosenColour, 2);
}

bool livelyOverlay(HostLayer &layer, const HostView &view) {
  tickerDrawn = -1;
  if (!hostLively() || hostPaused() || view.scene != HostScene::kMatch || view.match == nullptr)
    return false;
  const MatchState &m = *view.match;
  const DWORD since = hostGameTime() - resultStart;
  if (view.sceneStep == kMatchFlight) drawFlight(layer, m);
  if (view.sceneStep == kMatchPowerFalls) drawPeak(layer, m);
  if (worthABurst(m, view.sceneStep) && since < kBurstMs) drawBurst(layer, m, since);
  const int32_t ticker = tickerValue(view, since);
  tickerDrawn = ticker;
  if (ticker >= 0) drawTicker(layer, ticker);
  return false;
}

// The moment a result (or the finish) is first seen, on the game's clock.
void livelyObserve(const HostView &view) {
  int32_t moment = 0;
  if (view.scene == HostScene::kMatch && isResult(view.sceneStep)) moment = 1;
  if (view.scene == HostScene::kMatch && view.sceneStep == kMatchFinished) moment = 2;
  if (moment != 0 && moment != lastMoment) resultStart = hostGameTime();
  lastMoment = moment;
  // The ticker stays while the score is applied and the next dart waits,
  // a moment at most; gone at once when anything else shows.
  const bool holds = view.scene == HostScene::kMatch &&
                     (view.sceneStep == kMatchApplyDart || view.sceneStep == kMatchNextDart ||
                      view.sceneStep == kMatchFinished);
  if (moment == 1 && view.match != nullptr) {
    tickerScore = view.match->throwScore;
    tickerSeen = hostGameTime();
  } else if (!holds || hostGameTime() - tickerSeen >= kTickerHoldMs) {
    tickerScore = -1;
  }
}

const char *effectsValue() { return hostLively() ? "Lively" : "Original"; }
void effectsChange(int32_t) {
  lively = !hostLively();
  forced = -1;
}

void livelyRead(const char *line) {
  if (std::strncmp(line, "effects ", 8) == 0) lively = line[8] == '1';
}
void livelyWrite(std::string &text) {
  // Only once chosen, so that the file of a player who never did is
  // written as before.
  if (lively) text += "effects 1\n";
}
void livelyReset() {
  lively = false;
  forced = -1;
  lastMoment = 0;
  tickerScore = -1;
}

const HostSettingRow kEffectsRows[] = {{"Effects", effectsValue, effectsChange}};

const HostFeature kLively = {.name = "lively",
                             .observe = livelyObserve,
                             .matchStarted = nullptr,
                             .matchFinished = nullptr,
                             .overlay = livelyOverlay,
                             .overlayOrder = 15,
                             .caption = nullptr,
                             .readSetting = livelyRead,
                             .writeSettings = livelyWrite,
                             .settingRows = kEffectsRows,
                             .settingRowCount = 1,
                             .finish = nullptr,
                             .reset = livelyReset};

}  // namespace

bool hostLively() { return forced >= 0 ? forced == 1 : lively; }
void hostForceLively(bool on) { forced = on ? 1 : 0; }
void registerLively() { (void)hostAddFeature(&kLively); }
int32_t livelyTickerShown() { return tickerDrawn; }
