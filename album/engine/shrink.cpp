#include "album/engine/shrink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <strings.h>

#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/util.h"
#include "image/exif.h"
#include "image/imageutil.h"
#include "image/transupp.h"
#include "utility/futil.h"
#include "utility/option.h"

namespace tavolin {

namespace {

typedef std::list<libgr::jpeginfo_t::marker_t> marker_list_t;

bool has_extension(const std::string& name, std::initializer_list<const char*> exts) {
  for (const char* ext : exts) {
    if (libutils::extcasecmp(name, ext) == 0) return true;
  }
  return false;
}

void make_dir(const std::string& dir) { mkdir(dir.c_str(), 0755); }

void make_level_dirs(const path_t& path, const std::vector<std::string>& levels) {
  for (const std::string& level : levels) {
    std::string dir;
    path.make(dir, level);
    make_dir(dir);
  }
}

std::string file_in(const path_t& path, const std::string& sub, const std::string& name) {
  std::string out;
  path.make(out, sub, name);
  return out;
}

void emit_progress(sigc::signal<void, double>& progress, std::size_t k, std::size_t n) {
  progress.emit(static_cast<double>(k + 1) / static_cast<double>(n));
}

// The album's own files in "txt", which an imported file must not replace.
bool is_album_text_name(const std::string& name) {
  static const char* const names[] = {
      "head.txt",  "last.txt",   "count.txt", "list.txt",  "secret.txt", "best.txt", "apply.txt",
      "submit.txt", "sale.txt", "print.txt", "upload.txt", "good.txt",   "fail.txt"};
  for (const char* own : names) {
    if (strcasecmp(name.c_str(), own) == 0) return true;
  }
  return false;
}

bool same_file(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// What the camera file says about its thumbnail and turn.
struct photo_facts_t {
  libgr::jpeg_bytes_t exif_thumbnail;  // empty: the thumbnail is made by halving
  unsigned long count = 0;             // the combined quarter-turn count
  unsigned long width = 0;
  unsigned long height = 0;
};

// An EXIF thumbnail counts only when its bytes read as a JPEG.
bool usable_thumbnail(libgr::jpeg_bytes_t& bytes, const std::string& name) {
  if (bytes.empty()) return false;
  libgr::jpegdata_t data;
  data.setvector(bytes, name.c_str());
  libgr::jpeginfo_t info;
  return info.analyze_markers(data);
}

void read_facts(photo_facts_t& facts, libgr::jpeginfo_t& info, unsigned long rotation,
                const std::string& original) {
  facts.width = info.width;
  facts.height = info.height;
  facts.count = rotation;
  libgr::jpeg_bytes_t app1 = info.get_marker(libgr::jpeginfo_t::MARKER_APP1);
  if (app1.empty()) return;
  libgr::app1_marker_t exif;
  exif.set_app1_buffer(app1);
  bool parsed = exif.parse();
  const std::vector<uint16_t>& orientation = exif.tiff_header.tag_0th.orientation;
  if (!orientation.empty())
    facts.count = libgr::mixorientandrightrotatecount(rotation, orientation[0]);
  if (parsed && usable_thumbnail(exif.tiff_header.thumbnail, original))
    facts.exif_thumbnail = exif.tiff_header.thumbnail;
}

// Every level down to the smallest one written must keep at least one
// pixel on each side: halving a 1-pixel side gives an empty picture that
// cannot be encoded.
bool fits_levels(const photo_facts_t& facts, unsigned long halvings) {
  unsigned long side = std::min(facts.width, facts.height);
  return halvings < 8 * sizeof side && (side >> halvings) != 0;
}

// Bytes per pixel of the layouts halved in place; 0 for any other.
int inplace_pixel_bytes(const libgr::image2d_t& image) {
  if (image.desc.bits != libgr::IMAGE_BITS_8 || image.compressed) return 0;
  switch (image.desc.format) {
    case libgr::IMAGE_FORMAT_GRAYSCALE: return 1;
    case libgr::IMAGE_FORMAT_RGB:
    case libgr::IMAGE_FORMAT_BGR: return 3;
    case libgr::IMAGE_FORMAT_RGBA:
    case libgr::IMAGE_FORMAT_BGRA: return 4;
    default: return 0;
  }
}

// Destination row i is written over the store from offset i x dst_stride
// on, never past source row 2i, and each byte only after the source bytes
// before it were read: working forward within one store is safe.
template <int B>
void halve_rows(unsigned char* base, uint64_t src_stride, uint64_t dst_stride, uint32_t width,
                uint32_t height) {
  for (uint64_t i = 0; i < height; ++i) {
    const unsigned char* s0 = base + 2 * i * src_stride;
    const unsigned char* s1 = s0 + src_stride;
    unsigned char* d = base + i * dst_stride;
    for (uint64_t j = 0; j < width; ++j) {
      for (int k = 0; k < B; ++k) {
        const unsigned sum = s0[2 * B * j + k] + s0[2 * B * j + B + k] + s1[2 * B * j + k] +
                             s1[2 * B * j + B + k];
        d[B * j + k] = static_cast<unsigned char>(sum >> 2);
      }
    }
  }
}

// Three-byte pixels defeat the vectoriser in the loop above. Averaging
// every byte with the one a pixel further on is a plain vector loop (half
// of its results are not needed); picking the wanted pixels out of the
// row buffer is then one 4-byte copy each. The row pair is read whole
// before the destination row is written, so working in place is safe.
void average_pixel_pairs(const unsigned char* __restrict s0, const unsigned char* __restrict s1,
                         unsigned char* __restrict out, uint64_t span) {
  for (uint64_t x = 0; x < span; ++x)
    out[x] = static_cast<unsigned char>((s0[x] + s0[x + 3] + s1[x] + s1[x + 3]) >> 2);
}

void halve_rows_rgb(unsigned char* base, uint64_t src_stride, uint64_t dst_stride,
                    uint32_t width, uint32_t height) {
  const uint64_t span = 6 * uint64_t{width} - 3;
  std::vector<unsigned char> averaged(span);
  const unsigned char* a = averaged.data();
  for (uint64_t i = 0; i < height; ++i) {
    const unsigned char* s0 = base + 2 * i * src_stride;
    average_pixel_pairs(s0, s0 + src_stride, averaged.data(), span);
    unsigned char* d = base + i * dst_stride;
    for (uint64_t j = 0; j + 1 < width; ++j) std::memcpy(d + 3 * j, a + 6 * j, 4);
    std::memcpy(d + 3 * (uint64_t{width} - 1), a + 6 * (uint64_t{width} - 1), 3);
  }
}

bool halve(libgr::image2d_t& picture) { return halve_in_place(picture); }

// The thumbnail T: the EXIF thumbnail turned by the combined count, or
// the halved picture when there is none or its turn fails.
bool save_thumbnail(const std::string& thumb, const photo_facts_t& facts,
                    libgr::image2d_t& halved, std::ostream& log) {
  if (!facts.exif_thumbnail.empty()) {
    {
      std::ofstream ofs(thumb, std::ios::out | std::ios::binary | std::ios::trunc);
      ofs.write(reinterpret_cast<const char*>(facts.exif_thumbnail.begin()),
                static_cast<std::streamsize>(facts.exif_thumbnail.size()));
      if (!ofs) {
        libutils::error();
        log << thumb << ": thumbnail save fail, " << std::strerror(errno) << std::endl;
        return false;
      }
    }
    if (facts.count == 0 || rotatejpeg(thumb, thumb, facts.count)) return true;
  }
  marker_list_t none;
  if (!savejpeg(thumb, halved, none)) {
    libutils::error();
    log << thumb << ": savejpeg fail." << std::endl;
    return false;
  }
  return true;
}

// The halved thumbnail is needed without an EXIF one, and as the fallback
// of a turn of it.
bool needs_halved_thumbnail(const photo_facts_t& facts) {
  return facts.exif_thumbnail.empty() || facts.count != 0;
}

bool decode(libgr::image2d_t& picture, marker_list_t& markers, const std::string& source,
            const std::string& load_subject, const std::string& decode_subject,
            const char* function, std::ostream& log) {
  libgr::jpegdata_t data;
  if (!data.load(source.c_str())) {
    libutils::error();
    log << load_subject << ": " << function << "() jpegdata load fail." << std::endl;
    return false;
  }
  libgr::jpeginfo_t info;
  if (!info.decompress(picture, data, 0, false, libgr::black3ub)) {
    libutils::error();
    log << decode_subject << ": " << function << "() decompress fail." << std::endl;
    return false;
  }
  markers.swap(info.markers);
  return true;
}

bool too_small(const std::string& name, std::ostream& log) {
  libutils::error();
  log << name << ": photo too small for its size levels." << std::endl;
  return false;
}

// The movie levels of one movie; failures go to log.
bool shrinkmovie(const path_t& path, const std::string& name, std::ostream& log) {
  libgr::direction2ul_t size;
  std::string duration, stream;
  unsigned long level = getffshrinklevel(path, "original", name, size, duration, stream);
  std::vector<std::string> dirs = movie_level_dirs(level);
  make_level_dirs(path, dirs);
  const std::string movie = replace_extension(name, ".mp4");
  const std::string level0 = file_in(path, "movie0", movie);
  if (!ffconvertone(file_in(path, "original", name), level0, size)) return false;
  const std::string picture = file_in(path, "movie0", replace_extension(movie, ".jpg"));
  if (!ffsavethumbnail(level0, picture, libgr::datum2ul())) {
    libutils::error();
    log << level0 << ": movie thumbnail save failed." << std::endl;
    return false;
  }
  return ffshrinkone(path, dirs, movie, level, size);
}

}  // namespace

bool halve_in_place(libgr::image2d_t& image) {
  const uint32_t width = image.width / 2, height = image.height / 2;
  if (width == 0 || height == 0) return false;
  const int bytes = inplace_pixel_bytes(image);
  const libgr::image_window2d_t& w = image.window;
  if (bytes == 0 || image.pixels.use_count() != 1 || w.row_length != 0 || w.skip_pixels != 0 ||
      w.skip_rows != 0) {
    libgr::image2d_t half;
    if (!libgr::scaledown(half, image)) return false;
    image = half;
    return true;
  }
  const uint64_t src_stride = image.rowsize();
  image.width = width;
  image.height = height;
  const uint64_t dst_stride = image.rowsize();
  unsigned char* base = image.pixels.begin();
  if (bytes == 1) halve_rows<1>(base, src_stride, dst_stride, width, height);
  else if (bytes == 3) halve_rows_rgb(base, src_stride, dst_stride, width, height);
  else halve_rows<4>(base, src_stride, dst_stride, width, height);
  return true;
}

bool is_photo_name(const std::string& name) { return has_extension(name, {".jpg", ".jpeg"}); }

bool is_movie_name(const std::string& name) {
  return has_extension(name, {".avi", ".mov", ".mpg", ".mp4"});
}

bool is_sound_name(const std::string& name) {
  return has_extension(name, {".wav", ".mp3", ".m4a"});
}

bool is_media_name(const std::string& name) {
  return is_photo_name(name) || is_movie_name(name) || is_sound_name(name);
}

std::vector<std::string> size_level_dirs(unsigned long level) {
  std::vector<std::string> dirs;
  for (unsigned long i = 0; i <= level + 1; ++i) dirs.push_back("size" + std::to_string(i));
  dirs.push_back("thumb");
  return dirs;
}

unsigned long shrinklevel_of(unsigned long width, unsigned long height) {
  unsigned long level = 0;
  while (width > g_global.shrink_size.x || height > g_global.shrink_size.y) {
    width /= 2;
    height /= 2;
    ++level;
  }
  return level;
}

unsigned long getshrinklevel(const std::string& file) {
  libgr::jpegdata_t data;
  if (!data.load(file.c_str())) {
    libutils::error();
    std::cerr << file << ": getshrinklevel() jpegdata load fail." << std::endl;
    return 0;
  }
  libgr::jpeginfo_t info;
  if (!info.analyze_markers(data)) {
    libutils::error();
    std::cerr << file << ": getshrinklevel() analyze_markers fail." << std::endl;
    return 0;
  }
  return shrinklevel_of(info.width, info.height);
}

unsigned long getshrinklevel(const path_t& path, const std::string& name) {
  return getshrinklevel(file_in(path, "original", name));
}

bool copyfiles(const std::string& from, const std::vector<files_t>& files, const path_t& path,
               sigc::signal<void, double>& progress) {
  std::string original;
  path.make(original, "original");
  make_dir(original);
  const std::size_t n = files.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::string& name = files[k].name;
    if (plimlib::g_option.debug) std::cout << name << std::endl;
    const std::string source = from + "/" + name;
    const bool media = is_media_name(name);
    const std::string target = file_in(path, media ? "original" : "txt", name);
    if (!media && is_album_text_name(name)) {
      libutils::error();
      std::cerr << source << ": name of an album text file, not copied." << std::endl;
      emit_progress(progress, k, n);
      continue;
    }
    if (same_file(source, target)) {
      // Importing from the album's own "original": the file is there already.
      emit_progress(progress, k, n);
      continue;
    }
    struct stat st;
    if (stat(target.c_str(), &st) == 0) unlink(target.c_str());
    if (!libutils::filecopy(source, target)) {
      libutils::error();
      std::cerr << target << ": file copy fail." << std::endl;
      return false;
    }
    emit_progress(progress, k, n);
  }
  return true;
}

bool savejpeg(const std::string& file, libgr::image2d_t& image, marker_list_t& markers) {
  libgr::jpeginfo_t info;
  info.markers = markers;
  libgr::jpegdata_t out;
  if (!info.compress(out, image, static_cast<int>(g_global.jpeg_compress), true)) {
    libutils::error();
    std::cerr << file << ": svjinfo compress() fail." << std::endl;
    return false;
  }
  if (!out.save(file.c_str())) {
    libutils::error();
    std::cerr << file << "svjdata save() fail." << std::endl;
    return false;
  }
  return true;
}

bool rotatejpeg(const std::string& from, const std::string& to, unsigned long count) {
  libgr::jpegdata_t in;
  if (!in.load(from.c_str())) {
    libutils::error();
    std::cerr << from << ": rotatejpeg() jpegdata load fail." << std::endl;
    return false;
  }
  libgr::jpegdata_t turned;
  if (!libgr::transform(count, turned, in)) {
    libutils::error();
    std::cerr << from << ": transform() fail." << std::endl;
    return false;
  }
  // The mapping of from ends before the file is replaced, so that a turn
  // in place is safe; unlinking replaces a link instead of writing
  // through it.
  in.data.clear();
  unlink(to.c_str());
  if (!turned.save(to.c_str())) {
    libutils::error();
    std::cerr << to << ": jpegdata save() fai." << std::endl;
    return false;
  }
  return true;
}

bool shrinkone(const path_t& path, std::vector<std::string>& levels, const std::string& name,
               unsigned long level_number, unsigned long rotation, std::ostream& log) {
  const unsigned long L = level_number;
  if (levels.size() < L + 3) {
    libutils::error();
    log << name << ": shrinkone() too few level directories." << std::endl;
    return false;
  }
  const std::string original = file_in(path, "original", name);
  photo_facts_t facts;
  {
    libgr::jpegdata_t data;
    if (!data.load(original.c_str())) {
      libutils::error();
      log << name << ": shrinkone() original jpegdata load fail." << std::endl;
      return false;
    }
    libgr::jpeginfo_t info;
    if (!info.analyze_markers(data)) {
      libutils::error();
      log << name << ": shrinkone() original analyze_markers fail." << std::endl;
      return false;
    }
    read_facts(facts, info, rotation, original);
  }  // the bytes of the camera file are released here
  if (!fits_levels(facts, L + 1 + (needs_halved_thumbnail(facts) ? 1 : 0)))
    return too_small(name, log);

  const std::string size0 = file_in(path, levels[0], name);
  std::string source = original;
  if (rotation != 0) {
    if (!rotatejpeg(original, size0, facts.count)) {
      libutils::error();
      log << name << ": shrinkone() rotatejpeg fail." << std::endl;
      return false;
    }
    source = size0;
  } else if (!copyjpeg(original, size0, "../original/" + name)) {
    libutils::error();
    log << name << ": shrinkone() copyjpeg fail." << std::endl;
    return false;
  }

  libgr::image2d_t picture;
  marker_list_t markers;
  if (!decode(picture, markers, source, source, source, "shrinkone", log)) return false;
  // A turned photo carries no segment of the camera file into its levels.
  if (rotation != 0) markers.clear();
  if (!halve(picture)) {
    libutils::error();
    log << name << ": scaledown() fail." << std::endl;
    return false;
  }
  for (unsigned long i = 1; i <= L + 1; ++i) {
    const std::string level = file_in(path, levels[i], name);
    if (libutils::need_update(original, level) && !savejpeg(level, picture, markers)) {
      libutils::error();
      log << level << ": savejpeg fail." << std::endl;
      return false;
    }
    if (i == L + 1 && !needs_halved_thumbnail(facts)) break;
    if (!halve(picture)) {
      libutils::error();
      log << level << ": scaledown() fail." << std::endl;
      return false;
    }
  }
  const std::string thumb = file_in(path, levels[L + 2], name);
  if (libutils::need_update(original, thumb))
    return save_thumbnail(thumb, facts, picture, log);
  return true;
}

bool shrink(const path_t& path, const std::vector<files_t>& files,
            sigc::signal<void, double>& progress, std::ostream& log) {
  make_dir(file_in(path, "thumb", ""));
  const std::size_t n = files.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::string& name = files[k].name;
    if (is_photo_name(name)) {
      unsigned long level = getshrinklevel(path, name);
      std::vector<std::string> levels = size_level_dirs(level);
      make_level_dirs(path, levels);
      if (!shrinkone(path, levels, name, level, files[k].rotation, log)) {
        libutils::error();
        log << "shinkone() fail." << std::endl;
        return false;
      }
    } else if (is_movie_name(name)) {
      if (!shrinkmovie(path, name, log)) return false;
    }
    emit_progress(progress, k, n);
  }
  return true;
}

bool shrinkoneupdate(std::vector<std::string>& levels, const path_t& path,
                     const std::string& name, unsigned long level_number, unsigned long start,
                     unsigned long rotation) {
  const unsigned long L = level_number;
  std::ostream& log = std::cerr;
  if (levels.size() < L + 3 || start > L + 2) {
    libutils::error();
    log << name << ": shrinkoneupdate() too few level directories." << std::endl;
    return false;
  }
  const std::string original = file_in(path, "original", name);
  photo_facts_t facts;
  {
    libgr::jpegdata_t data;
    if (!data.load(original.c_str())) {
      libutils::error();
      log << name << ": shrinkoneupdate() jpegdata load fail." << std::endl;
      return false;
    }
    libgr::jpeginfo_t info;
    if (!info.analyze_markers(data)) {
      libutils::error();
      log << name << ": shrinkoneupdate() analyze_markers fail." << std::endl;
      return false;
    }
    read_facts(facts, info, rotation, original);
  }
  const bool halved_thumbnail = needs_halved_thumbnail(facts);
  if (!fits_levels(facts, L + 1 + (halved_thumbnail ? 1 : 0))) return too_small(name, log);

  const std::string size0 = file_in(path, levels[0], name);
  if (rotation != 0) {
    if (!rotatejpeg(original, size0, facts.count)) {
      libutils::error();
      log << name << ": rotatejpeg() fail." << std::endl;
      return false;
    }
  } else if (libutils::need_update(original, size0) &&
             !copyjpeg(original, size0, "../original/" + name)) {
    libutils::error();
    log << name << ": copyjpeg() fail." << std::endl;
    return false;
  }

  bool any = rotation != 0;
  for (unsigned long h = 0; h <= L + 2 && !any; ++h)
    any = libutils::need_update(original, file_in(path, levels[h], name));
  if (!any) return true;

  libgr::image2d_t picture;
  marker_list_t markers;
  if (!decode(picture, markers, size0, size0, name, "shrinkoneupdate", log)) return false;
  const unsigned long halvings = std::min(start, L + 1 + (halved_thumbnail ? 1 : 0));
  for (unsigned long h = 0; h < halvings; ++h) {
    if (!halve(picture)) {
      libutils::error();
      log << name << ": scaledown() fail." << std::endl;
      return false;
    }
  }
  for (unsigned long h = start; h <= L + 1; ++h) {
    make_dir(file_in(path, levels[h], ""));
    const std::string level = file_in(path, levels[h], name);
    // Level 0 is the camera file or its lossless turn, made above; it is
    // never replaced by a lossy copy of itself.
    if (h != 0 && (rotation != 0 || libutils::need_update(original, level)) &&
        !savejpeg(level, picture, markers)) {
      libutils::error();
      log << level << ": savejpeg fail." << std::endl;
      return false;
    }
    if (h == L + 1 && !halved_thumbnail) break;
    if (!halve(picture)) {
      libutils::error();
      log << level << ": scaledown() fail." << std::endl;
      return false;
    }
  }
  const std::string thumb = file_in(path, levels[L + 2], name);
  if (halved_thumbnail && facts.exif_thumbnail.empty() && plimlib::g_option.debug)
    std::cout << thumb << ": is scale down thumbnail." << std::endl;
  return save_thumbnail(thumb, facts, picture, log);
}

bool shrinkupdate(const path_t& path, const std::vector<files_t>& files,
                  sigc::signal<void, double>& progress) {
  // An album that has only "original" is repaired by an update too.
  make_dir(file_in(path, "thumb", ""));
  const std::size_t n = files.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::string& name = files[k].name;
    const unsigned long rotation = files[k].rotation;
    if (is_photo_name(name)) {
      unsigned long level = getshrinklevel(path, name);
      std::vector<std::string> levels = size_level_dirs(level);
      make_level_dirs(path, levels);
      if (rotation != 0) {
        if (!shrinkoneupdate(levels, path, name, level, 0, rotation)) return false;
      } else {
        for (unsigned long h = 0; h < levels.size(); ++h) {
          struct stat st;
          if (stat(file_in(path, levels[h], name).c_str(), &st) == 0) continue;
          if (!shrinkoneupdate(levels, path, name, level, h, 0)) return false;
          break;
        }
      }
    } else if (is_movie_name(name)) {
      if (!shrinkmovie(path, name, std::cerr)) return false;
    }
    emit_progress(progress, k, n);
  }
  return true;
}

}  // namespace tavolin
