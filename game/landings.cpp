#include "game/landings.h"

#include <cstring>

#include "app/scene.h"
#include "game/match.h"

namespace {

struct Fnv {
  uint64_t h = 14695981039346656037ull;
  void bytes(const void *data, size_t size) {
    const auto *p = static_cast<const unsigned char *>(data);
    for (size_t i = 0; i < size; ++i) {
      h ^= p[i];
      h *= 1099511628211ull;
    }
  }
  void number(int32_t v) { bytes(&v, sizeof v); }
};

}  // namespace

uint64_t landingTableHash() {
  buildTrigTables();
  buildGaugeArc();
  Fnv fnv;
  fnv.bytes(gaugeArcX, sizeof gaugeArcX);
  fnv.bytes(gaugeArcY, sizeof gaugeArcY);

  gameMode = kGame301;
  for (int32_t aim = 16; aim <= 208; ++aim) {
    for (int32_t peak = 0; peak < kGaugePoints; ++peak) {
      for (int32_t release = 0; release < kGaugePoints; ++release) {
        std::memset(&match, 0, sizeof match);
        match.aimX = aim;
        match.gaugePeak = peak;
        match.gaugeRelease = release;
        landDart();
        fnv.number(match.dartMarkY[0]);
        fnv.number(match.hitDistance);
        fnv.number(match.hitAngle);
        fnv.number(match.hitQuadrant);
        fnv.number(match.hitSector);
        fnv.number(match.throwScore);
      }
    }
  }
  return fnv.h;
}
