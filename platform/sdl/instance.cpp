// The desktop backend's single running instance, the settings file's place
// and the tidy-up at exit.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/backend.h"
#include "platform/common/code_link.h"
#include "platform/sdl/backend_state.h"

namespace sdlb {
namespace {

const char *runtimeDir() {
  static char path[1024];
  static int state = 0;  // 0 not yet, 1 found, 2 none
  if (state == 0) {
    state = runtimeFolder(std::getenv("XDG_RUNTIME_DIR"), std::getenv("XDG_CONFIG_HOME"),
                          std::getenv("HOME"), path, sizeof path)
                ? 1
                : 2;
  }
  return state == 1 ? path : nullptr;
}

}  // namespace

void atExit() {
  // The settings were written before this, as the game ended; the window's
  // state comes second, as it matters less.
  writeWindowState();
  instanceFinish();
  // With the display lost or the audio stuck, SDL is left as it is; the
  // system takes back what it holds when the process ends.
  bool audioStopped = stopAudio();
  if (sdlUp && audioStopped && !displayLost) SDL_Quit();
  sdlUp = false;
}

}  // namespace sdlb

using namespace sdlb;

HWND backendFindRunningInstance(LPCWSTR, LPCWSTR) {
  // With no display the window cannot be made and the game ends at once:
  // then no lock or socket is made either.
  bool video = false;
  withDisplay([&] { video = startVideo(); });
  if (!video) return nullptr;
  const char *dir = runtimeDir();
  if (dir == nullptr) return nullptr;
  if (instanceAcquire(dir) != InstanceResult::kOtherRuns) return nullptr;
  // Stands for the other process's window; only backendBringForward uses it.
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFF0000));
}

BOOL backendBringForward(HWND) {
  const char *dir = runtimeDir();
  if (dir == nullptr) return FALSE;
  // The running one may be between taking its lock and listening, or too
  // busy to take the request at once; give it about a second. A game that
  // is stopped or stuck gets no more: this start then ends all the same.
  // A code this start was given goes to the running game instead.
  std::string code;
  (void)platformTakeReceivedCode(&code);
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (instanceSignal(dir, code)) return TRUE;
    SDL_Delay(20);
  }
  return FALSE;
}

const char *backendRegistryPath() {
  static char path[1024];
  if (!settingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), path, sizeof path)) {
    return nullptr;
  }
  return path;
}
