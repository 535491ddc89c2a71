// The table of checkout routes and how a route is read.
#include "host/checkouts.h"

#include <cstring>
#include <iterator>

// clang-format off
const CheckoutRow kCheckoutRoutes[] = {
    {170, "T20 T20 Bull"},
    {167, "T20 T19 Bull"},
    {164, "T20 T18 Bull"},
    {161, "T20 T17 Bull"},
    {160, "T20 T20 D20"},
    {158, "T20 T20 D19"},
    {157, "T20 T19 D20"},
    {156, "T20 T20 D18"},
    {155, "T20 T19 D19"},
    {154, "T20 T18 D20"},
    {153, "T20 T19 D18"},
    {152, "T20 T20 D16"},
    {151, "T20 T17 D20"},
    {150, "T20 T18 D18"},
    {149, "T20 T19 D16"},
    {148, "T20 T16 D20"},
    {147, "T20 T17 D18"},
    {146, "T20 T18 D16"},
    {145, "T20 T15 D20"},
    {144, "T20 T20 D12"},
    {143, "T20 T17 D16"},
    {142, "T20 T14 D20"},
    {141, "T20 T19 D12"},
    {140, "T20 T20 D10"},
    {139, "T20 T13 D20"},
    {138, "T20 T18 D12"},
    {137, "T20 T19 D10"},
    {136, "T20 T20 D8"},
    {135, "T20 T17 D12"},
    {134, "T20 T14 D16"},
    {133, "T20 T19 D8"},
    {132, "T20 T16 D12"},
    {131, "T20 T13 D16"},
    {130, "T20 T20 D5"},
    {129, "T19 T16 D12"},
    {128, "T18 T14 D16"},
    {127, "T20 T17 D8"},
    {126, "T19 T19 D6"},
    {125, "25 T20 D20"},
    {124, "T20 T16 D8"},
    {123, "T19 T16 D9"},
    {122, "T18 T20 D4"},
    {121, "T20 T11 D14"},
    {120, "T20 20 D20"},
    {119, "T19 T12 D13"},
    {118, "T20 18 D20"},
    {117, "T20 17 D20"},
    {116, "T20 16 D20"},
    {115, "T20 15 D20"},
    {114, "T20 14 D20"},
    {113, "T20 13 D20"},
    {112, "T20 12 D20"},
    {111, "T20 19 D16"},
    {110, "T20 Bull"},
    {109, "T20 9 D20"},
    {108, "T20 16 D16"},
    {107, "T19 Bull"},
    {106, "T20 6 D20"},
    {105, "T20 5 D20"},
    {104, "T18 Bull"},
    {103, "T20 3 D20"},
    {102, "T20 10 D16"},
    {101, "T17 Bull"},
    {100, "T20 D20"},
    {99, "T19 10 D16"},
    {98, "T20 D19"},
    {97, "T19 D20"},
    {96, "T20 D18"},
    {95, "T19 D19"},
    {94, "T18 D20"},
    {93, "T19 D18"},
    {92, "T20 D16"},
    {91, "T17 D20"},
    {90, "T18 D18"},
    {89, "T19 D16"},
    {88, "T16 D20"},
    {87, "T17 D18"},
    {86, "T18 D16"},
    {85, "T15 D20"},
    {84, "T20 D12"},
    {83, "T17 D16"},
    {82, "Bull D16"},
    {81, "T19 D12"},
    {80, "T20 D10"},
    {79, "T13 D20"},
    {78, "T18 D12"},
    {77, "T19 D10"},
    {76, "T20 D8"},
    {75, "T17 D12"},
    {74, "T14 D16"},
    {73, "T19 D8"},
    {72, "T16 D12"},
    {71, "T13 D16"},
    {70, "T18 D8"},
    {69, "T19 D6"},
    {68, "T20 D4"},
    {67, "T17 D8"},
    {66, "T10 D18"},
    {65, "25 D20"},
    {64, "T16 D8"},
    {63, "T13 D12"},
    {62, "T10 D16"},
    {61, "T15 D8"},
    {60, "20 D20"},
    {59, "19 D20"},
    {58, "18 D20"},
    {57, "17 D20"},
    {56, "16 D20"},
    {55, "15 D20"},
    {54, "14 D20"},
    {53, "13 D20"},
    {52, "12 D20"},
    {51, "11 D20"},
    {50, "Bull"},
    {49, "9 D20"},
    {48, "16 D16"},
    {47, "15 D16"},
    {46, "6 D20"},
    {45, "13 D16"},
    {44, "12 D16"},
    {43, "3 D20"},
    {42, "10 D16"},
    {41, "9 D16"},
    {40, "D20"},
    {39, "7 D16"},
    {38, "D19"},
    {37, "5 D16"},
    {36, "D18"},
    {35, "3 D16"},
    {34, "D17"},
    {33, "1 D16"},
    {32, "D16"},
    {31, "15 D8"},
    {30, "D15"},
    {29, "13 D8"},
    {28, "D14"},
    {27, "11 D8"},
    {26, "D13"},
    {25, "9 D8"},
    {24, "D12"},
    {23, "7 D8"},
    {22, "D11"},
    {21, "5 D8"},
    {20, "D10"},
    {19, "3 D8"},
    {18, "D9"},
    {17, "1 D8"},
    {16, "D8"},
    {15, "7 D4"},
    {14, "D7"},
    {13, "5 D4"},
    {12, "D6"},
    {11, "3 D4"},
    {10, "D5"},
    {9, "1 D4"},
    {8, "D4"},
    {7, "3 D2"},
    {6, "D3"},
    {5, "1 D2"},
    {4, "D2"},
    {3, "1 D1"},
    {2, "D1"},
};
// clang-format on
const int32_t kCheckoutRouteCount = static_cast<int32_t>(std::size(kCheckoutRoutes));

namespace {

bool readDart(const char *word, int32_t length, HostDart *dart) {
  if (length == 4 && std::strncmp(word, "Bull", 4) == 0) {
    *dart = {kBullNumber, 2};
    return true;
  }
  int32_t multiplier = 1;
  if (word[0] == 'T' || word[0] == 'D') {
    multiplier = word[0] == 'T' ? 3 : 2;
    ++word;
    --length;
  }
  if (length < 1 || length > 2) return false;
  int32_t number = 0;
  for (int32_t i = 0; i < length; ++i) {
    if (word[i] < '0' || word[i] > '9') return false;
    number = number * 10 + (word[i] - '0');
  }
  const bool onBoard = (number >= 1 && number <= 20) || (number == kBullNumber && multiplier == 1);
  if (!onBoard) return false;
  *dart = {number, multiplier};
  return true;
}

}  // namespace

int32_t checkoutDarts(const char *route, HostDart *darts, int32_t max) {
  int32_t count = 0;
  const char *p = route;
  while (*p != 0) {
    while (*p == ' ') ++p;
    if (*p == 0) break;
    const char *end = p;
    while (*end != 0 && *end != ' ') ++end;
    if (count == max || !readDart(p, static_cast<int32_t>(end - p), &darts[count])) return -1;
    ++count;
    p = end;
  }
  return count;
}

const char *checkoutRoute(int32_t left, int32_t dartsLeft, X01Out out) {
  // Every route ends on a double, which each out rule allows.
  (void)out;
  for (const CheckoutRow &row : kCheckoutRoutes) {
    if (row.score != left) continue;
    HostDart darts[kHostDartsPerTurn];
    const int32_t n = checkoutDarts(row.route, darts, kHostDartsPerTurn);
    return n > 0 && n <= dartsLeft ? row.route : nullptr;
  }
  return nullptr;
}

bool checkoutTarget(int32_t left, int32_t dartsLeft, X01Out out, HostDart *target) {
  const char *route = checkoutRoute(left, dartsLeft, out);
  HostDart darts[kHostDartsPerTurn];
  if (route == nullptr || checkoutDarts(route, darts, kHostDartsPerTurn) < 1) return false;
  *target = darts[0];
  return true;
}
