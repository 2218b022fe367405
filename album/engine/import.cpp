// The import copy of camera files into an album. Camera files often exist
// nowhere else: a name that already stands in the album is never replaced
// by different bytes, and a copy that fails leaves neither a fragment nor
// a loss behind.
#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <list>
#include <map>

#include "album/engine/collectionedit.h"
#include "album/engine/ffmpeg.h"
#include "album/engine/layout.h"
#include "album/engine/safefile.h"
#include "album/engine/shrink.h"
#include "album/engine/util.h"
#include "utility/failure.h"
#include "utility/futil.h"
#include "utility/option.h"

namespace tavolin {

namespace {

bool entry_exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

void emit_progress(sigc::signal<void, double>& progress, std::size_t k, std::size_t n) {
  progress.emit(static_cast<double>(k + 1) / static_cast<double>(n));
}

enum class import_step_t { copy, skip, text_name, not_regular };

// What the import does with each file, decided before anything is copied.
// A file whose name stands in the album with other bytes, or a movie whose
// levels would be another movie's (levels, stills and comments are keyed
// by the name without extension), is refused with one line in refusals.
std::vector<import_step_t> plan_import(const std::string& from, const std::vector<files_t>& files,
                                       const path_t& path, std::vector<std::string>& refusals) {
  std::string original;
  path.make(original, original_dir);
  std::map<std::string, std::string> movie_of;  // converted name -> movie
  std::list<std::string> present;
  getregularfiles(present, original);
  for (const std::string& name : present) {
    if (is_movie_name(name)) movie_of.emplace(replace_extension(name, ".mp4"), name);
  }

  std::vector<import_step_t> steps;
  for (const files_t& file : files) {
    const std::string& name = file.name;
    const std::string source = from + "/" + name;
    const bool media = is_media_name(name);
    std::string target;
    path.make(target, media ? original_dir : txt_dir, name);
    if (is_reserved_import_name(name)) {
      steps.push_back(import_step_t::text_name);
      continue;
    }
    // A FIFO or device under a camera file's name has no bytes to import.
    if (is_not_regular(source)) {
      steps.push_back(import_step_t::not_regular);
      continue;
    }
    if (is_movie_name(name)) {
      const auto seen = movie_of.emplace(replace_extension(name, ".mp4"), name);
      if (!seen.second && seen.first->second != name)
        refusals.push_back(source + ": converts into the same movie as " + seen.first->second +
                           ", not imported.");
    }
    // Importing from the album's own "original": the file is there already.
    if (same_inode(source, target)) {
      steps.push_back(import_step_t::skip);
    } else if (!entry_exists(target)) {
      steps.push_back(import_step_t::copy);
    } else if (same_bytes(source, target)) {
      steps.push_back(import_step_t::skip);  // the same file imported again
    } else {
      refusals.push_back(target + ": a different file of this name is in the album, not replaced.");
      steps.push_back(import_step_t::skip);
    }
  }
  return steps;
}

}  // namespace

bool is_reserved_import_name(const std::string& name) {
  if (is_media_name(name)) return false;
  for (const char* own : {head_file, last_file, count_file, list_file, secret_file}) {
    if (strcasecmp(name.c_str(), own) == 0) return true;
  }
  for (const book_list_t& list : book_lists) {
    if (strcasecmp(name.c_str(), list.listfile) == 0) return true;
  }
  return false;
}

std::vector<files_t> importable_files(const std::vector<files_t>& files) {
  std::vector<files_t> out;
  out.reserve(files.size());
  for (const files_t& f : files) {
    if (!is_reserved_import_name(f.name)) out.push_back(f);
  }
  return out;
}

std::vector<std::string> import_refusals(const std::string& from, const std::vector<files_t>& files,
                                         const path_t& to) {
  std::vector<std::string> refusals;
  plan_import(from, files, to, refusals);
  return refusals;
}

bool copyfiles(const std::string& from, const std::vector<files_t>& files, const path_t& path,
               sigc::signal<void, double>& progress) {
  return copyfiles(from, files, path, progress, std::cerr);
}

bool copyfiles(const std::string& from, const std::vector<files_t>& files, const path_t& path,
               sigc::signal<void, double>& progress, std::ostream& log) {
  failed_files_t failed;
  const bool copied = copyfiles(from, files, path, progress, log, failed);
  failed.write(log);
  return copied && failed.empty();
}

bool copyfiles(const std::string& from, const std::vector<files_t>& files, const path_t& path,
               sigc::signal<void, double>& progress, std::ostream& log, failed_files_t& failed) {
  std::string original;
  path.make(original, original_dir);
  mkdir(original.c_str(), 0755);
  std::vector<std::string> refusals;
  const std::vector<import_step_t> steps = plan_import(from, files, path, refusals);
  if (!refusals.empty()) {
    libutils::error();
    for (const std::string& line : refusals) log << line << std::endl;
    return false;
  }
  const std::size_t n = files.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::string& name = files[k].name;
    if (plimlib::g_option.debug) std::cout << name << std::endl;
    const std::string source = from + "/" + name;
    if (steps[k] == import_step_t::text_name) {
      libutils::fail(source, ": name of an album text file, not copied.");
    } else if (steps[k] == import_step_t::not_regular) {
      libutils::error();
      failed.add(name, std::string(why_unreadable(source, 0)) + ", not copied.");
    } else if (steps[k] == import_step_t::copy) {
      std::string target;
      path.make(target, is_media_name(name) ? original_dir : txt_dir, name);
      bool source_failed = false;
      if (!copy_replacing(source, target, &source_failed)) {
        const int err = errno;
        const std::string why = source_failed ? why_unreadable(source, err) : std::strerror(err);
        std::cerr << source << ": " << why << std::endl;
        failed.add(name, "not copied: " + as_sentence(why));
        // A camera file that cannot be read costs only itself; a copy
        // that cannot be written (a full disk) ends the import.
        libutils::fail(target, ": file copy fail.");
        if (!source_failed) return false;
      }
    }
    emit_progress(progress, k, n);
  }
  return true;
}

}  // namespace tavolin
