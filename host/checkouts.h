// The checkout routes the host shows under X01: one standard way out for
// every score from 2 to 170 that three darts can finish on a double, the
// fewest darts first. A computer player asks the same table what to aim at.
#pragma once

#include <cstdint>

#include "host/x01.h"

struct CheckoutRow {
  int32_t score;
  const char *route;  // darts apart by spaces: "T20", "D16", "19", "25" (outer bull), "Bull"
};
extern const CheckoutRow kCheckoutRoutes[];
extern const int32_t kCheckoutRouteCount;

// The route for `left` when it can be finished in `dartsLeft` darts under
// the out rule, or null.
const char *checkoutRoute(int32_t left, int32_t dartsLeft, X01Out out);
// A route's darts, in order; returns how many (at most `max`), or -1 when
// the text is not a route.
int32_t checkoutDarts(const char *route, HostDart *darts, int32_t max);
// What to aim at next: the first dart of the route, when there is one.
bool checkoutTarget(int32_t left, int32_t dartsLeft, X01Out out, HostDart *target);
