// The dart as the host's games read it, and their shared turn order.
#include "host/host_dart.h"

HostDart hostDartFrom(int32_t score, int32_t sector) {
  if (score <= 0) return {0, 0};
  if (score == 2 * kBullNumber) return {kBullNumber, 2};
  if (score == kBullNumber) return {kBullNumber, 1};
  if (sector > 0 && score == 3 * sector) return {sector, 3};
  if (sector > 0 && score == 2 * sector) return {sector, 2};
  return {score, 1};
}

HostTurn hostTurnStart(int32_t players, int32_t starter) {
  return HostTurn{.players = players, .starter = starter, .seat = starter, .round = 0, .dart = 0};
}

bool hostTurnAfterDart(HostTurn &turn, bool turnOver) {
  turn.dart += 1;
  if (!turnOver && turn.dart < kHostDartsPerTurn) return false;
  turn.dart = 0;
  turn.seat = (turn.seat + 1) % turn.players;
  if (turn.seat != turn.starter) return false;
  turn.round += 1;
  return turn.round >= kHostRoundLimit;
}
