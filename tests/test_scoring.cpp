// Landing and scoring of a dart, and the result screen drawn for it.
#include <gtest/gtest.h>

#include <tuple>

#include "app/scene.h"
#include "game/landings.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "test_match_support.h"

namespace {

// A release that puts the dart on the given row with a peak of 126.
constexpr int32_t releaseForRow(int32_t row) { return 50 - (row - 120) / 4; }
constexpr int32_t P = 126;  // peak used with releaseForRow

// aimX, peak, release; then the row landed on, distance, angle, quadrant,
// sector, score and the effect started.
// clang-format off
const int32_t landings[][10] = {
    // The exact centre is the bull; its angle is taken as on the centre column.
    {112, 126, 48, 128, 0, 89, 0, 20, 50, 1},
    // Outer bull, above the centre and beside it.
    {112, 126, 50, 120, 8, 89, 0, 20, 25, 0},
    {108, P, releaseForRow(128), 128, 4, 0, 1, 11, 25, 0},
    // An unpressed peak (139) with an odd release.
    {112, 139, 23, 124, 4, 89, 0, 20, 25, 0},
    // A fall that ran out: release 0 adds 200 rows and always misses.
    {112, 138, 0, 224, 96, 89, 3, 3, 0, 2},
    // Rows clamped to the screen: far below and far above.
    {112, 2, 48, 240, 112, 89, 3, 3, 0, 2},
    {112, 139, 137, 0, 128, 89, 0, 20, 0, 2},
    // The pointer's end position misses.
    {16, P, releaseForRow(128), 128, 96, 0, 1, 11, 0, 2},
    // Straight above and below the centre.
    {112, 139, 42, 48, 80, 89, 0, 20, 40, 2},
    {112, 126, 28, 208, 80, 89, 3, 3, 6, 2},
    // Exact diagonals: angle 44, band 2.
    {132, P, releaseForRow(108), 108, 28, 44, 0, 4, 4, 2},
    {92, P, releaseForRow(148), 148, 28, 44, 2, 16, 16, 2},
    // Band edges 9/10, 28/29, 46/47, 64/65, 82/83.
    {88, P, releaseForRow(124), 124, 24, 9, 1, 11, 11, 2},
    {68, P, releaseForRow(120), 120, 44, 10, 1, 14, 14, 2},
    {60, P, releaseForRow(100), 100, 59, 28, 1, 14, 14, 2},
    {84, P, releaseForRow(112), 112, 32, 29, 1, 9, 9, 2},
    {16, P, releaseForRow(28), 28, 138, 46, 1, 9, 0, 2},
    {72, P, releaseForRow(84), 84, 59, 47, 1, 12, 12, 2},
    {84, P, releaseForRow(68), 68, 66, 64, 1, 12, 12, 2},
    {88, P, releaseForRow(76), 76, 57, 65, 1, 5, 5, 2},
    {108, P, releaseForRow(96), 96, 32, 82, 1, 5, 5, 2},
    {108, P, releaseForRow(92), 92, 36, 83, 1, 20, 20, 2},
    // Ring edges as the 4-pixel grid reaches them: 8/11 (9 to 10 cannot
    // occur), 44/45, 52/53, 79/80, 87/88.
    {104, P, releaseForRow(124), 124, 8, 26, 1, 14, 25, 0},
    {104, P, releaseForRow(120), 120, 11, 44, 1, 9, 9, 2},
    {68, P, releaseForRow(128), 128, 44, 0, 1, 11, 11, 2},
    {68, P, releaseForRow(116), 116, 45, 15, 1, 14, 42, 2},
    {60, P, releaseForRow(128), 128, 52, 0, 1, 11, 33, 2},
    {60, P, releaseForRow(140), 140, 53, 12, 2, 8, 8, 2},
    {36, P, releaseForRow(104), 104, 79, 17, 1, 14, 14, 2},
    {32, P, releaseForRow(124), 124, 80, 2, 1, 11, 22, 2},
    {28, P, releaseForRow(104), 104, 87, 15, 1, 14, 28, 2},
    {24, P, releaseForRow(124), 124, 88, 2, 1, 11, 0, 2},
};

// Round the clock: the dart at (aimX, row) against the target; success
// (animation 1, caption 73) or failure (2, 74).
const int32_t clockResults[][5] = {
    {112, 128, 7, 1, 73},  // bull, any target
    {88, 124, 11, 1, 73},  // single of the target
    {88, 124, 5, 2, 74},   // another number
    {24, 124, 11, 2, 74},  // a miss towards the target
};
// clang-format on

class Scoring : public ::testing::Test {
 protected:
  void SetUp() override {
    match_test::setUpSyntheticSheet();
    match = MatchState{};
    gameMode = GAME_301;
    playerCount = 1;
    match.playerScores[0] = 301;
    clearEffects();
  }
  void land(int32_t aimX, int32_t peak, int32_t release) {
    match.aimX = aimX;
    match.gaugePeak = peak;
    match.gaugeRelease = release;
    landDart();
  }
};

TEST_F(Scoring, LandingTable) {
  for (const auto &c : landings) {
    match.dartIndex = 1;
    clearEffects();
    land(c[0], c[1], c[2]);
    EXPECT_EQ(std::tuple(match.dartMarkX[1], match.dartMarkY[1] + 8, match.hitDistance,
                         match.hitAngle, match.hitQuadrant, match.hitSector, match.throwScore,
                         effects[0].animation, match.popupRise, sceneStep),
              std::tuple(c[0], c[3], c[4], c[5], c[6], c[7], c[8], c[9], 0, 8))
        << "aimX " << c[0] << " peak " << c[1] << " release " << c[2];
  }
}

TEST_F(Scoring, RoundTheClockSuccessAndFailure) {
  gameMode = GAME_ROUND_THE_CLOCK;
  for (const auto &c : clockResults) {
    match.playerScores[0] = c[2];
    clearEffects();
    land(c[0], P, releaseForRow(c[1]));
    EXPECT_EQ(std::tuple(sceneStep, effects[0].animation, match.playerScores[0]),
              std::tuple(9, c[3], c[2]))
        << c[0] << " " << c[1];
    matchSceneFrame();
    EXPECT_TRUE(match_test::shows(c[4], 0, 0)) << "aimX " << c[0] << " row " << c[1];
  }
}

// The bust sign shows only when a 301 dart is worth more than is left.
TEST_F(Scoring, BustSignOnlyWhenWorthMoreThanIsLeft) {
  for (auto [mode, left, bust] :
       {std::tuple{GAME_301, 21, true}, {GAME_301, 22, false}, {GAME_COUNT_UP, 10, false}}) {
    gameMode = mode;
    match.playerScores[0] = left;
    land(32, P, releaseForRow(124));  // double 11
    matchSceneFrame();
    EXPECT_EQ(match_test::shows(48, 88, 112), bust) << left;
  }
}

}  // namespace

// The browser and Windows builds check their own landings against this same
// number: any change to the throw's arithmetic must change it here first.
TEST(Landings, EveryLandingAndTheGaugeArcHashAsRecorded) {
  EXPECT_EQ(landingTableHash(), 0x5474bc1f595a166bull)
      << "the landing table or the gauge arc changed";
}
