// Halving and quarter turns at camera sizes: a 6000 x 4000 photo is halved
// once per size level on import, and turned photos are turned at every
// level of their thumbnail chain.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

#include "image/imageutil.h"

namespace {

libgr::image2d_t photo(libgr::e_image_format_t format, uint32_t width, uint32_t height) {
  libgr::image2d_t image;
  image.desc = libgr::image_desc_t(format, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
  image.width = width;
  image.height = height;
  if (!image.allocate()) return image;
  // Touch every byte so that the source pages are real, not zero pages.
  uint32_t seed = 12345;
  const uint64_t bytes = image.rowbyte();
  for (uint32_t r = 0; r < height; ++r) {
    unsigned char* row = image[r];
    for (uint64_t k = 0; k < bytes; ++k) {
      seed = seed * 1664525u + 1013904223u;
      row[k] = static_cast<unsigned char>(seed >> 24);
    }
  }
  return image;
}

void set_bytes(benchmark::State& state, const libgr::image2d_t& src) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(src.rowsize() * src.height));
}

void BM_ScaleDown(benchmark::State& state, libgr::e_image_format_t format) {
  const libgr::image2d_t src =
      photo(format, static_cast<uint32_t>(state.range(0)), static_cast<uint32_t>(state.range(1)));
  for (auto _ : state) {
    libgr::image2d_t dst;
    if (!libgr::scaledown(dst, src)) state.SkipWithError("scaledown failed");
    benchmark::DoNotOptimize(dst.pixels.begin());
    benchmark::ClobberMemory();
  }
  set_bytes(state, src);
}

void BM_Rotate(benchmark::State& state) {
  const libgr::image2d_t src = photo(libgr::IMAGE_FORMAT_RGB, static_cast<uint32_t>(state.range(0)),
                                     static_cast<uint32_t>(state.range(1)));
  const unsigned long count = static_cast<unsigned long>(state.range(2));
  for (auto _ : state) {
    libgr::image2d_t dst;
    if (!libgr::rotate(count, dst, src)) state.SkipWithError("rotate failed");
    benchmark::DoNotOptimize(dst.pixels.begin());
    benchmark::ClobberMemory();
  }
  set_bytes(state, src);
}

// The floor under every result: a fresh zero-filled store of the
// destination's size, written once.
void BM_FreshStore(benchmark::State& state) {
  for (auto _ : state) {
    libgr::image2d_t dst;
    dst.desc =
        libgr::image_desc_t(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
    dst.width = static_cast<uint32_t>(state.range(0));
    dst.height = static_cast<uint32_t>(state.range(1));
    if (!dst.allocate()) state.SkipWithError("allocate failed");
    std::memset(dst.pixels.begin(), 1, dst.pixels.size());
    benchmark::DoNotOptimize(dst.pixels.begin());
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_FreshStore)->Args({3000, 2000})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScaleDown, rgb, libgr::IMAGE_FORMAT_RGB)
    ->Args({6000, 4000})
    ->Args({3000, 2000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScaleDown, grey, libgr::IMAGE_FORMAT_GRAYSCALE)
    ->Args({6000, 4000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScaleDown, rgba, libgr::IMAGE_FORMAT_RGBA)
    ->Args({6000, 4000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotate)
    ->Args({6000, 4000, 1})
    ->Args({6000, 4000, 2})
    ->Args({6000, 4000, 3})
    ->Args({1500, 1000, 1})
    ->Args({160, 120, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
