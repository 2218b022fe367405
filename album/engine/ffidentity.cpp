#include "album/engine/ffidentity.h"

#include <sys/stat.h>

#include <map>
#include <mutex>
#include <utility>

namespace tavolin {

namespace {

// A program that runs for weeks over many albums keeps no more than this
// many files' identities; past it they are all forgotten at once.
constexpr std::size_t max_remembered = 4096;

struct remembered_t {
  file_stamp_t stamp;
  ffidentity_t identity;
};

bool same_time(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool same_stamp(const file_stamp_t& a, const file_stamp_t& b) {
  return a.device == b.device && a.inode == b.inode && a.size == b.size &&
         same_time(a.modified, b.modified) && same_time(a.changed, b.changed);
}

std::mutex memo_mutex;
// Keyed by kind and file name.
std::map<std::pair<std::string, std::string>, remembered_t> memo;

}  // namespace

bool stamp_file(const std::string& file, file_stamp_t& stamp) {
  struct stat st;
  if (stat(file.c_str(), &st) != 0) return false;
  stamp.device = st.st_dev;
  stamp.inode = st.st_ino;
  stamp.size = st.st_size;
  stamp.modified = st.st_mtim;
  stamp.changed = st.st_ctim;
  return true;
}

bool recall_identity(const std::string& file, const char* kind, const file_stamp_t& stamp,
                     ffidentity_t& identity) {
  std::lock_guard<std::mutex> lock(memo_mutex);
  const auto found = memo.find({kind, file});
  if (found == memo.end() || !same_stamp(found->second.stamp, stamp)) return false;
  identity = found->second.identity;
  return true;
}

void remember_identity(const std::string& file, const char* kind, const file_stamp_t& stamp,
                       const ffidentity_t& identity) {
  std::lock_guard<std::mutex> lock(memo_mutex);
  if (memo.size() >= max_remembered) memo.clear();
  memo[{kind, file}] = remembered_t{stamp, identity};
}

}  // namespace tavolin
