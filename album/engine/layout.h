#pragma once
// The names an album and a collection are made of on disk, in one place.
//
//   ROOT/MIDDLE/ALBUM/original/   the camera files as copied
//                     txt/        the album's text files and photo lists
//                     thumb/      one thumbnail per photo and movie
//                     size0/ ...  photo levels, each half the one before
//                     movie0/ ... movie levels
//                     html/       zoom pages
//                     index.html, list.html
//   ROOT/_Best/, ROOT/_BestBook/ ...   pages gathered from the albums

#include <string>

namespace tavolin {

// dir + "/" + name: a path or link below a directory of the album.
inline std::string below(const std::string& dir, const std::string& name) {
  return dir + "/" + name;
}

// ---- directories of an album ----------------------------------------------
constexpr const char* original_dir = "original";
constexpr const char* txt_dir = "txt";
constexpr const char* thumb_dir = "thumb";
constexpr const char* html_dir = "html";
// The level directories are the prefix and the level number.
constexpr const char* size_dir_prefix = "size";
constexpr const char* movie_dir_prefix = "movie";
inline std::string size_dir(unsigned long level) { return size_dir_prefix + std::to_string(level); }
inline std::string movie_dir(unsigned long level) {
  return movie_dir_prefix + std::to_string(level);
}

// ---- generated directories of a collection --------------------------------
// Directories whose name begins with this are generated, never albums.
constexpr char generated_dir_mark = '_';
constexpr const char* best_dir = "_Best";

// ---- files in "txt" --------------------------------------------------------
constexpr const char* head_file = "head.txt";
constexpr const char* last_file = "last.txt";
constexpr const char* count_file = "count.txt";
constexpr const char* list_file = "list.txt";
constexpr const char* secret_file = "secret.txt";
// A photo's comment is its name without the extension, then this.
constexpr const char* comment_extension = ".txt";

// The eight photo lists of an album and the book directory of each, in
// the order of e_bestname_t.
struct book_list_t {
  const char* listfile;
  const char* bookdir;
};
constexpr book_list_t book_lists[] = {
    {"fail.txt", "_FailBook"},   {"good.txt", "_GoodBook"},     {"best.txt", "_BestBook"},
    {"apply.txt", "_ApplyBook"}, {"submit.txt", "_SubmitBook"}, {"sale.txt", "_SaleBook"},
    {"print.txt", "_PrintBook"}, {"upload.txt", "_UploadBook"},
};

// ---- pages -----------------------------------------------------------------
constexpr const char* index_page = "index.html";
constexpr const char* list_page = "list.html";

}  // namespace tavolin
