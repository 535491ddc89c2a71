// The desktop window's keys and its remembered size, place and mode, shared
// by the desktop and Windows.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/common/window_state.h"

using namespace shared;

TEST(WindowState, OnlyTheExactLayoutIsRemembered) {
  const char good[] = "tobelyn-window 1\nplace -10 20\nsize 720 960\nfullscreen 1\nfit 0\n";
  WindowState w{};
  ASSERT_TRUE(parseWindowState(good, sizeof good - 1, &w));
  EXPECT_EQ(std::vector<int>({w.x, w.y, w.w, w.h, w.fullScreen, w.fit}),
            std::vector<int>({-10, 20, 720, 960, 1, 0}));
  char again[kWindowStateMax];
  const size_t n = formatWindowState(w, again, sizeof again);
  EXPECT_EQ(std::string(again, n), std::string(good)) << "written back the same";

  struct Case {
    const char *name;
    const char *text;
  };
  const Case bad[] = {
      {.name = "another file",
       .text = "tobelyn-settings 1\nplace 0 0\nsize 720 960\nfullscreen 0\nfit 0\n"},
      {.name = "a line missing", .text = "tobelyn-window 1\nplace 0 0\nsize 720 960\nfit 0\n"},
      {.name = "a size of 0",
       .text = "tobelyn-window 1\nplace 0 0\nsize 0 960\nfullscreen 0\nfit 0\n"},
      {.name = "a huge number",
       .text = "tobelyn-window 1\nplace 99999999 0\nsize 720 960\nfullscreen 0\nfit 0\n"},
      {.name = "a mode of 2",
       .text = "tobelyn-window 1\nplace 0 0\nsize 720 960\nfullscreen 2\nfit 0\n"},
      {.name = "bytes after the end",
       .text = "tobelyn-window 1\nplace 0 0\nsize 720 960\nfullscreen 0\nfit 0\nx"},
      {.name = "cut short",
       .text = "tobelyn-window 1\nplace 0 0\nsize 720 960\nfullscreen 0\nfit 0"},
  };
  for (const Case &c : bad) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(parseWindowState(c.text, std::strlen(c.text), &w));
  }
}

TEST(WindowState, AWindowOffItsMonitorIsBroughtBackWhole) {
  const Rect area{0, 0, 1920, 1040};  // a monitor's work area
  struct Case {
    const char *name;
    Rect window, expected;
  };
  const Case cases[] = {
      {.name = "inside: left alone",
       .window = {100, 20, 736, 999},
       .expected = {100, 20, 736, 999}},
      {.name = "off the right edge (a monitor gone)",
       .window = {2500, 50, 736, 999},
       .expected = {1184, 41, 736, 999}},
      {.name = "above the top", .window = {100, -400, 736, 999}, .expected = {100, 0, 736, 999}},
      {.name = "taller than the work area: shrunk",
       .window = {-50, -50, 736, 1300},
       .expected = {0, 0, 736, 1040}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const Rect r = keepWithinArea(c.window, area);
    EXPECT_EQ(std::vector<int>({r.x, r.y, r.w, r.h}),
              std::vector<int>({c.expected.x, c.expected.y, c.expected.w, c.expected.h}));
  }
}

TEST(WindowState, WindowKeysByVirtualKeyCode) {
  struct Case {
    const char *name;
    int vk;
    bool alt = false, ctrlOrLogo = false;
    WindowKey expected;
  };
  const Case cases[] = {
      {.name = "F11", .vk = 0x7A, .expected = WindowKey::kFullScreen},
      {.name = "Alt+Enter", .vk = 0x0D, .alt = true, .expected = WindowKey::kFullScreen},
      {.name = "F10", .vk = 0x79, .expected = WindowKey::kFit},
      {.name = "Enter alone is button A", .vk = 0x0D, .expected = WindowKey::kNone},
      {.name = "Ctrl+Alt+Enter is not ours",
       .vk = 0x0D,
       .alt = true,
       .ctrlOrLogo = true,
       .expected = WindowKey::kNone},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(windowKeyFor(c.vk, c.alt, c.ctrlOrLogo), c.expected);
  }
  EXPECT_TRUE(isSystemKey(0x12, false)) << "Alt itself";
  EXPECT_TRUE(isSystemKey('X', true)) << "Alt+X";
  EXPECT_FALSE(isSystemKey('X', false)) << "X";
}
