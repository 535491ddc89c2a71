// The seam between backends and the host: a few pointers and the volume.
#include "platform/common/host_link.h"

#include <atomic>
#include <cmath>

namespace {

const HostLink *hostLink;
const WindowControls *windowControls;
const PageActions *pageActions;
// Read by the desktop's audio thread for the host's voice.
std::atomic<int32_t> volume{10};

}  // namespace

void platformSetHostLink(const HostLink *link) { hostLink = link; }

bool platformWindowMinimized(bool minimized) {
  return hostLink != nullptr && hostLink->minimized != nullptr && hostLink->minimized(minimized);
}

void platformDeviceUsed(InputDevice device) {
  if (hostLink != nullptr && hostLink->device != nullptr) hostLink->device(device);
}

bool platformTouchDown(int32_t x, int32_t y) {
  return hostLink != nullptr && hostLink->touchDown != nullptr && hostLink->touchDown(x, y);
}

void platformTouchUp() {
  if (hostLink != nullptr && hostLink->touchUp != nullptr) hostLink->touchUp();
}

void platformSetWindowControls(const WindowControls *controls) { windowControls = controls; }
const WindowControls *platformWindowControls() { return windowControls; }

int32_t platformVolume() { return volume; }
void platformSetVolume(int32_t value) { volume = value < 0 ? 0 : value > 10 ? 10 : value; }

uint32_t volumeGainOf(int32_t value) {
  if (value <= 0) return 0;
  if (value >= 10) return 65536;
  return static_cast<uint32_t>(
      std::lround(65536.0 * std::pow(10.0, -(10 - value) * kVolumeStepDb / 20.0)));
}
uint32_t platformVolumeGain() { return volumeGainOf(volume); }

void platformSetPageActions(const PageActions *actions) { pageActions = actions; }
const PageActions *platformPageActions() { return pageActions; }

namespace {

const SpeechOut *speechOut;
const HostReader *hostReader;

}  // namespace

void platformSetSpeechOut(const SpeechOut *out) { speechOut = out; }

void platformSay(const char *text, bool aloud) {
  if (speechOut == nullptr || text == nullptr) return;
  if (speechOut->said != nullptr) speechOut->said(text);
  if (aloud && speechOut->speak != nullptr) speechOut->speak(text);
}

void platformSetHostReader(const HostReader *reader) { hostReader = reader; }

bool platformHostPage(LinkPage *out) {
  *out = LinkPage{};
  return hostReader != nullptr && hostReader->page != nullptr && hostReader->page(out);
}

void platformChooseRow(int32_t row) {
  if (hostReader != nullptr && hostReader->chooseRow != nullptr) hostReader->chooseRow(row);
}
