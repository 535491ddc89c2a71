// The computer seats' choices in the host's own games.
#include "host/host_game_aim.h"

#include <map>

#include "host/checkouts.h"
#include "host/games.h"
#include "host/host_games.h"

namespace {

// Every landing once: a miss, then 1 to 20 and the bull by ring.
template <typename Worth>
CpuWish wishFor(Worth worth) {
  CpuWish wish{};
  for (int32_t slot = 0; slot < kCpuSegmentSlots; ++slot) {
    const int32_t number = slot == kCpuSegmentSlots - 1 ? kBullNumber : slot;
    const int32_t rings = slot == 0 ? 0 : number == kBullNumber ? 2 : 3;
    for (int32_t m = slot == 0 ? 0 : 1; m <= rings; ++m) {
      const HostDart dart{number, m};
      wish.value[cpuSegment(dart)] = worth(dart);
    }
  }
  return wish;
}

// Above this no dart can leave a score finished in one turn.
constexpr int32_t kX01PlannedFrom = 170 + 60;

// X01's worth of a score left after a dart that took `counted`, with
// `dartsAfter` darts of the turn still in hand: a finish this turn is worth
// most, then a double to finish on next turn (the larger the double, the
// more room a near miss leaves), then a finish in three darts; points
// break the ties.
double x01Leave(const X01Options &options, int32_t rest, int32_t counted, int32_t dartsAfter) {
  if (dartsAfter > 0 && checkoutRoute(rest, dartsAfter, options.out) != nullptr) return 3;
  if (checkoutRoute(rest, 1, options.out) != nullptr)
    return rest == 2 * kBullNumber ? 2 : 2 + rest / 100.0;
  if (checkoutRoute(rest, kHostDartsPerTurn, options.out) != nullptr) return 1 + counted / 100.0;
  return counted / 100.0;
}

int32_t bestOpponentPoints(const CricketGame &game, int32_t seat) {
  int32_t best = -1;
  for (int32_t s = 0; s < game.turn.players; ++s)
    if (s != seat && game.points[s] > best) best = game.points[s];
  return best;
}

// An opponent has the number closed while the seat has it open: it can
// score there.
bool threatened(const CricketGame &game, int32_t seat, int32_t target) {
  if (game.marks[seat][target] >= kCricketClosed) return false;
  for (int32_t s = 0; s < game.turn.players; ++s)
    if (s != seat && game.marks[s][target] >= kCricketClosed) return true;
  return false;
}

// The highest numbers first, the bull last.
constexpr int32_t kCricketOrder[kCricketTargets] = {5, 4, 3, 2, 1, 0, 6};

bool aimForHostGame(int32_t level, int32_t mode, CpuTarget *target) {
  const HostGamePlay *play = hostGameNow();
  if (play == nullptr || play->choice.mode != mode) return false;
  if (mode == kHostGameX01) {
    *target = x01Aim(level, play->x01);
    return true;
  }
  if (mode == kHostGameCricket) {
    *target = cricketAim(level, play->cricket);
    return true;
  }
  if (mode == kHostGameShanghai) {
    *target = shanghaiAim(level, play->shanghai);
    return true;
  }
  if (mode == kHostGameBobs27) {
    *target = bobs27Aim(level, play->bobs27);
    return true;
  }
  return false;
}

}  // namespace

CpuWish x01Wish(const X01Game &game) {
  const int32_t seat = game.turn.seat;
  const int32_t left = game.left[seat];
  const bool opened = game.opened[seat] || game.options.in == X01In::kStraight;
  const int32_t dartsLeft = kHostDartsPerTurn - game.turn.dart;
  const X01Options &o = game.options;
  if (!opened) {
    return wishFor([](HostDart d) { return isDouble(d) ? 1.0 + dartScore(d) / 100.0 : 0.0; });
  }
  HostDart next{};
  if (checkoutTarget(left, dartsLeft, o.out, &next)) {
    return wishFor([&](HostDart d) {
      return d.number == next.number && d.multiplier == next.multiplier ? 1.0 : 0.0;
    });
  }
  return wishFor([&](HostDart d) {
    const X01DartResult r = x01Dart(o, left, true, d);
    if (r.checkout) return 4.0;
    if (r.bust) return -1.0;
    return x01Leave(o, left - r.counted, r.counted, dartsLeft - 1);
  });
}

CpuTarget x01Aim(int32_t level, const X01Game &game) {
  const int32_t seat = game.turn.seat;
  const int32_t left = game.left[seat];
  const bool opened = game.opened[seat] || game.options.in == X01In::kStraight;
  // Straight out is the handheld's "301" finish: its plan weighs every
  // route to 0 with the level's own spread.
  if (opened && game.options.out == X01Out::kStraight)
    return cpuChooseTarget(level, kGame301, left);
  // Out of reach of a finish next turn whatever lands: the most points.
  if (opened && left > kX01PlannedFrom) return cpuChooseTarget(level, kGameCountUp, 0);
  // The choice depends on the level, the out rule, whether the seat is in,
  // the darts in hand and the score only: worked out once each.
  static std::map<int64_t, CpuTarget> chosen;
  const int64_t key =
      (((static_cast<int64_t>(level) * 4 + static_cast<int32_t>(game.options.out)) * 2 +
        (opened ? 1 : 0)) *
           4 +
       game.turn.dart) *
          1024 +
      (opened ? left : 0);
  const auto found = chosen.find(key);
  if (found != chosen.end()) return found->second;
  const CpuTarget target = cpuBestTarget(level, x01Wish(game));
  chosen.emplace(key, target);
  return target;
}

CricketPlan cricketPlan(const CricketGame &game) {
  const int32_t seat = game.turn.seat;
  for (int32_t t : kCricketOrder)
    if (threatened(game, seat, t)) return {t, false};
  const bool ahead = game.points[seat] > bestOpponentPoints(game, seat);
  if (!ahead) {
    for (int32_t t : kCricketOrder)
      if (game.marks[seat][t] >= kCricketClosed && cricketOpenForAnother(game, seat, t))
        return {t, true};
  }
  for (int32_t t : kCricketOrder)
    if (game.marks[seat][t] < kCricketClosed) return {t, false};
  // Everything closed and still behind: points wherever an opponent is open.
  for (int32_t t : kCricketOrder)
    if (cricketOpenForAnother(game, seat, t)) return {t, true};
  return {5, false};
}

CpuTarget cricketAim(int32_t level, const CricketGame &game) {
  const CricketPlan plan = cricketPlan(game);
  // Every mark on the chosen number: the triple, or the inner bull. The
  // target depends on the level and the number alone.
  static CpuTarget chosen[kCpuLevelCount][kCricketTargets];
  static bool known[kCpuLevelCount][kCricketTargets];
  const int32_t l = level < 1 ? 0 : level > kCpuLevelCount ? kCpuLevelCount - 1 : level - 1;
  if (!known[l][plan.target]) {
    const int32_t number = cricketNumber(plan.target);
    chosen[l][plan.target] = cpuBestTarget(
        l + 1, wishFor([&](HostDart d) { return d.number == number ? d.multiplier * 1.0 : 0.0; }));
    known[l][plan.target] = true;
  }
  return chosen[l][plan.target];
}

CpuTarget shanghaiAim(int32_t level, const ShanghaiGame &game) {
  // By the level, the number and the rings of it this turn.
  static std::map<int32_t, CpuTarget> chosen;
  const int32_t key = (level * 8 + shanghaiNumber(game)) * 8 + game.ringsThisTurn;
  const auto found = chosen.find(key);
  if (found != chosen.end()) return found->second;
  const CpuTarget target = cpuBestTarget(level, wishFor([&](HostDart d) {
                                           const ShanghaiThrow t = shanghaiPreview(game, d);
                                           return t.points + (t.shanghai ? 100.0 : 0.0);
                                         }));
  chosen.emplace(key, target);
  return target;
}

CpuTarget bobs27Aim(int32_t level, const Bobs27Game &game) {
  static std::map<int32_t, CpuTarget> chosen;
  const int32_t round = game.turn.round < kBobs27Rounds ? game.turn.round : kBobs27Rounds - 1;
  const int32_t key = level * 32 + round;
  const auto found = chosen.find(key);
  if (found != chosen.end()) return found->second;
  const CpuTarget target =
      cpuBestTarget(level, wishFor([&](HostDart d) { return bobs27Hit(round, d) ? 1.0 : 0.0; }));
  chosen.emplace(key, target);
  return target;
}

void registerHostGameAim() { cpuSetHostGameAim(aimForHostGame); }
