// Timings of the game as a whole on the headless backend: start-up to the
// first presented frame, one pass of the main loop on the busiest screens,
// the scoreboard, and, as the yardstick for all of them, one plain copy of a
// 240 x 320 frame of 16-bit pixels (the memory limit of any frame).
//
//   tobelyn_bench --benchmark_filter='Game|Frame|Scoreboard|Startup'
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "app/app.h"
#include "app/scene.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "platform/common/resource_codec.h"
#include "platform/headless/headless.h"
#include "platform/resources.h"

namespace {

constexpr size_t kFrameBytes = size_t{240} * 320 * 2;

// Two frame buffers: the copy reads one and writes the other, as present
// reads the back buffer and writes the display.
uint16_t frameFrom[240 * 320];
uint16_t frameTo[240 * 320];

void BM_FrameCopy(benchmark::State &state) {
  for (auto _ : state) {
    std::memcpy(frameTo, frameFrom, kFrameBytes);
    benchmark::DoNotOptimize(frameTo);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(kFrameBytes));
}
BENCHMARK(BM_FrameCopy);

// Runs passes until the program has ended, so that the next start-up
// begins from a closed program.
void finish() {
  headlessClose();
  int code = 0;
  for (int i = 0; i < 100000; ++i) {
    if (!appPass(&code)) {
      appFinish();
      return;
    }
  }
}

void start() {
  headlessReset();
  headlessSetClock(100000);
  int code = 0;
  appStart(nullptr, SW_SHOW, &code);
}

// The sprite sheet's pixels, as the program uses them, lie inside the
// bitmap resource: it is used in place, never copied.
bool sheetInPlace() {
  for (int i = 0; i < resourceCount; ++i) {
    const ResourceEntry &r = resourceTable[i];
    if (r.typeId != 2 || r.id != SHEET_BITMAP) continue;
    const uint8_t *begin = static_cast<const uint8_t *>(r.data);
    const uint8_t *pixels = surfaceTable[2].pixels;
    return pixels >= begin && pixels < begin + r.size;
  }
  return false;
}

// From the entry into start-up to the first frame handed to the display:
// start-up, then passes until the display has been drawn once.
void BM_StartupToFirstFrame(benchmark::State &state) {
  bool inPlace = false;
  for (auto _ : state) {
    start();
    int code = 0;
    while (headlessPresentCount() == 0 && appPass(&code)) {
    }
    state.PauseTiming();
    inPlace = sheetInPlace();
    finish();
    state.ResumeTiming();
  }
  state.counters["sheet_in_place"] = inPlace ? 1 : 0;
}
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMicrosecond);

// Unpacking every packed resource (what the start does once, at the first
// lookup), into buffers of their own; the counter gives the packed and the
// unpacked bytes.
void BM_UnpackResources(benchmark::State &state) {
  std::vector<std::vector<uint8_t>> places;
  size_t packed = 0, unpacked = 0;
  for (int i = 0; i < packedResourceCount; ++i) {
    places.emplace_back(packedResources[i].size);
    packed += packedResources[i].packedSize;
    unpacked += packedResources[i].size;
  }
  for (auto _ : state) {
    for (int i = 0; i < packedResourceCount; ++i) {
      const PackedResource &p = packedResources[i];
      if (!shared::unpackResource(p.packed, p.packedSize, places[i].data(), p.size))
        state.SkipWithError("a resource did not unpack");
    }
    benchmark::ClobberMemory();
  }
  state.counters["packed_bytes"] = static_cast<double>(packed);
  state.counters["unpacked_bytes"] = static_cast<double>(unpacked);
}
BENCHMARK(BM_UnpackResources)->Unit(benchmark::kMicrosecond);

// The program started and walked into a "301" match for one player; the
// clock does not move, so the match stays where it is put.
void intoMatch() {
  start();
  int code = 0;
  auto passes = [&](int n) {
    for (int i = 0; i < n; ++i) {
      appPass(&code);
      headlessAdvanceClock(16);
    }
  };
  auto press = [&](int vk) {
    headlessKey(vk);
    passes(40);  // the confirmation effect and the next screen's input gap
  };
  passes(14);
  press(VK_RETURN);  // START
  press(VK_RETURN);  // "301"
  press(VK_RETURN);  // one player
  press(VK_RETURN);  // ready
  passes(20);
}

void BM_GameTitlePass(benchmark::State &state) {
  start();
  int code = 0;
  for (int i = 0; i < 20; ++i) appPass(&code);
  for (auto _ : state) appPass(&code);
  finish();
}
BENCHMARK(BM_GameTitlePass);

// The announcement redraws the whole screen every pass: the heaviest
// steady state of a match.
void BM_GameAnnouncementPass(benchmark::State &state) {
  intoMatch();
  int code = 0;
  if (frameHandler != matchSceneFrame || sceneStep != kMatchAnnounce)
    state.SkipWithError("not announcing");
  for (auto _ : state) appPass(&code);
  finish();
}
BENCHMARK(BM_GameAnnouncementPass);

void BM_DrawScoreboard(benchmark::State &state) {
  intoMatch();
  for (auto _ : state) {
    drawScoreboard();
    benchmark::ClobberMemory();
  }
  finish();
}
BENCHMARK(BM_DrawScoreboard);

}  // namespace
