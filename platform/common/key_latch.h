// Key state for GetAsyncKeyState, kept the same way by every backend: a key
// pressed and released between two passes still reads as held for the next
// pass, so a quick tap of the throw button is never lost between two polls.
#pragma once

namespace shared {

struct KeyLatch {
  bool held[256];
  bool pressedThisPass[256];

  // Call before taking a pass's input events: forgets last pass's presses.
  void newPass();
  // A press (vk 1..255) holds the key and latches it for this pass.
  void press(int vk);
  void release(int vk);
  // Everything let go (focus lost, page hidden, touches cancelled).
  void clear();
  // Held now, or pressed at any time since the pass began.
  bool down(int vk) const;
};

}  // namespace shared
