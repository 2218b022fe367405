#include "album/engine/shrink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>

#include "album/engine/ffmpeg.h"
#include "album/engine/global.h"
#include "album/engine/layout.h"
#include "album/engine/photolevels.h"
#include "album/engine/safefile.h"
#include "album/engine/util.h"
#include "image/exif.h"
#include "image/imageutil.h"
#include "image/transupp.h"
#include "utility/failure.h"
#include "utility/futil.h"
#include "utility/option.h"

namespace tavolin {

namespace {

typedef std::list<libgr::jpeginfo_t::marker_t> marker_list_t;

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

// Halving of a picture with a side of one pixel: that side stays one
// pixel, the other is halved by pair averages (an odd last one dropped).
bool halve_thin(libgr::image2d_t& picture) {
  const uint32_t width = std::max<uint32_t>(1, picture.width / 2);
  const uint32_t height = std::max<uint32_t>(1, picture.height / 2);
  if (width == picture.width && height == picture.height) return true;  // 1 x 1
  const unsigned bytes = picture.desc.getPixelBits() / 8;
  if (bytes == 0 || picture.desc.bits != libgr::IMAGE_BITS_8) return false;
  libgr::image2d_t half;
  half.desc = picture.desc;
  half.store = picture.store;
  half.width = width;
  half.height = height;
  if (!half.allocate()) return false;
  const uint32_t down = picture.height > 1 ? 1 : 0, across = picture.width > 1 ? 1 : 0;
  for (uint32_t r = 0; r < height; ++r) {
    const unsigned char* a = picture[r * (down + 1)];
    const unsigned char* b = picture[r * (down + 1) + down];
    unsigned char* out = half[r];
    for (uint32_t c = 0; c < width; ++c) {
      const uint32_t left = c * (across + 1) * bytes, right = left + across * bytes;
      for (unsigned i = 0; i < bytes; ++i)
        out[c * bytes + i] = static_cast<unsigned char>(
            (a[left + i] + a[right + i] + b[left + i] + b[right + i]) >> 2);
    }
  }
  picture = half;
  return true;
}

// One halving that never makes a side smaller than one pixel, so that even
// a 1 x 1 or a 4000 x 3 photo gets all its levels.
bool halve_once(libgr::image2d_t& picture) {
  if (picture.width >= 2 && picture.height >= 2) return libgr::scaledown_inplace(picture);
  return halve_thin(picture);
}

bool savejpeg_to(const std::string& file, const libgr::image2d_t& image,
                 const marker_list_t& markers, std::ostream& err) {
  libgr::jpeginfo_t info;
  info.markers = markers;
  libgr::jpegdata_t out;
  if (!info.compress(out, image, static_cast<int>(g_global.jpeg_compress), true)) {
    return libutils::fail_to(err, file, ": svjinfo compress() fail.");
  }
  // Levels are trusted by their date: never leave a cut one under the name.
  if (!write_replacing(file, out.data.begin(), out.data.size())) {
    return libutils::fail_to(err, file, "svjdata save() fail.");
  }
  return true;
}

bool rotatejpeg_to(const std::string& from, const std::string& to, unsigned long count,
                   std::ostream& err) {
  libgr::jpegdata_t in;
  if (!in.load(from.c_str())) {
    return libutils::fail_to(err, from, ": rotatejpeg() jpegdata load fail.");
  }
  libgr::jpegdata_t turned;
  if (!libgr::transform(count, turned, in)) {
    return libutils::fail_to(err, from, ": transform() fail.");
  }
  // The mapping of from ends before the file is replaced; the rename
  // replaces a link at to instead of writing through it.
  in.data.clear();
  if (!write_replacing(to, turned.data.begin(), turned.data.size())) {
    return libutils::fail_to(err, to, ": jpegdata save() fai.");
  }
  return true;
}

// Decodes bytes (named name) into picture; false silently.
bool decode_bytes(libgr::image2d_t& picture, libgr::jpegdata_t& data) {
  libgr::jpeginfo_t info;
  return info.decompress(picture, data, 0, false, libgr::black3ub);
}

// Turns from into to by count quarter turns: losslessly when no edge block
// is left behind, else by decoding, turning the pixels and encoding at the
// album's quality, so that the whole picture is kept. Lines go to err.
bool turn_file(const std::string& from, const std::string& to, unsigned long count,
               std::ostream& err, level_scratch_t& scratch) {
  libgr::jpegdata_t in;
  if (!in.load(from.c_str())) {
    return libutils::fail_to(err, from, ": rotatejpeg() jpegdata load fail.");
  }
  if (libgr::transform_is_perfect(count, in)) {
    in.data.clear();
    return rotatejpeg_to(from, to, count, err);
  }
  libgr::jpeginfo_t header;
  if (header.analyze_markers(in)) scratch.prepare(header.width, 2 * uint64_t{header.height});
  libgr::image2d_t turned;
  if (!decode_bytes(scratch.picture, in) || !libgr::rotate(count, turned, scratch.picture)) {
    return libutils::fail_to(err, from, ": transform() fail.");
  }
  in.data.clear();
  return savejpeg_to(to, turned, marker_list_t(), err);
}

// The messages of the steps shrinkone and shrinkoneupdate share; each is
// written after the photo's name.
struct step_texts_t {
  const char* load;     // the camera file cannot be read
  const char* analyze;  // its markers cannot be read
  const char* turn;     // its turn into level 0 failed
  const char* copy;     // its link or copy as level 0 failed
};

const step_texts_t shrinkone_texts = {
    ": shrinkone() original jpegdata load fail.", ": shrinkone() original analyze_markers fail.",
    ": shrinkone() rotatejpeg fail.", ": shrinkone() copyjpeg fail."};
const step_texts_t update_texts = {": shrinkoneupdate() jpegdata load fail.",
                                   ": shrinkoneupdate() analyze_markers fail.",
                                   ": rotatejpeg() fail.", ": copyjpeg() fail."};

// The levels of one photo being made, and where their failures are told:
// the step's own lines to log, those of the helpers it calls to err.
struct photo_job_t {
  const path_t& path;
  const std::vector<std::string>& levels;
  const std::string& name;
  const std::string original;
  const step_texts_t& texts;
  std::ostream& log;
  std::ostream& err;
  level_scratch_t& scratch;

  std::string level(unsigned long h) const {
    std::string out;
    path.make(out, levels[h], name);
    return out;
  }
  bool fail(const std::string& subject, const char* text) const {
    return libutils::fail_to(log, subject, text);
  }
};

// Decodes source, made from the camera file after level 0. A picture that
// cannot be decoded (a camera file cut short) gets no level at all: its
// level 0, a link to it or its turn, goes again, unless level 0's
// directory is "original" itself (a link to it), where it is the camera file.
bool decode(const photo_job_t& job, marker_list_t& markers, const std::string& source,
            const std::string& decode_subject, const char* function) {
  libgr::jpegdata_t data;
  bool decoded = false;
  if (!data.load(source.c_str())) {
    libutils::fail_to(job.log, source, ": ", function, "() jpegdata load fail.");
  } else {
    libgr::jpeginfo_t info;
    decoded = info.decompress(job.scratch.picture, data, 0, false, libgr::black3ub);
    if (decoded)
      markers.swap(info.markers);
    else
      libutils::fail_to(job.log, decode_subject, ": ", function, "() decompress fail.");
  }
  if (!decoded &&
      !same_inode(file_in(job.path, job.levels[0], ""), file_in(job.path, original_dir, "")))
    unlink(job.level(0).c_str());
  return decoded;
}

// What the camera file says; its bytes are released on return.
bool read_original(const photo_job_t& job, unsigned long rotation, photo_facts_t& facts) {
  libgr::jpegdata_t data;
  if (!data.load(job.original.c_str())) return job.fail(job.name, job.texts.load);
  libgr::jpeginfo_t info;
  if (!info.analyze_markers(data)) return job.fail(job.name, job.texts.analyze);
  read_facts(facts, info, rotation, job.original);
  return true;
}

// Level 0: the turn of the camera file by count when the user turned the
// photo, else a link to it or its copy (only when stale, if so asked).
// written tells whether level 0 was written.
bool make_level0(const photo_job_t& job, unsigned long rotation, unsigned long count,
                 bool only_when_stale, bool& written) {
  const std::string size0 = job.level(0);
  written = rotation != 0 || !only_when_stale || is_stale(job.original, size0);
  if (rotation != 0) {
    if (!turn_file(job.original, size0, count, job.err, job.scratch))
      return job.fail(job.name, job.texts.turn);
  } else if (written &&
             !copyjpeg(job.original, size0, below(below("..", original_dir), job.name))) {
    return job.fail(job.name, job.texts.copy);
  }
  return true;
}

bool halve_times(libgr::image2d_t& picture, unsigned long times, const std::string& subject,
                 const photo_job_t& job) {
  for (unsigned long h = 0; h < times; ++h) {
    if (!halve_once(picture)) return job.fail(subject, ": scaledown() fail.");
  }
  return true;
}

// Levels first .. L + 1 from the picture, halving it after each; after the
// last only when the thumbnail is the halved picture. A level is written
// when rewrite is set or it is stale; level 0 (the camera file or its
// turn) never is.
bool write_levels(const photo_job_t& job, unsigned long first, unsigned long L, bool rewrite,
                  bool halved_thumbnail, const marker_list_t& markers) {
  libgr::image2d_t& picture = job.scratch.picture;
  for (unsigned long h = first; h <= L + 1; ++h) {
    const std::string level = job.level(h);
    if (h != 0 && (rewrite || is_stale(job.original, level)) &&
        !savejpeg_to(level, picture, markers, job.err)) {
      return job.fail(level, ": savejpeg fail.");
    }
    if (h == L + 1 && !halved_thumbnail) break;
    if (!halve_times(picture, 1, level, job)) return false;
  }
  return true;
}

// The EXIF thumbnail turned by the combined count (losslessly when that is
// perfect). 1: written; 0: its turn failed, the halved picture serves;
// -1: it could not be written.
int save_exif_thumbnail(const std::string& thumb, const photo_facts_t& facts,
                        const photo_job_t& job) {
  libgr::jpeg_bytes_t stored = facts.exif_thumbnail;
  libgr::jpegdata_t data;
  data.setvector(stored, thumb.c_str());
  libgr::jpegdata_t turned;
  const libgr::jpegdata_t* out = &data;
  if (facts.count != 0) {
    if (libgr::transform_is_perfect(facts.count, data)) {
      if (!libgr::transform(facts.count, turned, data)) return 0;
      out = &turned;
    } else {
      libgr::image2d_t picture, upright;
      if (!decode_bytes(picture, data) || !libgr::rotate(facts.count, upright, picture)) return 0;
      return savejpeg_to(thumb, upright, marker_list_t(), job.err) ? 1 : 0;
    }
  }
  if (!write_replacing(thumb, out->data.begin(), out->data.size())) {
    const int saved = errno;
    libutils::fail_to(job.log, thumb, ": thumbnail save fail, ", std::strerror(saved));
    return -1;
  }
  return 1;
}

// The needs of the thumbnail: the halved picture is needed without an EXIF
// thumbnail, and as the fallback of a turn of it.
bool needs_halved_thumbnail(const photo_facts_t& facts) {
  return facts.exif_thumbnail.empty() || facts.count != 0;
}

// The thumbnail T: the EXIF thumbnail turned by the combined count, or the
// halved picture when there is none or its turn fails. The halved picture
// is turned upright by upright_count (it comes from the camera's pixel
// order when the user did not turn the photo).
bool save_thumbnail(const std::string& thumb, const photo_facts_t& facts,
                    unsigned long upright_count, const photo_job_t& job) {
  if (!facts.exif_thumbnail.empty()) {
    const int saved = save_exif_thumbnail(thumb, facts, job);
    if (saved != 0) return saved > 0;
  }
  libgr::image2d_t upright;
  if (!libgr::rotate(upright_count, upright, job.scratch.picture))
    return job.fail(thumb, ": savejpeg fail.");
  if (!savejpeg_to(thumb, upright, marker_list_t(), job.err))
    return job.fail(thumb, ": savejpeg fail.");
  return true;
}

bool too_few_levels(const std::string& name, const char* function, std::ostream& log) {
  return libutils::fail_to(log, name, ": ", function, "() too few level directories.");
}

}  // namespace

bool savejpeg(const std::string& file, libgr::image2d_t& image, marker_list_t& markers) {
  return savejpeg_to(file, image, markers, std::cerr);
}

bool rotatejpeg(const std::string& from, const std::string& to, unsigned long count) {
  return rotatejpeg_to(from, to, count, std::cerr);
}

bool shrinkone_with(const path_t& path, const std::vector<std::string>& levels,
                    const std::string& name, unsigned long level_number, unsigned long rotation,
                    std::ostream& log, std::ostream& err, level_scratch_t& scratch) {
  const unsigned long L = level_number;
  if (levels.size() < L + 3) return too_few_levels(name, "shrinkone", log);
  const photo_job_t job{path, levels, name,   file_in(path, original_dir, name), shrinkone_texts,
                        log,  err,    scratch};
  photo_facts_t facts;
  if (!read_original(job, rotation, facts)) return false;
  const bool halved_thumbnail = needs_halved_thumbnail(facts);
  bool written = false;
  if (!make_level0(job, rotation, facts.count, false, written)) return false;

  const std::string source = rotation != 0 ? job.level(0) : job.original;
  scratch.prepare(facts.width, facts.height);
  marker_list_t markers;
  if (!decode(job, markers, source, source, "shrinkone")) return false;
  // A turned photo carries no segment of the camera file into its levels.
  if (rotation != 0) markers.clear();
  if (!halve_times(scratch.picture, 1, name, job)) return false;
  // size0 was written just now: every level and the thumbnail follow it,
  // whatever an earlier import of the same file left there.
  if (!write_levels(job, 1, L, true, halved_thumbnail, markers)) return false;
  return save_thumbnail(job.level(L + 2), facts, rotation == 0 ? facts.count : 0, job);
}

bool shrinkone(const path_t& path, std::vector<std::string>& levels, const std::string& name,
               unsigned long level_number, unsigned long rotation, std::ostream& log) {
  level_scratch_t scratch;
  return shrinkone_with(path, levels, name, level_number, rotation, log, std::cerr, scratch);
}

bool shrinkoneupdate_with(const std::vector<std::string>& levels, const path_t& path,
                          const std::string& name, unsigned long level_number, unsigned long start,
                          unsigned long rotation, std::ostream& log, std::ostream& err,
                          level_scratch_t& scratch) {
  const unsigned long L = level_number;
  if (levels.size() < L + 3 || start > L + 2) return too_few_levels(name, "shrinkoneupdate", log);
  const photo_job_t job{path,         levels, name, file_in(path, original_dir, name),
                        update_texts, log,    err,  scratch};
  photo_facts_t facts;
  if (!read_original(job, rotation, facts)) return false;
  // A size0 written now, for whatever count, takes every level and the
  // thumbnail with it.
  bool rewrite = false;
  if (!make_level0(job, rotation, facts.count, true, rewrite)) return false;

  if (rewrite) start = 0;
  bool any = rewrite;
  for (unsigned long h = 0; h <= L + 2 && !any; ++h) any = is_stale(job.original, job.level(h));
  if (!any) return true;
  // A size0 kept from an earlier turn: its count is written nowhere, so the
  // levels and the thumbnail made here come from its pixels as they stand.
  // size0 is the camera file itself when it was written just now, is its
  // link, or its copy where links fail (only then are the bytes compared).
  const bool turned_before = rotation == 0 && !rewrite && !same_bytes(job.original, job.level(0));
  if (turned_before) facts.exif_thumbnail.clear();
  const bool halved_thumbnail = needs_halved_thumbnail(facts);

  const std::string size0 = job.level(0);
  scratch.prepare(facts.width, facts.height);
  marker_list_t markers;
  if (!decode(job, markers, size0, name, "shrinkoneupdate")) return false;
  if (!halve_times(scratch.picture, std::min(start, L + 1 + (halved_thumbnail ? 1 : 0)), name, job))
    return false;
  for (unsigned long h = start; h <= L + 1; ++h) mkdir(file_in(path, levels[h], "").c_str(), 0755);
  if (!write_levels(job, start, L, rewrite, halved_thumbnail, markers)) return false;
  const std::string thumb = job.level(L + 2);
  if (halved_thumbnail && facts.exif_thumbnail.empty() && plimlib::g_option.debug)
    std::cout << thumb << ": is scale down thumbnail." << std::endl;
  return save_thumbnail(thumb, facts, rotation == 0 && !turned_before ? facts.count : 0, job);
}

bool shrinkoneupdate(std::vector<std::string>& levels, const path_t& path, const std::string& name,
                     unsigned long level_number, unsigned long start, unsigned long rotation) {
  level_scratch_t scratch;
  return shrinkoneupdate_with(levels, path, name, level_number, start, rotation, std::cerr,
                              std::cerr, scratch);
}

bool shrink_photo(const path_t& path, const files_t& file, std::ostream& log, std::ostream& err,
                  level_scratch_t& scratch) {
  const unsigned long level = getshrinklevel_to(file_in(path, original_dir, file.name), err);
  const std::vector<std::string> levels = size_level_dirs(level);
  make_level_dirs(path, levels);
  if (!shrinkone_with(path, levels, file.name, level, file.rotation, log, err, scratch)) {
    return libutils::fail_to(log, "shinkone() fail.");
  }
  return true;
}

bool update_photo(const path_t& path, const files_t& file, std::ostream& log, std::ostream& err,
                  level_scratch_t& scratch) {
  const unsigned long level = getshrinklevel_to(file_in(path, original_dir, file.name), err);
  const std::vector<std::string> levels = size_level_dirs(level);
  make_level_dirs(path, levels);
  if (file.rotation != 0)
    return shrinkoneupdate_with(levels, path, file.name, level, 0, file.rotation, log, err,
                                scratch);
  // The first level missing, or left empty by an old failure, and all
  // below it are made again.
  for (unsigned long h = 0; h < levels.size(); ++h) {
    if (!is_missing_or_empty(file_in(path, levels[h], file.name))) continue;
    return shrinkoneupdate_with(levels, path, file.name, level, h, 0, log, err, scratch);
  }
  return true;
}

}  // namespace tavolin
