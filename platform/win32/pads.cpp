// Gamepads through XInput, the system's own library, loaded when first
// needed (there is no link to it: a system without it simply has no pads).
// XInput has no events: each pass reads the pads whole, and the shared
// PolledPads turns the readings into the game's button presses.
#include <initializer_list>

#include "platform/buttons.h"
#include "platform/common/host_link.h"
#include "platform/common/pad.h"
#include "platform/winapi.h"
// After <windows.h>: the state structure only.
#include <xinput.h>

#include "platform/win32/desktop.h"

namespace {

using GetStateFn = DWORD(WINAPI *)(DWORD, XINPUT_STATE *);

GetStateFn getState;
bool looked;
shared::PolledPads pads;

// The newest XInput first, then the older ones Windows 7 and 8 carry.
void loadXInput() {
  looked = true;
  for (const wchar_t *name : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
    HMODULE library = LoadLibraryW(name);
    if (library == nullptr) continue;
    getState = reinterpret_cast<GetStateFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "XInputGetState")));
    if (getState != nullptr) return;
    FreeLibrary(library);
  }
}

}  // namespace

void padsPoll(HWND window, bool active) {
  pads.newPass();
  if (window == nullptr || !active) return;
  if (!looked) loadXInput();
  if (getState == nullptr) return;
  const int16_t *codes = platformButtonCodes();
  for (int slot = 0; slot < shared::kMaxPads; ++slot) {
    if (!pads.shouldRead(slot)) continue;
    XINPUT_STATE state{};
    const bool connected = getState(static_cast<DWORD>(slot), &state) == ERROR_SUCCESS;
    const XINPUT_GAMEPAD &g = state.Gamepad;
    const shared::PadReading reading =
        shared::padReadingFromXInput(connected, g.wButtons, g.sThumbLX, g.sThumbLY);
    // Back is the host's menu button, never the game's (held through a
    // focus loss, it counts only once let go, like the others).
    const uint32_t back = 1u << shared::kControlBack;
    const bool backPressed = (reading.controls & back) != 0 &&
                             (pads.last[slot].controls & back) == 0 && !pads.resync[slot];
    int presses[shared::kPadButtonCount];
    const int count = pads.apply(slot, reading, presses, shared::kPadButtonCount);
    if (count > 0 || backPressed) platformDeviceUsed(InputDevice::kPad);
    if (backPressed) PostMessageW(window, WM_TOBELYN_MENU, 0, 0);
    for (int i = 0; i < count && codes != nullptr; ++i) {
      const int code = static_cast<uint16_t>(codes[presses[i]]);
      if (code > 0 && code <= 255)
        PostMessageW(window, WM_KEYDOWN, static_cast<WPARAM>(code), 1 | kPadKeyMark);
    }
  }
}

bool padsDown(int vKey) {
  const int16_t *codes = platformButtonCodes();
  if (codes == nullptr) return false;
  for (int b = 0; b < shared::kPadButtonCount; ++b) {
    if (static_cast<uint16_t>(codes[b]) == vKey && pads.down(b)) return true;
  }
  return false;
}

void padsForget() { pads.forget(); }
