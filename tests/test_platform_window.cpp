// The window, its class and the message queue of the shared platform code,
// driven through the headless backend.
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"
#include "platform/winapi.h"

namespace {

struct Seen {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

std::vector<Seen> seen;
// Whether DestroyWindow had returned when WM_DESTROY arrived.
bool destroyReturned;
bool destroyRanInside;

LRESULT CALLBACK testProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  seen.push_back({hwnd, msg, wParam, lParam});
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
    destroyReturned = false;
    destroyRanInside = false;
  }
  void TearDown() override { headlessReset(); }

  HWND makeWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = testProc;
    wc.lpszClassName = L"TESTCLASS";
    EXPECT_NE(RegisterClassW(&wc), 0);
    return CreateWindowExW(0, L"TestClass", L"Title", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
  }

  // Takes every waiting message, dispatching each; returns their ids.
  std::vector<UINT> drain() {
    std::vector<UINT> ids;
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      ids.push_back(m.message);
      if (m.message == WM_QUIT) break;
      DispatchMessageW(&m);
    }
    return ids;
  }
};

TEST_F(PlatformWindow, CreationSendsCreateAndWindowIsOnlyOne) {
  HWND hwnd = makeWindow();
  ASSERT_NE(hwnd, nullptr);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].msg, WM_CREATE);
  EXPECT_EQ(seen[0].hwnd, hwnd);
  // One window at a time.
  EXPECT_EQ(
      CreateWindowExW(0, L"TESTCLASS", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr),
      nullptr);
}

TEST_F(PlatformWindow, DestroyWindowSendsDestroyBeforeReturning) {
  HWND hwnd = makeWindow();
  PostMessageW(hwnd, WM_KEYDOWN, 1, 0);  // dropped with the window
  EXPECT_TRUE(DestroyWindow(hwnd));
  destroyReturned = true;
  EXPECT_TRUE(destroyRanInside);
  EXPECT_EQ(seen.back().msg, WM_DESTROY);
  // The handle is dead now.
  EXPECT_FALSE(DestroyWindow(hwnd));
  EXPECT_FALSE(PostMessageW(hwnd, WM_KEYDOWN, 1, 0));
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));  // the quit comes once
}

TEST_F(PlatformWindow, CloseRequestDestroysThroughDefaultProcessing) {
  HWND hwnd = makeWindow();
  headlessClose();
  std::vector<UINT> ids = drain();
  EXPECT_EQ(ids, (std::vector<UINT>{WM_CLOSE, WM_QUIT}));
  EXPECT_EQ(seen.back().msg, WM_DESTROY);
  EXPECT_FALSE(PostMessageW(hwnd, WM_NULL, 0, 0));
}

TEST_F(PlatformWindow, QueueIsFifoOneMessagePerPeekQuitLast) {
  HWND hwnd = makeWindow();
  seen.clear();
  PostQuitMessage(3);  // waits until the posted messages are taken
  headlessKey(VK_UP);
  headlessTap(12, 300);
  headlessActivate(false);
  headlessActivate(true);
  headlessMinimize();
  ASSERT_TRUE(PostMessageW(nullptr, WM_NULL, 5, 6));  // a thread message
  struct Want {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    bool dispatched;
  };
  const Want want[] = {
      {WM_KEYDOWN, VK_UP, 1, true},
      {WM_LBUTTONDOWN, 1, MAKELPARAM(12, 300), true},
      {WM_ACTIVATE, WA_INACTIVE, 0, true},
      {WM_ACTIVATE, WA_ACTIVE, 0, true},
      {WM_SIZE, SIZE_MINIMIZED, 0, true},
      {WM_NULL, 5, 6, false},
      {WM_QUIT, 3, 0, false},
  };
  for (const Want &w : want) {
    SCOPED_TRACE(w.msg);
    size_t before = seen.size();
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, w.msg);
    EXPECT_EQ(m.wParam, w.wParam);
    EXPECT_EQ(m.lParam, w.lParam);
    EXPECT_EQ(m.hwnd, w.dispatched ? hwnd : nullptr);
    if (m.message != WM_QUIT) DispatchMessageW(&m);
    EXPECT_EQ(seen.size(), before + (w.dispatched ? 1 : 0));
  }
  MSG m;
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(PlatformWindow, FullQueueRefusesAndKeepsWhatItHas) {
  HWND hwnd = makeWindow();
  int accepted = 0;
  while (accepted < 10000 && PostMessageW(hwnd, WM_KEYDOWN, static_cast<WPARAM>(accepted), 0))
    ++accepted;
  EXPECT_EQ(accepted, 256);
  PostQuitMessage(0);
  for (int i = 0; i < accepted; ++i) {
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    ASSERT_EQ(m.message, WM_KEYDOWN);
    ASSERT_EQ(m.wParam, static_cast<WPARAM>(i));
    if (i == 0) {
      EXPECT_TRUE(PostMessageW(hwnd, WM_NULL, 0, 0));  // room again
    }
  }
  EXPECT_EQ(drain(), (std::vector<UINT>{WM_NULL, WM_QUIT}));
}

TEST_F(PlatformWindow, AnotherInstanceIsBroughtForward) {
  EXPECT_EQ(FindWindowW(L"TOBELYN", L"Tobelyn"), nullptr);
  headlessSetOtherInstance(true);
  HWND other = FindWindowW(L"TOBELYN", L"Tobelyn");
  ASSERT_NE(other, nullptr);
  EXPECT_TRUE(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(other) | 1)));
  EXPECT_EQ(headlessForegroundRequests(), 1);
}

}  // namespace
