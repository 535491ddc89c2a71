// The shared GX calls of the backends with a real 240x320 screen.
#include "platform/common/gx_screen.h"

#include <cstring>

#include "platform/backend.h"
#include "platform/gx.h"

namespace {
bool suspended = false;
bool open = false;
bool passWithoutFrame = false;  // the last beginScreenPass handed out nothing
}  // namespace

uint16_t shared::screenFrame[kDisplayWidth * kDisplayHeight];

int shared::openScreen(bool windowReady) {
  if (!windowReady) return 0;
  open = true;
  std::memset(screenFrame, 0, sizeof screenFrame);
  return 1;
}

int shared::closeScreen() {
  open = false;
  return 1;
}

bool shared::screenOpen() { return open; }

uint16_t *shared::beginScreenPass(bool ready) {
  passWithoutFrame = !open || suspended || !ready;
  return passWithoutFrame ? nullptr : screenFrame;
}

bool shared::endScreenPass(bool ready) {
  if (passWithoutFrame) {
    passWithoutFrame = false;
    return false;
  }
  return open && ready;
}
bool shared::displaySuspended() { return suspended; }

int GXOpenInput() { return 1; }
int GXCloseInput() { return 1; }

GXDisplayProperties GXGetDisplayProperties() {
  GXDisplayProperties p{};
  p.cxWidth = shared::kDisplayWidth;
  p.cyHeight = shared::kDisplayHeight;
  p.cbxPitch = 2;
  p.cbyPitch = shared::kDisplayWidth * 2;
  p.cBPP = 16;
  p.ffFormat = kfDirect565;
  return p;
}

GXKeyList GXGetDefaultKeys(int) { return platformDefaultKeys(); }

int GXSuspend() {
  suspended = true;
  return 1;
}

int GXResume() {
  suspended = false;
  return 1;
}
