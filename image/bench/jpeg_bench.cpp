// The JPEG front end at camera size: every imported photo is decoded once,
// encoded once per size level and, when asked, turned losslessly. The bare
// libjpeg loops (one reused row, no image store) show what the front end
// adds on top of libjpeg itself.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "image/loader_jpeg.h"
#include "image/transupp.h"

namespace {

// A photo-like picture: gradients with fine texture, so that the encoded
// size is that of a real photo (about 0.15 bytes per sample at quality 92).
libgr::image2d_t picture(uint32_t width, uint32_t height) {
  libgr::image2d_t image;
  image.desc =
      libgr::image_desc_t(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
  image.width = width;
  image.height = height;
  if (!image.allocate()) return image;
  uint32_t seed = 1;
  for (uint32_t r = 0; r < height; ++r) {
    unsigned char* row = image[r];
    for (uint32_t x = 0; x < width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      int texture = static_cast<int>(seed >> 28) - 8;
      row[3 * x] = static_cast<unsigned char>((x / 24 + texture) & 0xFF);
      row[3 * x + 1] = static_cast<unsigned char>((r / 16 + texture) & 0xFF);
      row[3 * x + 2] = static_cast<unsigned char>(((x + r) / 40) & 0xFF);
    }
  }
  return image;
}

const libgr::jpegdata_t& photo_jpeg() {
  static libgr::jpegdata_t data;
  if (data.data.empty()) {
    libgr::jpeginfo_t info;
    info.compress(data, picture(6000, 4000), 92, true);
  }
  return data;
}

void BM_Decompress(benchmark::State& state) {
  libgr::jpegdata_t data = photo_jpeg();
  for (auto _ : state) {
    libgr::jpeginfo_t info;
    libgr::image2d_t image;
    if (!info.decompress(image, data, 0, false, libgr::black3ub))
      state.SkipWithError("decompress failed");
    benchmark::DoNotOptimize(image.pixels.begin());
  }
  state.SetItemsProcessed(state.iterations() * 6000 * 4000);
}

void BM_BareLibjpegDecode(benchmark::State& state) {
  libgr::jpegdata_t data = photo_jpeg();
  std::vector<unsigned char> row(6000 * 3);
  for (auto _ : state) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data.data.begin(), data.data.size());
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    JSAMPROW rows[1] = {row.data()};
    while (cinfo.output_scanline < cinfo.output_height) jpeg_read_scanlines(&cinfo, rows, 1);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(row.data());
  }
  state.SetItemsProcessed(state.iterations() * 6000 * 4000);
}

void BM_Compress(benchmark::State& state) {
  const libgr::image2d_t image = picture(6000, 4000);
  for (auto _ : state) {
    libgr::jpeginfo_t info;
    libgr::jpegdata_t out;
    if (!info.compress(out, image, 92, true)) state.SkipWithError("compress failed");
    benchmark::DoNotOptimize(out.data.begin());
  }
  state.SetItemsProcessed(state.iterations() * 6000 * 4000);
}

void BM_BareLibjpegEncode(benchmark::State& state) {
  const libgr::image2d_t image = picture(6000, 4000);
  for (auto _ : state) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = 6000;
    cinfo.image_height = 4000;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 92, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
      JSAMPROW rows[1] = {
          const_cast<JSAMPROW>(image[cinfo.image_height - 1 - cinfo.next_scanline])};
      jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    benchmark::DoNotOptimize(buffer);
    free(buffer);
  }
  state.SetItemsProcessed(state.iterations() * 6000 * 4000);
}

void BM_Transform(benchmark::State& state) {
  libgr::jpegdata_t data = photo_jpeg();
  const unsigned long count = static_cast<unsigned long>(state.range(0));
  for (auto _ : state) {
    libgr::jpegdata_t out;
    if (!libgr::transform(count, out, data)) state.SkipWithError("transform failed");
    benchmark::DoNotOptimize(out.data.begin());
  }
  state.SetItemsProcessed(state.iterations() * 6000 * 4000);
}

BENCHMARK(BM_Decompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareLibjpegDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareLibjpegEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Transform)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
