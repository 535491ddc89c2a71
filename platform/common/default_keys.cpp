// The device's default button codes, shared by every backend (the native
// Windows build included): arrows for the four directions, Enter for A,
// Escape for B, 'C' for C and 'S' for Start.
#include "platform/backend.h"
#include "platform/gx.h"

GXKeyList platformDefaultKeys() {
  GXKeyList keys{};
  keys.vkUp = VK_UP;
  keys.vkDown = VK_DOWN;
  keys.vkLeft = VK_LEFT;
  keys.vkRight = VK_RIGHT;
  keys.vkA = VK_RETURN;
  keys.vkB = VK_ESCAPE;
  keys.vkC = 'C';
  keys.vkStart = 'S';
  return keys;
}
