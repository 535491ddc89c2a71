#include "platform/common/key_latch.h"

#include <cstring>

namespace shared {

namespace {
bool inRange(int vk) { return vk > 0 && vk < 256; }
}  // namespace

void KeyLatch::newPass() { std::memset(pressedThisPass, 0, sizeof pressedThisPass); }

void KeyLatch::press(int vk) {
  if (!inRange(vk)) return;
  held[vk] = true;
  pressedThisPass[vk] = true;
}

void KeyLatch::release(int vk) {
  if (inRange(vk)) held[vk] = false;
}

void KeyLatch::clear() {
  std::memset(held, 0, sizeof held);
  newPass();
}

bool KeyLatch::down(int vk) const { return inRange(vk) && (held[vk] || pressedThisPass[vk]); }

}  // namespace shared
