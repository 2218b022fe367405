// The viewer's argument language after the options: image files,
// directories, list files ("-@"), directory changes ("-C"), book files
// ("-F") and the list prefix ("-S").

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <vector>

#include "utility/option.h"
#include "utility/regular_ifstream.h"
#include "utility/strutil.h"
#include "viewer/app/viewer3.h"

namespace plimzev2 {

using plimlib::g_option;

namespace {

const char* const image_extensions[] = {".jpg", ".jpeg", ".bmp", ".png", ".tga"};

bool is_image_name(const std::string& name) {
  for (const char* ext : image_extensions)
    if (libutils::extcasecmp(name, ext) == 0) return true;
  return false;
}

// The absolute path of name. realpath() leaves a partial path behind for a
// name that does not resolve, and that prefix may be another existing file
// or directory: such a name is made absolute as written instead, so it is
// skipped (and reported) when loading.
std::string resolve(const std::string& name) {
  struct stat st;
  if (::stat(name.c_str(), &st) == 0) return libutils::realpath(name);
  if (!name.empty() && name[0] == '/') return name;
  return libutils::getcwd() + "/" + name;
}

void change_directory(const std::string& path) {
  // Failures are ignored: names then resolve where we are.
  (void)::chdir(path.c_str());
}

}  // namespace

bool ViewWindow::setImagePath(const char* path) {
  const std::string dir = (path == nullptr || *path == '\0') ? "." : path;
  if (g_option.verbose) std::cout << "srchpath: " << dir << std::endl;
  if (DIR* handle = ::opendir(dir.c_str())) {
    if (g_option.debug) std::cout << "dir: " << dir << std::endl;
    const bool slash = dir.back() == '/';
    std::vector<std::string> taken;
    while (const dirent* entry = ::readdir(handle)) {
      const std::string name = entry->d_name;
      if (is_image_name(name)) {
        if (g_option.debug) std::cout << "file add: " << name << std::endl;
        taken.push_back(slash ? dir + name : dir + "/" + name);
      } else if (g_option.verbose) {
        std::cout << "skip: " << name << std::endl;
      }
    }
    ::closedir(handle);
    if (taken.empty()) return false;
    std::sort(taken.begin(), taken.end());
    m_list.insert(m_list.end(), taken.begin(), taken.end());
  } else if (is_image_name(dir)) {
    if (g_option.debug) std::cout << "file add: " << dir << std::endl;
    m_list.push_back(dir);
  } else {
    return false;
  }
  m_pos = m_list.begin();
  m_index = 0;
  return true;
}

void ViewWindow::add_argument(const std::string& path, bool dirflag) {
  const std::string name = dirflag ? resolve(path) : path;
  setImagePath(name.c_str());
}

void ViewWindow::read_list_file(const std::string& path, const std::string& prefix) {
  libutils::regular_ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    libutils::chop2(line);
    if (line.empty()) continue;
    const std::string name = prefix.empty() ? line : prefix + "/" + line;
    setImagePath(resolve(name).c_str());
  }
}

void ViewWindow::read_book_file(const std::string& path, const std::string& prefix, bool& dirflag) {
  // "-C" lines of a book are relative to where the book was read.
  const std::string bookdir = libutils::getcwd();
  libutils::regular_ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    libutils::chop2(line);
    if (line.empty()) continue;
    if (line[0] != '-') {
      add_argument(line, dirflag);
      continue;
    }
    const std::string operand = line.size() > 2 ? line.substr(2) : std::string();
    if (line.size() >= 2 && line[1] == '@') {
      read_list_file(resolve(operand), prefix);
    } else if (line.size() >= 2 && line[1] == 'C') {
      change_directory(bookdir);
      dirflag = false;
      if (!operand.empty()) {
        change_directory(operand);
        dirflag = true;
      }
    }
  }
}

void ViewWindow::read_arguments(int argc, char** argv) {
  const std::string start = libutils::getcwd();
  std::string prefix;
  bool dirflag = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i] != nullptr ? argv[i] : "";
    if (arg.empty() || arg[0] != '-') {
      add_argument(arg, dirflag);
      continue;
    }
    const char kind = arg.size() >= 2 ? arg[1] : '\0';
    const std::string operand = arg.size() > 2 ? arg.substr(2) : std::string();
    switch (kind) {
      case '@': read_list_file(operand, prefix); break;
      case 'C':
        change_directory(start);
        dirflag = false;
        if (!operand.empty()) {
          change_directory(operand);
          dirflag = true;
        }
        break;
      case 'F': read_book_file(operand, prefix, dirflag); break;
      case 'S': prefix = operand; break;
      default: break;
    }
  }
  change_directory(start);
}

}  // namespace plimzev2
