// Timings of the graphics library's hot paths on the headless backend:
// presenting a full 240 x 320 frame (beside SDL's own blit of the same 8-bit
// paletted surface to RGB565, run in the same process), blitting with and
// without a colour key, and the palette fades.
//
//   tobelyn_bench [--benchmark_filter=...]
//
// The per-pixel figures are the "per_pixel" counters (time per pixel).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gfx/surface.h"
#include "platform/headless/headless.h"

namespace {

constexpr int32_t W = 240;
constexpr int32_t H = 320;
constexpr int64_t kFramePixels = int64_t{W} * H;

// A back buffer of pseudo-random indices under the title picture's Palette,
// and the sprite sheet, as the game has them after start-up.
void setUpDisplay(uint32_t format) {
  headlessReset();
  headlessSetDisplayFormat(W, H, 16, format);
  openDisplay(nullptr);
  createSurface(0, nullptr, 0, 0, 0);
  createSurface(1, nullptr, TITLE_BITMAP, 0, 0);
  createSurface(2, nullptr, SHEET_BITMAP, 0, 0);
  Palette palette;
  getPalette(1, palette);
  setPalette(0, palette);
  uint32_t seed = 12345;
  for (int32_t i = 0; i < W * H; ++i) {
    seed = seed * 1103515245u + 12345u;
    surfaceTable[0].pixels[i] = static_cast<uint8_t>(seed >> 16);
  }
}

void perPixel(benchmark::State &state, int64_t pixelsPerCall) {
  state.counters["per_pixel"] = benchmark::Counter(
      static_cast<double>(pixelsPerCall),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Present565(benchmark::State &state) {
  setUpDisplay(kfDirect565);
  for (auto _ : state) {
    present(0, 0, 0, 0, 0, 0, 0, kNoKey);
    benchmark::DoNotOptimize(headlessFrame()[W * H - 1]);
  }
  perPixel(state, kFramePixels);
}
BENCHMARK(BM_Present565);

void BM_Present555(benchmark::State &state) {
  setUpDisplay(kfDirect555);
  for (auto _ : state) {
    present(0, 0, 0, 0, 0, 0, 0, kNoKey);
    benchmark::DoNotOptimize(headlessFrame()[W * H - 1]);
  }
  perPixel(state, kFramePixels);
}
BENCHMARK(BM_Present555);

void BM_Present565Keyed(benchmark::State &state) {
  setUpDisplay(kfDirect565);
  for (auto _ : state) {
    present(0, 0, 0, 0, 0, 0, 0, COLOR_KEY);
    benchmark::DoNotOptimize(headlessFrame()[W * H - 1]);
  }
  perPixel(state, kFramePixels);
}
BENCHMARK(BM_Present565Keyed);

// SDL_BlitSurface of the same indices and colours, 8-bit paletted to RGB565.
// SDL keeps its conversion map between calls; the frames are compared once so
// that both sides are known to produce the same pixels.
void BM_SdlBlit8To565(benchmark::State &state) {
  setUpDisplay(kfDirect565);
  SDL_Surface *src = SDL_CreateRGBSurfaceWithFormat(0, W, H, 8, SDL_PIXELFORMAT_INDEX8);
  SDL_Surface *dst = SDL_CreateRGBSurfaceWithFormat(0, W, H, 16, SDL_PIXELFORMAT_RGB565);
  if (src == nullptr || dst == nullptr) {
    state.SkipWithError("SDL surfaces not created");
    return;
  }
  SDL_Color colours[kPaletteEntries];
  for (int32_t i = 0; i < kPaletteEntries; ++i) {
    const PaletteEntry &e = surfaceTable[0].palette[i];
    colours[i] = SDL_Color{e.red, e.green, e.blue, 255};
  }
  SDL_SetPaletteColors(src->format->palette, colours, 0, kPaletteEntries);
  for (int32_t y = 0; y < H; ++y) {
    std::memcpy(static_cast<uint8_t *>(src->pixels) + y * src->pitch,
                surfaceTable[0].pixels + y * W, W);
  }
  SDL_BlitSurface(src, nullptr, dst, nullptr);
  present(0, 0, 0, 0, 0, 0, 0, kNoKey);
  for (int32_t y = 0; y < H; ++y) {
    if (std::memcmp(static_cast<uint8_t *>(dst->pixels) + y * dst->pitch, headlessFrame() + y * W,
                    W * 2) != 0) {
      state.SkipWithError("SDL's frame differs from present's");
      break;
    }
  }
  for (auto _ : state) {
    SDL_BlitSurface(src, nullptr, dst, nullptr);
    benchmark::DoNotOptimize(dst->pixels);
    benchmark::ClobberMemory();
  }
  perPixel(state, kFramePixels);
  SDL_FreeSurface(dst);
  SDL_FreeSurface(src);
}
BENCHMARK(BM_SdlBlit8To565);

// The title picture copied whole onto the back buffer, as the title menu does.
void BM_BlitNoKey(benchmark::State &state) {
  setUpDisplay(kfDirect565);
  for (auto _ : state) {
    blit(1, 0, 0, 0, 0, 0, 0, 0, kNoKey);
    benchmark::ClobberMemory();
  }
  perPixel(state, kFramePixels);
}
BENCHMARK(BM_BlitNoKey);

// The dartboard (224 x 224) drawn with the colour key.
void BM_BlitKeyed(benchmark::State &state) {
  setUpDisplay(kfDirect565);
  const SpriteRect &board = spriteSheetTable[kSpriteBoard];
  for (auto _ : state) {
    blit(2, board.x, board.y, board.w, board.h, 0, 8, 48, COLOR_KEY);
    benchmark::ClobberMemory();
  }
  perPixel(state, int64_t{board.w} * board.h);
}
BENCHMARK(BM_BlitKeyed);

// The same board without a key, for comparison.
void BM_BlitBoardNoKey(benchmark::State &state) {
  setUpDisplay(kfDirect565);
  const SpriteRect &board = spriteSheetTable[kSpriteBoard];
  for (auto _ : state) {
    blit(2, board.x, board.y, board.w, board.h, 0, 8, 48, kNoKey);
    benchmark::ClobberMemory();
  }
  perPixel(state, int64_t{board.w} * board.h);
}
BENCHMARK(BM_BlitBoardNoKey);

// One fade call, as one frame of the option screen's fade-in (step 8); the
// Palette is blackened again whenever the fade completes.
void BM_FadeToward(benchmark::State &state) {
  setUpDisplay(kfDirect565);
  Palette target;
  getPalette(1, target);
  fillPalette(0, 0, 0, 0);
  for (auto _ : state) {
    if (fadeToward(0, target, 8) == kFadeDone) fillPalette(0, 0, 0, 0);
  }
}
BENCHMARK(BM_FadeToward);

void BM_FadeToWhite(benchmark::State &state) {
  setUpDisplay(kfDirect565);
  Palette start;
  getPalette(1, start);
  for (auto _ : state) {
    if (fadeToWhiteOrBlack(0, 1, 4) == kFadeDone) setPalette(0, start);
  }
}
BENCHMARK(BM_FadeToWhite);

}  // namespace

BENCHMARK_MAIN();
