// The top of the program: the window procedure, the start-up sequence, the
// main loop (one message, then one frame, per pass) and the end.
#include "app/app.h"

#include <string>

#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "host/host.h"
#include "host/player_book.h"
#include "platform/buttons.h"
#include "platform/gx.h"
#include "res/resource_ids.h"
#include "screens/screens.h"

namespace {

constexpr int kNameChars = 100;

WCHAR windowClassName[kNameChars];
WCHAR windowTitle[kNameChars];

// The colours the back buffer is given at start-up: the title picture's.
Palette startPalette;

}  // namespace

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      return 0;
    case WM_DESTROY:
      // Whatever destroyed the window, no frame may run against a closed
      // display.
      framesEnabled = 0;
      GXCloseInput();
      shutdownDisplay();
      PostQuitMessage(0);
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) {
        framesEnabled = 0;
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        GXSuspend();
      } else {
        GXResume();
        PostMessageW(hwnd, WM_PAINT, 0, 0);
      }
      return 0;
    case WM_KEYDOWN:
      if (keyHandler != nullptr) keyHandler(LOWORD(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      if (tapHandler != nullptr) {
        POINT point;
        point.x = LOWORD(static_cast<uintptr_t>(lParam));
        point.y = HIWORD(static_cast<uintptr_t>(lParam));
        ClientToScreen(hwnd, &point);
        tapHandler(point.x, point.y);
      }
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

bool appStart(HINSTANCE instance, int showCommand, int *exitCode) {
  *exitCode = 0;
  appInstance = instance;
  LoadStringW(instance, kStringWindowClass, windowClassName, kNameChars);
  LoadStringW(instance, kStringWindowTitle, windowTitle, kNameChars);

  // A second start only brings the running game forward.
  HWND running = FindWindowW(windowClassName, windowTitle);
  if (running != nullptr) {
    SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(running) | 1));
    return false;
  }

  WNDCLASSW wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = windowProc;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconGroup));
  wc.hCursor = nullptr;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = windowClassName;
  RegisterClassW(&wc);

  HWND window =
      CreateWindowExW(0, windowClassName, windowTitle, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return false;
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  mainWindow = window;

  installTitleScene();
  framesEnabled = 1;

  // AS-DESIGNED: the start-up goes on whatever these return. A missing
  // display or picture leaves empty surfaces, which every drawing call
  // accepts and skips.
  openDisplay(mainWindow);
  createSurface(kBackSurface, appInstance, 0, 0, 0);
  createSurface(kTitleSurface, appInstance, TITLE_BITMAP, 0, 0);
  createSurface(kSheetSurface, appInstance, SHEET_BITMAP, 0, 0);
  getPalette(kTitleSurface, startPalette);
  setPalette(kBackSurface, startPalette);
  for (int32_t i = 0; i < kDefinedSprites; ++i) {
    const SpriteRect &r = spriteSheetTable[i];
    defineSprite(i, kSheetSurface, r.x, r.y, r.w, r.h);
  }

  takeDefaultKeys();
  loadSettings();
  platformUseButtonCodes(keyBindings);  // a gamepad sends the codes bound now
  buildTrigTables();
  buildGaugeArc();
  return true;
}

namespace {

// The game's own pass: at most one message, then at most one frame.
bool gamePass(int *exitCode) {
  MSG msg;
  if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      *exitCode = static_cast<int>(msg.wParam);
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // A message that opened the host's menu pauses the game at once: this
  // pass runs no frame either.
  if (framesEnabled != 0 && !hostPaused()) frameHandler();
  return true;
}

HostScene currentScene() {
  struct Named {
    FrameHandler frame;
    HostScene scene;
  };
  static const Named kScenes[] = {
      {titleSceneFrame, HostScene::kTitle},
      {gameSelectSceneFrame, HostScene::kGameSelect},
      {playerSelectSceneFrame, HostScene::kPlayerSelect},
      {readySceneFrame, HostScene::kReady},
      {matchSceneFrame, HostScene::kMatch},
      {optionSceneFrame, HostScene::kOption},
      {aboutSceneFrame, HostScene::kAbout},
  };
  for (const Named &s : kScenes)
    if (frameHandler == s.frame) return s.scene;
  return HostScene::kOther;
}

}  // namespace

HostView gameView() { return HostView{currentScene(), sceneStep, &match, gameMode, playerCount}; }

bool appPass(int *exitCode) {
  if (!hostEnabled()) return gamePass(exitCode);
  // Paused: no pass runs and the game's clock stands still, so a dart in
  // flight lands exactly where it would have, after the same number of
  // passes. The host takes the pass's one message and shows its menu.
  if (hostPaused()) return hostPausedPass(exitCode);
  // A seat's assist runs the game on one pass in two or three.
  if (hostPassHeld()) return hostHeldPass(exitCode);
  hostBeforePass();
  if (!gamePass(exitCode)) return false;
  if (!hostPaused()) hostAfterPass(gameView());
  // A match the host plays back unseen (a resumed one catching up) runs
  // its passes back to back, a bounded number in each of ours, so that the
  // window still answers meanwhile.
  for (int32_t i = 0; i < kHiddenPassesMax && hostGameHidden() && !hostPaused(); ++i) {
    hostBeforePass();
    if (framesEnabled != 0) frameHandler();
    hostAfterPass(gameView());
  }
  return true;
}

void appFinish() {
  saveSettings();
  hostFinish();
}

int tobelynMain(HINSTANCE instance, int showCommand) {
  int code = 0;
  if (!appStart(instance, showCommand, &code)) return code;
  hostEnable(true);
  hostStart();
  std::string bookPath;
  hostBookOpen(hostBookDefaultPath(&bookPath) ? bookPath.c_str() : nullptr, localClockNow);
  while (appPass(&code)) {
  }
  appFinish();
  return code;
}
