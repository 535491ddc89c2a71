// Landing and scoring of a dart, and the result screen drawn for it.
#include <gtest/gtest.h>

#include "app/scene.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "test_match_support.h"

using match_test::Placed;

namespace {

struct Landing {
  int32_t aimX, peak, release;
  int32_t row, distance, angle, quadrant, sector, score;
};

// A release that puts the dart on the given row with a peak of 126.
constexpr int32_t releaseForRow(int32_t row) { return 50 - (row - 120) / 4; }

constexpr int32_t P = 126;  // peak used with releaseForRow

const Landing landings[] = {
    // The exact centre is the bull; its angle is taken as on the centre column.
    {112, 126, 48, 128, 0, 89, 0, 20, 50},
    // Outer bull, above and below the centre and beside it.
    {112, 126, 50, 120, 8, 89, 0, 20, 25},
    {112, 124, 50, 136, 8, 89, 3, 3, 25},
    {108, P, releaseForRow(128), 128, 4, 0, 1, 11, 25},
    {116, P, releaseForRow(128), 128, 4, 0, 0, 6, 25},
    // An unpressed peak (139) with an odd release.
    {112, 139, 23, 124, 4, 89, 0, 20, 25},
    // A fall that ran out: release 0 adds 200 rows and always misses.
    {112, 138, 0, 224, 96, 89, 3, 3, 0},
    // Rows clamped to the screen: far below and far above.
    {112, 2, 48, 240, 112, 89, 3, 3, 0},
    {112, 139, 137, 0, 128, 89, 0, 20, 0},
    // Pointer end positions miss; 80 px left of centre is double 11.
    {16, P, releaseForRow(128), 128, 96, 0, 1, 11, 0},
    {208, P, releaseForRow(128), 128, 96, 0, 0, 6, 0},
    {32, P, releaseForRow(128), 128, 80, 0, 1, 11, 22},
    // Straight above and below the centre.
    {112, 139, 42, 48, 80, 89, 0, 20, 40},
    {112, 126, 28, 208, 80, 89, 3, 3, 6},
    // Exact diagonals in three quadrants: angle 44, band 2.
    {132, P, releaseForRow(108), 108, 28, 44, 0, 4, 4},
    {92, P, releaseForRow(148), 148, 28, 44, 2, 16, 16},
    {76, P, releaseForRow(164), 164, 50, 44, 2, 16, 48},
    {160, P, releaseForRow(176), 176, 67, 44, 3, 15, 15},
    // Band edges 9/10, 28/29, 46/47, 64/65, 82/83.
    {88, P, releaseForRow(124), 124, 24, 9, 1, 11, 11},
    {68, P, releaseForRow(120), 120, 44, 10, 1, 14, 14},
    {60, P, releaseForRow(100), 100, 59, 28, 1, 14, 14},
    {84, P, releaseForRow(112), 112, 32, 29, 1, 9, 9},
    {16, P, releaseForRow(28), 28, 138, 46, 1, 9, 0},
    {72, P, releaseForRow(84), 84, 59, 47, 1, 12, 12},
    {84, P, releaseForRow(68), 68, 66, 64, 1, 12, 12},
    {88, P, releaseForRow(76), 76, 57, 65, 1, 5, 5},
    {108, P, releaseForRow(96), 96, 32, 82, 1, 5, 5},
    {108, P, releaseForRow(92), 92, 36, 83, 1, 20, 20},
    // Ring edges as the 4-pixel grid reaches them: 8/11 (9 to 10 cannot
    // occur), 44/45, 52/53, 79/80, 87/88.
    {104, P, releaseForRow(124), 124, 8, 26, 1, 14, 25},
    {104, P, releaseForRow(120), 120, 11, 44, 1, 9, 9},
    {68, P, releaseForRow(128), 128, 44, 0, 1, 11, 11},
    {68, P, releaseForRow(116), 116, 45, 15, 1, 14, 42},
    {60, P, releaseForRow(128), 128, 52, 0, 1, 11, 33},
    {60, P, releaseForRow(140), 140, 53, 12, 2, 8, 8},
    {36, P, releaseForRow(104), 104, 79, 17, 1, 14, 14},
    {32, P, releaseForRow(124), 124, 80, 2, 1, 11, 22},
    {28, P, releaseForRow(104), 104, 87, 15, 1, 14, 28},
    {24, P, releaseForRow(124), 124, 88, 2, 1, 11, 0},
};

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
  for (const Landing &c : landings) {
    SCOPED_TRACE(::testing::Message()
                 << "aimX " << c.aimX << " peak " << c.peak << " release " << c.release);
    match.dartIndex = 1;
    land(c.aimX, c.peak, c.release);
    EXPECT_EQ(match.dartMarkX[1], c.aimX);
    EXPECT_EQ(match.dartMarkY[1], c.row - 8);
    EXPECT_EQ(match.hitDistance, c.distance);
    EXPECT_EQ(match.hitAngle, c.angle);
    EXPECT_EQ(match.hitQuadrant, c.quadrant);
    EXPECT_EQ(match.hitSector, c.sector);
    EXPECT_EQ(match.throwScore, c.score);
    EXPECT_EQ(match.popupRise, 0);
    EXPECT_EQ(sceneStep, 8);
  }
}

struct Result {
  int32_t mode;
  int32_t aimX, row;
  int32_t pointsOrTarget;  // playerScores[0] before the dart
  int32_t animation;       // effect started at the mark
  int32_t caption;         // sprite at (0, 0), or -1
  int32_t popup;           // value rising from the mark, or -1
  bool bust;
};

const Result results[] = {
    {GAME_301, 112, 128, 301, 1, 52, 50, false},  // DoubleBull!!
    {GAME_301, 112, 120, 301, 0, 51, 25, false},  // SingleBull!
    {GAME_301, 68, 116, 301, 2, 47, 42, false},   // Triple!!
    {GAME_301, 32, 124, 301, 2, 49, 22, false},   // Double!
    {GAME_301, 88, 124, 301, 2, -1, 11, false},   // a single has no caption
    {GAME_301, 24, 124, 301, 2, 50, 0, false},    // Miss!! with a rising 0
    {GAME_301, 32, 124, 19, 2, 49, 22, true},     // worth more than is left
    {GAME_301, 32, 124, 22, 2, 49, 22, false},    // exactly what is left
    {GAME_COUNT_UP, 32, 124, 10, 2, 49, 22, false},
    {GAME_HIGH_SCORE, 112, 128, 0, 1, 52, 50, false},
    {GAME_ROUND_THE_CLOCK, 112, 128, 7, 1, 73, 50, false},  // bull, any target
    {GAME_ROUND_THE_CLOCK, 112, 120, 7, 1, 73, 25, false},
    {GAME_ROUND_THE_CLOCK, 88, 124, 11, 1, 73, 11, false},  // single of the target
    {GAME_ROUND_THE_CLOCK, 68, 116, 14, 1, 73, 14, false},  // triple shows the number
    {GAME_ROUND_THE_CLOCK, 88, 124, 5, 2, 74, 11, false},   // another number
    {GAME_ROUND_THE_CLOCK, 24, 124, 11, 2, 74, -1, false},  // miss towards the target
};

TEST_F(Scoring, ResultScreenFirstPass) {
  for (const Result &c : results) {
    SCOPED_TRACE(::testing::Message()
                 << "mode " << c.mode << " aimX " << c.aimX << " row " << c.row);
    gameMode = c.mode;
    match = MatchState{};
    match.playerScores[0] = c.pointsOrTarget;
    match.dartIndex = 2;
    match.dartMarkX[0] = 40;
    match.dartMarkY[0] = 60;
    match.dartMarkX[1] = 150;
    match.dartMarkY[1] = 90;
    clearEffects();
    land(c.aimX, P, releaseForRow(c.row));
    EXPECT_EQ(sceneStep, c.mode == GAME_ROUND_THE_CLOCK ? 9 : 8);
    EXPECT_EQ(effects[0].active, 1);
    EXPECT_EQ(effects[0].animation, c.animation);
    EXPECT_EQ(effects[0].x, c.aimX);
    EXPECT_EQ(effects[0].y, c.row - 8);

    matchSceneFrame();
    const std::vector<uint8_t> drawn = match_test::snapshot();

    const int32_t markX = c.aimX, markY = c.row - 8;
    clearSurface(0, BACKGROUND_INDEX);
    drawSprite(24, 0, 8, 16, COLOR_KEY);
    drawScoreboard();
    std::vector<Placed> expected = {{5, 40, 60}, {5, 150, 90}};
    if (c.caption >= 0) expected.push_back({c.caption, 0, 0});
    if (c.popup >= 10) expected.push_back({32 + c.popup / 10, markX - 8, markY - 8});
    if (c.popup >= 0) expected.push_back({32 + c.popup % 10, markX, markY - 8});
    if (c.bust) expected.push_back({48, 88, 112});
    expected.push_back({1, markX, markY});  // the flash's first frame
    expected.push_back({5, markX, markY});
    match_test::drawPlaced(expected);
    EXPECT_EQ(match_test::firstDifference(drawn, match_test::snapshot()), "");
  }
}

TEST_F(Scoring, PopupRisesForTenPassesThenTheDartIsApplied) {
  land(88, P, releaseForRow(124));
  for (int32_t pass = 0; pass < 10; ++pass) {
    EXPECT_EQ(sceneStep, 8) << pass;
    EXPECT_EQ(match.popupRise, 2 * pass);
    matchSceneFrame();
  }
  EXPECT_EQ(match.popupRise, 20);
  EXPECT_EQ(sceneStep, 10);
}

TEST(GaugeArc, SampleValues) {
  buildTrigTables();
  buildGaugeArc();
  const int32_t samples[][3] = {{0, 16, 216},   {1, 17, 214},    {30, 29, 168},
                                {60, 64, 133},  {89, 111, 121},  {90, 112, 120},
                                {91, 114, 121}, {120, 160, 133}, {139, 184, 154}};
  for (const auto &s : samples) {
    EXPECT_EQ(gaugeArcX[s[0]], s[1]) << "index " << s[0];
    EXPECT_EQ(gaugeArcY[s[0]], s[2]) << "index " << s[0];
  }
  for (int32_t i = 1; i < GAUGE_POINTS; ++i) EXPECT_GE(gaugeArcX[i], gaugeArcX[i - 1]) << i;
}

}  // namespace
