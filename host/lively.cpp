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
#include "host/host_internal.h"

namespace {

bool lively = false;  // as the host file says
int forced = -1;      // tobelyn-replay: -1 as the file says, else 0 or 1
// When the shown result (or the finish) began, on the game's clock, and
// which of the two the last pass showed (0: neither).
DWORD resultStart = 0;
int32_t lastMoment = 0;

// Where the dart leaves the thrower's hand, and how long the game keeps it
// in the air (its flight lasts more than this).
constexpr int32_t kHandX = 178, kHandY = 126;
constexpr double kFlightMs = 500;
constexpr DWORD kBurstMs = 450;
constexpr DWORD kTickerMs = 350;

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
void drawFlight(HostLayer &layer, const MatchState &m) {
  const double t = std::fmin(1.0, (hostGameTime() - m.throwTime) / kFlightMs);
  const double toX = m.aimX + 8, toY = landingRow(m.gaugePeak, m.gaugeRelease);
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

// The dart's score counted up, top right.
void drawTicker(HostLayer &layer, const MatchState &m, DWORD since) {
  if (m.throwScore <= 0) return;
  const double t = std::fmin(1.0, static_cast<double>(since) / kTickerMs);
  char text[16];
  std::snprintf(text, sizeof text, "+%d", static_cast<int>(std::lround(m.throwScore * t)));
  const int32_t w = textWidth("+60", 2) + 8;
  layerFill(layer, kLayerWidth - w - 2, 1, w, 20, kOutline);
  layerFill(layer, kLayerWidth - w - 1, 2, w - 2, 18, kPanelColour);
  layerText(layer, kLayerWidth - w + 3, 4, text, kChosenColour, 2);
}

bool livelyOverlay(HostLayer &layer, const HostView &view) {
  if (!hostLively() || hostPaused() || view.scene != HostScene::kMatch || view.match == nullptr)
    return false;
  const MatchState &m = *view.match;
  const DWORD since = hostGameTime() - resultStart;
  if (view.sceneStep == kMatchFlight) drawFlight(layer, m);
  if (view.sceneStep == kMatchPowerFalls) drawPeak(layer, m);
  if (worthABurst(m, view.sceneStep) && since < kBurstMs) drawBurst(layer, m, since);
  if (isResult(view.sceneStep)) drawTicker(layer, m, since);
  return false;
}

// The moment a result (or the finish) is first seen, on the game's clock.
void livelyObserve(const HostView &view) {
  int32_t moment = 0;
  if (view.scene == HostScene::kMatch && isResult(view.sceneStep)) moment = 1;
  if (view.scene == HostScene::kMatch && view.sceneStep == kMatchFinished) moment = 2;
  if (moment != 0 && moment != lastMoment) resultStart = hostGameTime();
  lastMoment = moment;
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
