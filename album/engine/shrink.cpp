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

namespace {

// The messages of the steps shrinkone and shrinkoneupdate share; each is
// written after the photo's name.
struct step_texts_t {
  const char* load;     // the camera file cannot be read
  const char* analyze;  // its markers cannot be read
  const char* turn;     // its lossless turn into level 0 failed
  const char* copy;     // its link or copy as level 0 failed
};

const step_texts_t shrinkone_texts = {
    ": shrinkone() original jpegdata load fail.", ": shrinkone() original analyze_markers fail.",
    ": shrinkone() rotatejpeg fail.", ": shrinkone() copyjpeg fail."};
const step_texts_t update_texts = {
    ": shrinkoneupdate() jpegdata load fail.", ": shrinkoneupdate() analyze_markers fail.",
    ": rotatejpeg() fail.", ": copyjpeg() fail."};

// The levels of one photo being made, and where their failures are told.
struct photo_job_t {
  const path_t& path;
  const std::vector<std::string>& levels;
  const std::string& name;
  const std::string original;
  const step_texts_t& texts;
  std::ostream& log;

  std::string level(unsigned long h) const { return file_in(path, levels[h], name); }
  bool fail(const std::string& subject, const char* text) const {
    libutils::error();
    log << subject << text << std::endl;
    return false;
  }
};

// What the camera file says; its bytes are released on return.
bool read_original(const photo_job_t& job, unsigned long rotation, photo_facts_t& facts) {
  libgr::jpegdata_t data;
  if (!data.load(job.original.c_str())) return job.fail(job.name, job.texts.load);
  libgr::jpeginfo_t info;
  if (!info.analyze_markers(data)) return job.fail(job.name, job.texts.analyze);
  read_facts(facts, info, rotation, job.original);
  return true;
}

// Level 0: the lossless turn of the camera file by count when the user
// turned the photo, else a link to it or its copy (only when stale, if
// so asked).
bool make_level0(const photo_job_t& job, unsigned long rotation, unsigned long count,
                 bool only_when_stale) {
  const std::string size0 = job.level(0);
  if (rotation != 0) {
    if (!rotatejpeg(job.original, size0, count)) return job.fail(job.name, job.texts.turn);
  } else if ((!only_when_stale || libutils::need_update(job.original, size0)) &&
             !copyjpeg(job.original, size0, "../original/" + job.name)) {
    return job.fail(job.name, job.texts.copy);
  }
  return true;
}

bool halve_times(libgr::image2d_t& picture, unsigned long times, const std::string& subject,
                 const photo_job_t& job) {
  for (unsigned long h = 0; h < times; ++h) {
    if (!libgr::scaledown_inplace(picture)) return job.fail(subject, ": scaledown() fail.");
  }
  return true;
}

// Levels first .. L + 1 from picture, halving it after each; after the
// last only when the thumbnail is the halved picture. A level is written
// when rewrite is set or it is older than the camera file; level 0 (the
// camera file or its lossless turn) never is.
bool write_levels(const photo_job_t& job, unsigned long first, unsigned long L, bool rewrite,
                  bool halved_thumbnail, libgr::image2d_t& picture, marker_list_t& markers) {
  for (unsigned long h = first; h <= L + 1; ++h) {
    const std::string level = job.level(h);
    if (h != 0 && (rewrite || libutils::need_update(job.original, level)) &&
        !savejpeg(level, picture, markers)) {
      return job.fail(level, ": savejpeg fail.");
    }
    if (h == L + 1 && !halved_thumbnail) break;
    if (!halve_times(picture, 1, level, job)) return false;
  }
  return true;
}

bool too_few_levels(const std::string& name, const char* function, std::ostream& log) {
  libutils::error();
  log << name << ": " << function << "() too few level directories." << std::endl;
  return false;
}

}  // namespace

bool shrinkone(const path_t& path, std::vector<std::string>& levels, const std::string& name,
               unsigned long level_number, unsigned long rotation, std::ostream& log) {
  const unsigned long L = level_number;
  if (levels.size() < L + 3) return too_few_levels(name, "shrinkone", log);
  const photo_job_t job{path, levels, name, file_in(path, "original", name), shrinkone_texts, log};
  photo_facts_t facts;
  if (!read_original(job, rotation, facts)) return false;
  const bool halved_thumbnail = needs_halved_thumbnail(facts);
  if (!fits_levels(facts, L + 1 + (halved_thumbnail ? 1 : 0))) return too_small(name, log);
  if (!make_level0(job, rotation, facts.count, false)) return false;

  const std::string source = rotation != 0 ? job.level(0) : job.original;
  libgr::image2d_t picture;
  marker_list_t markers;
  if (!decode(picture, markers, source, source, source, "shrinkone", log)) return false;
  // A turned photo carries no segment of the camera file into its levels.
  if (rotation != 0) markers.clear();
  if (!halve_times(picture, 1, name, job)) return false;
  if (!write_levels(job, 1, L, false, halved_thumbnail, picture, markers)) return false;
  const std::string thumb = job.level(L + 2);
  if (libutils::need_update(job.original, thumb))
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
  if (levels.size() < L + 3 || start > L + 2) return too_few_levels(name, "shrinkoneupdate", log);
  const photo_job_t job{path, levels, name, file_in(path, "original", name), update_texts, log};
  photo_facts_t facts;
  if (!read_original(job, rotation, facts)) return false;
  const bool halved_thumbnail = needs_halved_thumbnail(facts);
  if (!fits_levels(facts, L + 1 + (halved_thumbnail ? 1 : 0))) return too_small(name, log);
  if (!make_level0(job, rotation, facts.count, true)) return false;

  bool any = rotation != 0;
  for (unsigned long h = 0; h <= L + 2 && !any; ++h)
    any = libutils::need_update(job.original, job.level(h));
  if (!any) return true;

  const std::string size0 = job.level(0);
  libgr::image2d_t picture;
  marker_list_t markers;
  if (!decode(picture, markers, size0, size0, name, "shrinkoneupdate", log)) return false;
  if (!halve_times(picture, std::min(start, L + 1 + (halved_thumbnail ? 1 : 0)), name, job))
    return false;
  for (unsigned long h = start; h <= L + 1; ++h) make_dir(file_in(path, levels[h], ""));
  if (!write_levels(job, start, L, rotation != 0, halved_thumbnail, picture, markers))
    return false;
  const std::string thumb = job.level(L + 2);
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
