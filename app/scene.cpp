#include "app/scene.h"

FrameHandler frameHandler;
KeyHandler keyHandler;
TapHandler tapHandler;

int32_t sceneStep;
int8_t menuCursor;
int32_t menuChoice;
uint32_t inputDebounceTime;

HINSTANCE appInstance;
HWND mainWindow;
uint32_t framesEnabled;

void switchScene(FrameHandler frame, KeyHandler key) {
  frameHandler = frame;
  keyHandler = key;
  sceneStep = 0;
}

void switchSceneWithTap(FrameHandler frame, KeyHandler key, TapHandler tap) {
  tapHandler = tap;
  switchScene(frame, key);
}
