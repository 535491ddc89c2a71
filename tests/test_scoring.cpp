// Landing and scoring of a dart, and the result screen drawn for it.
#include <gtest/gtest.h>

#include "app/scene.h"
#include "game/landings.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "test_match_support.h"

namespace {

// A release that puts the dart on the given row with a peak of kPeak.
constexpr int32_t releaseForRow(int32_t row) { return 50 - (row - 120) / 4; }
constexpr int32_t kPeak = 126;

// Where the dart lands from the aim column, the gauge's peak and its
// release, and what it scores: the row, the distance and the truncated angle
// from the centre, the quadrant, the board's number there, the score and the
// effect started. The rows walk every band and ring edge the 4-pixel grid
// can reach.
struct Aim {
  int32_t aimX, peak, release;
};
struct Hit {
  int32_t row, distance, angle, quadrant;
};
struct Result {
  int32_t sector, score, effect;
};
struct Landing {
  const char *name;
  Aim aim;
  Hit hit;
  Result result;
};

const Landing kLandings[] = {
    {.name = "the exact centre: double bull, its angle taken as on the centre column",
     .aim = {.aimX = 112, .peak = 126, .release = 48},
     .hit = {.row = 128, .distance = 0, .angle = 89, .quadrant = 0},
     .result = {.sector = 20, .score = 50, .effect = kEffectBull}},
    {.name = "an unpressed peak (139) with an odd release: single bull",
     .aim = {.aimX = 112, .peak = 139, .release = 23},
     .hit = {.row = 124, .distance = 4, .angle = 89, .quadrant = 0},
     .result = {.sector = 20, .score = 25, .effect = kEffectConfirm}},
    {.name = "a fall that ran out (release 0) lands 200 rows lower: miss",
     .aim = {.aimX = 112, .peak = 138, .release = 0},
     .hit = {.row = 224, .distance = 96, .angle = 89, .quadrant = 3},
     .result = {.sector = 3, .score = 0, .effect = kEffectLanding}},
    {.name = "far below the board: clamped to row 240, miss",
     .aim = {.aimX = 112, .peak = 2, .release = 48},
     .hit = {.row = 240, .distance = 112, .angle = 89, .quadrant = 3},
     .result = {.sector = 3, .score = 0, .effect = kEffectLanding}},
    {.name = "far above the board: clamped to row 0, miss",
     .aim = {.aimX = 112, .peak = 139, .release = 137},
     .hit = {.row = 0, .distance = 128, .angle = 89, .quadrant = 0},
     .result = {.sector = 20, .score = 0, .effect = kEffectLanding}},
    {.name = "band edge: angle 9 is the last of band 0",
     .aim = {.aimX = 88, .peak = kPeak, .release = releaseForRow(124)},
     .hit = {.row = 124, .distance = 24, .angle = 9, .quadrant = 1},
     .result = {.sector = 11, .score = 11, .effect = kEffectLanding}},
    {.name = "band edge: angle 10 is the first of band 1",
     .aim = {.aimX = 68, .peak = kPeak, .release = releaseForRow(120)},
     .hit = {.row = 120, .distance = 44, .angle = 10, .quadrant = 1},
     .result = {.sector = 14, .score = 14, .effect = kEffectLanding}},
    {.name = "band edge: angle 28 is the last of band 1",
     .aim = {.aimX = 60, .peak = kPeak, .release = releaseForRow(100)},
     .hit = {.row = 100, .distance = 59, .angle = 28, .quadrant = 1},
     .result = {.sector = 14, .score = 14, .effect = kEffectLanding}},
    {.name = "band edge: angle 29 is the first of band 2",
     .aim = {.aimX = 84, .peak = kPeak, .release = releaseForRow(112)},
     .hit = {.row = 112, .distance = 32, .angle = 29, .quadrant = 1},
     .result = {.sector = 9, .score = 9, .effect = kEffectLanding}},
    {.name = "band edge: angle 46 is the last of band 2 (off the board: miss)",
     .aim = {.aimX = 16, .peak = kPeak, .release = releaseForRow(28)},
     .hit = {.row = 28, .distance = 138, .angle = 46, .quadrant = 1},
     .result = {.sector = 9, .score = 0, .effect = kEffectLanding}},
    {.name = "band edge: angle 47 is the first of band 3",
     .aim = {.aimX = 72, .peak = kPeak, .release = releaseForRow(84)},
     .hit = {.row = 84, .distance = 59, .angle = 47, .quadrant = 1},
     .result = {.sector = 12, .score = 12, .effect = kEffectLanding}},
    {.name = "band edge: angle 64 is the last of band 3",
     .aim = {.aimX = 84, .peak = kPeak, .release = releaseForRow(68)},
     .hit = {.row = 68, .distance = 66, .angle = 64, .quadrant = 1},
     .result = {.sector = 12, .score = 12, .effect = kEffectLanding}},
    {.name = "band edge: angle 65 is the first of band 4",
     .aim = {.aimX = 88, .peak = kPeak, .release = releaseForRow(76)},
     .hit = {.row = 76, .distance = 57, .angle = 65, .quadrant = 1},
     .result = {.sector = 5, .score = 5, .effect = kEffectLanding}},
    {.name = "band edge: angle 82 is the last of band 4",
     .aim = {.aimX = 108, .peak = kPeak, .release = releaseForRow(96)},
     .hit = {.row = 96, .distance = 32, .angle = 82, .quadrant = 1},
     .result = {.sector = 5, .score = 5, .effect = kEffectLanding}},
    {.name = "band edge: angle 83 is the first of band 5",
     .aim = {.aimX = 108, .peak = kPeak, .release = releaseForRow(92)},
     .hit = {.row = 92, .distance = 36, .angle = 83, .quadrant = 1},
     .result = {.sector = 20, .score = 20, .effect = kEffectLanding}},
    {.name = "ring edge: distance 8 is still the single bull",
     .aim = {.aimX = 104, .peak = kPeak, .release = releaseForRow(124)},
     .hit = {.row = 124, .distance = 8, .angle = 26, .quadrant = 1},
     .result = {.sector = 14, .score = 25, .effect = kEffectConfirm}},
    {.name = "ring edge: distance 11 is the inner single (9 and 10 cannot occur)",
     .aim = {.aimX = 104, .peak = kPeak, .release = releaseForRow(120)},
     .hit = {.row = 120, .distance = 11, .angle = 44, .quadrant = 1},
     .result = {.sector = 9, .score = 9, .effect = kEffectLanding}},
    {.name = "ring edge: distance 44 is the last of the inner single",
     .aim = {.aimX = 68, .peak = kPeak, .release = releaseForRow(128)},
     .hit = {.row = 128, .distance = 44, .angle = 0, .quadrant = 1},
     .result = {.sector = 11, .score = 11, .effect = kEffectLanding}},
    {.name = "ring edge: distance 45 is the treble",
     .aim = {.aimX = 68, .peak = kPeak, .release = releaseForRow(116)},
     .hit = {.row = 116, .distance = 45, .angle = 15, .quadrant = 1},
     .result = {.sector = 14, .score = 42, .effect = kEffectLanding}},
    {.name = "ring edge: distance 52 is the last of the treble",
     .aim = {.aimX = 60, .peak = kPeak, .release = releaseForRow(128)},
     .hit = {.row = 128, .distance = 52, .angle = 0, .quadrant = 1},
     .result = {.sector = 11, .score = 33, .effect = kEffectLanding}},
    {.name = "ring edge: distance 53 is the outer single",
     .aim = {.aimX = 60, .peak = kPeak, .release = releaseForRow(140)},
     .hit = {.row = 140, .distance = 53, .angle = 12, .quadrant = 2},
     .result = {.sector = 8, .score = 8, .effect = kEffectLanding}},
    {.name = "ring edge: distance 79 is the last of the outer single",
     .aim = {.aimX = 36, .peak = kPeak, .release = releaseForRow(104)},
     .hit = {.row = 104, .distance = 79, .angle = 17, .quadrant = 1},
     .result = {.sector = 14, .score = 14, .effect = kEffectLanding}},
    {.name = "ring edge: distance 80 is the double",
     .aim = {.aimX = 32, .peak = kPeak, .release = releaseForRow(124)},
     .hit = {.row = 124, .distance = 80, .angle = 2, .quadrant = 1},
     .result = {.sector = 11, .score = 22, .effect = kEffectLanding}},
    {.name = "ring edge: distance 87 is the last of the double",
     .aim = {.aimX = 28, .peak = kPeak, .release = releaseForRow(104)},
     .hit = {.row = 104, .distance = 87, .angle = 15, .quadrant = 1},
     .result = {.sector = 14, .score = 28, .effect = kEffectLanding}},
    {.name = "ring edge: distance 88 is off the board",
     .aim = {.aimX = 24, .peak = kPeak, .release = releaseForRow(124)},
     .hit = {.row = 124, .distance = 88, .angle = 2, .quadrant = 1},
     .result = {.sector = 11, .score = 0, .effect = kEffectLanding}},
};

// Round the clock: the dart at (aimX, row) against the player's target.
struct ClockResult {
  const char *name;
  int32_t aimX, row, target;
  bool success;
};

const ClockResult kClockResults[] = {
    {.name = "the bull succeeds whatever the target",
     .aimX = 112,
     .row = 128,
     .target = 7,
     .success = true},
    {.name = "a single of the target succeeds",
     .aimX = 88,
     .row = 124,
     .target = 11,
     .success = true},
    {.name = "another number fails", .aimX = 88, .row = 124, .target = 5, .success = false},
    {.name = "a miss towards the target fails",
     .aimX = 24,
     .row = 124,
     .target = 11,
     .success = false},
};

class Scoring : public ::testing::Test {
 protected:
  void SetUp() override {
    match_test::setUpSyntheticSheet();
    match = MatchState{};
    gameMode = kGame301;
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
  for (const Landing &c : kLandings) {
    SCOPED_TRACE(c.name);
    match.dartIndex = 1;
    clearEffects();
    land(c.aim.aimX, c.aim.peak, c.aim.release);
    EXPECT_EQ(match.dartMarkX[1], c.aim.aimX) << "mark column";
    EXPECT_EQ(match.dartMarkY[1] + 8, c.hit.row) << "mark row";
    EXPECT_EQ(match.hitDistance, c.hit.distance);
    EXPECT_EQ(match.hitAngle, c.hit.angle);
    EXPECT_EQ(match.hitQuadrant, c.hit.quadrant);
    EXPECT_EQ(match.hitSector, c.result.sector);
    EXPECT_EQ(match.throwScore, c.result.score);
    EXPECT_EQ(effects[0].animation, c.result.effect);
    EXPECT_EQ(match.popupRise, 0);
    EXPECT_EQ(sceneStep, kMatchResult);
  }
}

TEST_F(Scoring, RoundTheClockSuccessAndFailure) {
  gameMode = kGameRoundTheClock;
  for (const ClockResult &c : kClockResults) {
    SCOPED_TRACE(c.name);
    match.playerScores[0] = c.target;
    clearEffects();
    land(c.aimX, kPeak, releaseForRow(c.row));
    EXPECT_EQ(sceneStep, kMatchClockResult);
    EXPECT_EQ(effects[0].animation, c.success ? kEffectBull : kEffectLanding);
    EXPECT_EQ(match.playerScores[0], c.target) << "the score changes only when the dart applies";
    matchSceneFrame();
    EXPECT_TRUE(match_test::shows(c.success ? kSpriteSuccess : kSpriteFail, 0, 0)) << "the caption";
  }
}

// The bust sign shows only when a 301 dart is worth more than is left.
TEST_F(Scoring, BustSignOnlyWhenWorthMoreThanIsLeft) {
  const struct {
    const char *name;
    int32_t mode, left;
    bool bust;
  } cases[] = {
      {.name = "301, 21 left", .mode = kGame301, .left = 21, .bust = true},
      {.name = "301, 22 left", .mode = kGame301, .left = 22, .bust = false},
      {.name = "count up never busts", .mode = kGameCountUp, .left = 10, .bust = false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    gameMode = c.mode;
    match.playerScores[0] = c.left;
    land(32, kPeak, releaseForRow(124));  // double 11: 22
    matchSceneFrame();
    EXPECT_EQ(match_test::shows(kSpriteBust, 88, 112), c.bust);
  }
}

}  // namespace

// The browser and Windows builds check their own landings against this same
// number: any change to the throw's arithmetic must change it here first.
TEST(Landings, EveryLandingAndTheGaugeArcHashAsRecorded) {
  EXPECT_EQ(landingTableHash(), 0xd0b8fbca31c17ed9ull)
      << "the landing table or the gauge arc changed";
}
