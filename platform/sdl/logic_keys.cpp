// SDL key codes to Windows virtual-key codes.
#include <SDL_keycode.h>
#include <SDL_scancode.h>

#include "platform/sdl/logic.h"

namespace sdlb {

namespace {

struct KeyPair {
  int32_t sdl;
  uint8_t vk;
};

// Keys that are not printable characters, by SDL key code. Shift, Ctrl and
// Alt arrive as the combined codes, as key messages carry them.
constexpr KeyPair kSpecialKeys[] = {
    {SDLK_BACKSPACE, 0x08},  {SDLK_TAB, 0x09},        {SDLK_CLEAR, 0x0C},
    {SDLK_RETURN, 0x0D},     {SDLK_RETURN2, 0x0D},    {SDLK_LSHIFT, 0x10},
    {SDLK_RSHIFT, 0x10},     {SDLK_LCTRL, 0x11},      {SDLK_RCTRL, 0x11},
    {SDLK_LALT, 0x12},       {SDLK_RALT, 0x12},       {SDLK_MODE, 0x12},  // AltGr on some layouts
    {SDLK_PAUSE, 0x13},      {SDLK_CAPSLOCK, 0x14},   {SDLK_ESCAPE, 0x1B},
    {SDLK_SPACE, 0x20},      {SDLK_PAGEUP, 0x21},     {SDLK_PAGEDOWN, 0x22},
    {SDLK_END, 0x23},        {SDLK_HOME, 0x24},       {SDLK_LEFT, 0x25},
    {SDLK_UP, 0x26},         {SDLK_RIGHT, 0x27},      {SDLK_DOWN, 0x28},
    {SDLK_SELECT, 0x29},     {SDLK_EXECUTE, 0x2B},    {SDLK_PRINTSCREEN, 0x2C},
    {SDLK_INSERT, 0x2D},     {SDLK_DELETE, 0x2E},     {SDLK_HELP, 0x2F},
    {SDLK_LGUI, 0x5B},       {SDLK_RGUI, 0x5C},       {SDLK_APPLICATION, 0x5D},
    {SDLK_SLEEP, 0x5F},      {SDLK_KP_0, 0x60},       {SDLK_KP_1, 0x61},
    {SDLK_KP_2, 0x62},       {SDLK_KP_3, 0x63},       {SDLK_KP_4, 0x64},
    {SDLK_KP_5, 0x65},       {SDLK_KP_6, 0x66},       {SDLK_KP_7, 0x67},
    {SDLK_KP_8, 0x68},       {SDLK_KP_9, 0x69},       {SDLK_KP_MULTIPLY, 0x6A},
    {SDLK_KP_PLUS, 0x6B},    {SDLK_KP_ENTER, 0x0D},   {SDLK_KP_MINUS, 0x6D},
    {SDLK_KP_PERIOD, 0x6E},  {SDLK_KP_DECIMAL, 0x6E}, {SDLK_KP_COMMA, 0x6C},
    {SDLK_KP_DIVIDE, 0x6F},  {SDLK_KP_EQUALS, 0xBB},  {SDLK_NUMLOCKCLEAR, 0x90},
    {SDLK_SCROLLLOCK, 0x91}, {SDLK_AUDIOMUTE, 0xAD},  {SDLK_VOLUMEDOWN, 0xAE},
    {SDLK_VOLUMEUP, 0xAF},   {SDLK_AUDIONEXT, 0xB0},  {SDLK_AUDIOPREV, 0xB1},
    {SDLK_AUDIOSTOP, 0xB2},  {SDLK_AUDIOPLAY, 0xB3},
};

// Punctuation by character, with the US-layout OEM codes.
constexpr KeyPair kPunctuation[] = {
    {';', 0xBA}, {':', 0xBA}, {'=', 0xBB},  {'+', 0xBB}, {',', 0xBC},  {'<', 0xBC},
    {'-', 0xBD}, {'_', 0xBD}, {'.', 0xBE},  {'>', 0xBE}, {'/', 0xBF},  {'?', 0xBF},
    {'`', 0xC0}, {'~', 0xC0}, {'[', 0xDB},  {'{', 0xDB}, {'\\', 0xDC}, {'|', 0xDC},
    {']', 0xDD}, {'}', 0xDD}, {'\'', 0xDE}, {'"', 0xDE}, {'#', 0xDE},
};

// Printable keys by position, for layouts whose key codes are not Latin.
int virtualKeyForScancode(int sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
  switch (sc) {
    case SDL_SCANCODE_0:
      return '0';
    case SDL_SCANCODE_MINUS:
      return 0xBD;
    case SDL_SCANCODE_EQUALS:
      return 0xBB;
    case SDL_SCANCODE_LEFTBRACKET:
      return 0xDB;
    case SDL_SCANCODE_RIGHTBRACKET:
      return 0xDD;
    case SDL_SCANCODE_BACKSLASH:
      return 0xDC;
    case SDL_SCANCODE_NONUSHASH:
      return 0xDC;
    case SDL_SCANCODE_SEMICOLON:
      return 0xBA;
    case SDL_SCANCODE_APOSTROPHE:
      return 0xDE;
    case SDL_SCANCODE_GRAVE:
      return 0xC0;
    case SDL_SCANCODE_COMMA:
      return 0xBC;
    case SDL_SCANCODE_PERIOD:
      return 0xBE;
    case SDL_SCANCODE_SLASH:
      return 0xBF;
    case SDL_SCANCODE_NONUSBACKSLASH:
      return 0xE2;
    default:
      return 0;
  }
}

}  // namespace

int virtualKeyFor(int32_t key, int scancode) {
  if (key >= 'a' && key <= 'z') return 'A' + (key - 'a');
  if (key >= '0' && key <= '9') return static_cast<int>(key);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + (key - SDLK_F1);
  if (key >= SDLK_F13 && key <= SDLK_F24) return 0x7C + (key - SDLK_F13);
  for (const KeyPair &p : kSpecialKeys) {
    if (p.sdl == key) return p.vk;
  }
  for (const KeyPair &p : kPunctuation) {
    if (p.sdl == key) return p.vk;
  }
  return virtualKeyForScancode(scancode);
}

}  // namespace sdlb

namespace sdlb {

WindowKey windowKeyFor(int32_t key, uint16_t mod) {
  // By key code, so that the keypad's Enter counts as Enter.
  return shared::windowKeyFor(virtualKeyFor(key, 0), (mod & KMOD_ALT) != 0,
                              (mod & (KMOD_CTRL | KMOD_GUI)) != 0);
}

bool isSystemKey(int32_t key, uint16_t mod) {
  // Not by virtual-key code: SDLK_MODE (AltGr on some layouts) shares Alt's
  // code yet types characters.
  return key == SDLK_LALT || key == SDLK_RALT || (mod & KMOD_ALT) != 0;
}

}  // namespace sdlb
