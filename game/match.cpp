// PROVISIONAL STUB: replaced by the real implementation.
#include "game/match.h"

int32_t gameMode;
int32_t playerCount;
MatchState match;
float sinTable[360];
float cosTable[360];
int32_t gaugeArcX[GAUGE_POINTS];
int32_t gaugeArcY[GAUGE_POINTS];
const int32_t sectorTable[24] = {};

void buildTrigTables() {}
void buildGaugeArc() {}
void matchSceneFrame() {}
void landDart() {}
void drawScoreboard() {}
void drawBigNumber(int32_t, int32_t, int32_t, int32_t) {}
