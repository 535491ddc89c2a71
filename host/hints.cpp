// The one-line hint over the match: what Button A does next, named as the
// device in use names it, placed where it covers none of the pointer, the
// gauge, the thrower's dart or the scoreboard. A feature of the host: its
// overlay, the caption a backend may show beside the picture, and its row
// in Settings.
#include <cstdio>

#include "app/settings.h"
#include "game/match.h"
#include "host/host_internal.h"

namespace {

// Just below the board and above the scoreboard's round line: free while the
// player reads the announcement and aims.
constexpr int32_t kLowStripY = 241;
// Over the board's upper part, below the pointer's strip and above the
// gauge's highest marker: free while the gauge runs.
constexpr int32_t kHighStripY = 98;
constexpr int32_t kStripHeight = 11;

struct StepHint {
  MatchStep step;
  const char *doing;
  int32_t y;
};
const StepHint kStepHints[] = {
    {kMatchAnnounce, "show the board", kLowStripY},
    {kMatchShowBoard, "stop the pointer", kLowStripY},
    {kMatchAimSlide, "stop the pointer", kLowStripY},
    {kMatchGaugeReady, "start the power", kHighStripY},
    {kMatchPowerClimbs, "set the peak", kHighStripY},
    {kMatchPowerFalls, "let the dart go", kHighStripY},
};

const StepHint *stepHint(const HostView &view) {
  if (view.scene != HostScene::kMatch) return nullptr;
  for (const StepHint &h : kStepHints)
    if (h.step == view.sceneStep) return &h;
  return nullptr;
}

}  // namespace

const char *buttonAName() {
  switch (hostDevice()) {
    case HostDevice::kPad:
      return "Pad A";
    case HostDevice::kTouch:
      return "Tap";
    case HostDevice::kKeyboard:
      break;
  }
  return keyName(keyBindings[kButtonA]);
}

const char *hintFor(const HostView &view) {
  const StepHint *h = stepHint(view);
  if (h == nullptr) return nullptr;
  static char text[64];
  std::snprintf(text, sizeof text, "%s: %s", buttonAName(), h->doing);
  return text;
}

bool hintBox(const HostView &view, HostRect *box) {
  const StepHint *h = stepHint(view);
  const char *text = hintFor(view);
  if (h == nullptr || text == nullptr) return false;
  const int32_t w = textWidth(text) + 6;
  *box = HostRect{(kLayerWidth - w) / 2, h->y, w, kStripHeight};
  return true;
}

namespace {

bool hintOverlay(HostLayer &layer, const HostView &view) {
  // Minimised, nothing is seen; the hint waits with the game.
  if (!hostHintsOn() || hostPaused()) return false;
  const char *text = hintFor(view);
  HostRect box;
  if (text == nullptr || !hintBox(view, &box)) return false;
  layerFill(layer, box.x, box.y, box.w, box.h, kPanelColour);
  layerText(layer, box.x + 3, box.y + 2, text, kTextColour);
  return true;
}

const char *hintCaption(const HostView &view) { return hostHintsOn() ? hintFor(view) : nullptr; }

const char *hintsValue() { return hostHintsOn() ? "on" : "off"; }
void hintsChange(int32_t) {
  HostSettings &s = hostSettings();
  s.hints = hostHintsOn() ? 0 : 1;
  s.hintsChosen = 1;
  hostUnforceHints();
}

const HostSettingRow kHintRows[] = {{"Hints", hintsValue, hintsChange}};

const HostFeature kHints = {.name = "hints",
                            .observe = nullptr,
                            .matchStarted = nullptr,
                            .matchFinished = nullptr,
                            .overlay = hintOverlay,
                            .overlayOrder = 20,
                            .caption = hintCaption,
                            .readSetting = nullptr,
                            .writeSettings = nullptr,
                            .settingRows = kHintRows,
                            .settingRowCount = 1,
                            .finish = nullptr,
                            .reset = nullptr};

}  // namespace

void registerHints() { (void)hostAddFeature(&kHints); }
