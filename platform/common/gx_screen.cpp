// The shared GX calls of the backends with a real 240x320 screen.
#include "platform/common/gx_screen.h"

#include "platform/backend.h"
#include "platform/common/view.h"
#include "platform/gx.h"

namespace {
bool suspended = false;
}  // namespace

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
