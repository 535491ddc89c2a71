// The window, its class and the message queue of the shared platform code,
// driven through the headless backend.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "platform/common/platform_internal.h"
#include "platform/headless/headless.h"
#include "platform/winapi.h"

namespace {

std::vector<UINT> seen;  // messages the window procedure received
bool destroyReturned, destroyRanInside;

LRESULT CALLBACK testProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  seen.push_back(msg);
  if (msg == WM_DESTROY) {
    destroyRanInside = !destroyReturned;
    EXPECT_FALSE(DestroyWindow(hwnd));  // no second destruction from inside
    PostQuitMessage(7);
    return 0;
  }
  if (msg == WM_KEYDOWN || msg == WM_ACTIVATE || msg == WM_SIZE) return 0;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class PlatformWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    headlessReset();
    seen.clear();
    destroyReturned = destroyRanInside = false;
    WNDCLASSW wc{};
    wc.lpfnWndProc = testProc;
    wc.lpszClassName = L"TESTCLASS";
    EXPECT_NE(RegisterClassW(&wc), 0);
    // Class names ignore case.
    hwnd = CreateWindowExW(0, L"TestClass", L"Title", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
  }
  void TearDown() override { headlessReset(); }
  HWND hwnd = nullptr;
};

TEST_F(PlatformWindow, OneWindowWhoseDestructionSendsDestroyBeforeReturning) {
  EXPECT_EQ(seen, std::vector<UINT>{WM_CREATE});
  EXPECT_EQ(
      CreateWindowExW(0, L"TESTCLASS", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr),
      nullptr);
  PostMessageW(hwnd, WM_KEYDOWN, 1, 0);  // dropped with the window
  EXPECT_TRUE(DestroyWindow(hwnd));
  destroyReturned = true;
  EXPECT_TRUE(destroyRanInside);
  EXPECT_EQ(seen.back(), UINT{WM_DESTROY});
  EXPECT_FALSE(DestroyWindow(hwnd));  // the handle is dead now
  EXPECT_FALSE(PostMessageW(hwnd, WM_KEYDOWN, 1, 0));
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(std::make_pair(m.message, m.wParam), std::make_pair(UINT{WM_QUIT}, WPARAM{7}));
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));  // the quit comes once
}

TEST_F(PlatformWindow, FullQueueRefusesAndKeepsWhatItHas) {
  int accepted = 0;
  while (accepted < 10000 && PostMessageW(hwnd, WM_KEYDOWN, WPARAM(accepted), 0)) ++accepted;
  EXPECT_EQ(accepted, 256);
  PostQuitMessage(0);
  MSG m;
  for (int i = 0; i < accepted; ++i) {
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    ASSERT_EQ(std::make_pair(m.message, m.wParam), std::make_pair(UINT{WM_KEYDOWN}, WPARAM(i)));
    EXPECT_TRUE(i != 0 || PostMessageW(hwnd, WM_NULL, 0, 0));  // room again
  }
  for (UINT want : {WM_NULL, WM_QUIT}) {
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, want);
  }
}

// What a backend posts: a storm of keys stops at a few waiting, and a close
// gets in even when the queue is full, taking the oldest key's place.
TEST_F(PlatformWindow, InputStormsAreCutAndACloseIsNeverLost) {
  int accepted = 0;
  for (int i = 0; i < 400; ++i) accepted += platformPostInput(WM_KEYDOWN, WPARAM(i), 0) != FALSE;
  EXPECT_EQ(accepted, 16) << "keys waiting at most";
  EXPECT_TRUE(platformPostControl(WM_ACTIVATE, WA_INACTIVE, 0));
  while (PostMessageW(hwnd, WM_KEYDOWN, 999, 0)) {
  }
  ASSERT_EQ(platformQueuedMessages(), 256);
  EXPECT_TRUE(platformPostControl(WM_CLOSE, 0, 0));
  MSG m;
  std::vector<UINT> order;  // runs of one message
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(std::make_pair(m.message, m.wParam), std::make_pair(UINT{WM_KEYDOWN}, WPARAM{1}))
      << "the oldest key made room";
  do {
    if (order.empty() || order.back() != m.message) order.push_back(m.message);
    DispatchMessageW(&m);
  } while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE) && m.message != WM_QUIT);
  EXPECT_EQ(order, (std::vector<UINT>{WM_KEYDOWN, WM_ACTIVATE, WM_KEYDOWN, WM_CLOSE}));
  EXPECT_EQ(seen.back(), UINT{WM_DESTROY}) << "the close was taken";
}

}  // namespace
