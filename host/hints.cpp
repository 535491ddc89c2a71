// The one-line hint over the match: what Button A does next, named as the
// device in use names it, placed where it covers none of the pointer, the
// gauge, the thrower's dart or the scoreboard. A feature of the host: its
// overlay, the caption a backend may show beside the picture, and its row
// in Settings.
#include <cstdio>

#include "app/settings.h"
#include "game/match.h"
#include "host/host_internal.h"
#include "screens/screens.h"

namespace {

// Just below the board and above the scoreboard's round line: free while the
// player reads the announcement and aims, and after a result.
constexpr int32_t kLowStripY = 241;
// Over the board's upper part, below the pointer's strip and above the
// gauge's highest marker: free while the gauge runs (a second line goes
// above the first).
constexpr int32_t kHighStripY = 98;
constexpr int32_t kStripHeight = 11;
// On the title, under its rows and above the copyright line.
constexpr int32_t kTitleStripY = 258;

struct StepHint {
  MatchStep step;
  const char *doing;
  const char *more;  // a second line, or null
  int32_t y;
};
const StepHint kStepHints[] = {
    {kMatchAnnounce, "show the board", nullptr, kLowStripY},
    {kMatchShowBoard, "stop the pointer", nullptr, kLowStripY},
    {kMatchAimSlide, "stop the pointer", nullptr, kLowStripY},
    {kMatchGaugeReady, "start the power", "peak and release set the height", kHighStripY},
    {kMatchPowerClimbs, "set the peak", "a higher peak throws higher", kHighStripY},
    {kMatchPowerFalls, "let the dart go", "let go early to throw higher", kHighStripY},
    {kMatchNextDart, "next", nullptr, kLowStripY},
    {kMatchFinished, "next", nullptr, kLowStripY},
    {kMatchEndShown, "next", nullptr, kLowStripY},
};

const StepHint *stepHint(const HostView &view) {
  if (view.scene != HostScene::kMatch) return nullptr;
  for (const StepHint &h : kStepHints)
    if (h.step == view.sceneStep) return &h;
  return nullptr;
}

// On the title, until the menu has been opened once: how to open it.
bool titleHint(const HostView &view) {
  return view.scene == HostScene::kTitle && view.sceneStep == kTitleChoosing &&
         hostSettings().menuOpened == 0;
}

const char *menuKeyWords() {
  switch (hostDevice()) {
    case HostDevice::kPad:
      return "Pad Back: menu";
    case HostDevice::kTouch:
      return "Menu button: menu";
    case HostDevice::kKeyboard:
      break;
  }
  for (int16_t code : keyBindings)
    if (code == VK_F1) return "Menu button or pad Back: menu";
  return "F1: menu";
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
  if (titleHint(view)) return menuKeyWords();
  const StepHint *h = stepHint(view);
  if (h == nullptr) return nullptr;
  static char text[64];
  std::snprintf(text, sizeof text, "%s: %s", buttonAName(), h->doing);
  return text;
}

const char *hintMore(const HostView &view) {
  const StepHint *h = stepHint(view);
  return h != nullptr ? h->more : nullptr;
}

bool hintBox(const HostView &view, HostRect *box) {
  const char *text = hintFor(view);
  if (text == nullptr) return false;
  const StepHint *h = stepHint(view);
  const char *more = hintMore(view);
  int32_t w = textWidth(text) + 6;
  if (more != nullptr && textWidth(more) + 6 > w) w = textWidth(more) + 6;
  const int32_t lines = more != nullptr ? 2 : 1;
  const int32_t y = h != nullptr ? h->y : kTitleStripY;
  // A second line goes above the first, so the box keeps its foot.
  *box = HostRect{(kLayerWidth - w) / 2, y - (lines - 1) * 10, w, kStripHeight + (lines - 1) * 10};
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
  if (const char *more = hintMore(view)) {
    layerText(layer, box.x + 3, box.y + 2, more, kQuietColour);
    layerText(layer, box.x + 3, box.y + 12, text, kTextColour);
  } else {
    layerText(layer, box.x + 3, box.y + 2, text, kTextColour);
  }
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
