// albumtool subcommands over the generated books of a collection and its
// index page:
//   best DIR         rebuilds DIR/_Best
//   book DIR KIND    rebuilds the book of KIND in DIR; KIND is the kind
//                    number 0 to 7 (fail, good, best, apply, submit, sale,
//                    print, upload) or the book directory name, such as
//                    _PrintBook
//   index DIR        rewrites DIR/index.html
// Progress goes to standard output as "P<signal> <value>" lines: the index
// page on P5 and the list page on P6, the signals the dialogs hand over
// for both kinds of book. Messages go to standard error; the exit status is
// 0 on success, 1 on failure.
#include <iostream>
#include <string>

#include "album/engine/best.h"
#include "album/engine/book.h"
#include "album/engine/bookindex.h"
#include "album/engine/exif.h"
#include "album/engine/tests/albumtool.h"

namespace {

using namespace tavolin;

const char* const book_usage = "DIR KIND (KIND: 0-7 or a book directory such as _PrintBook)";

int usage_error(const char* name, const char* usage) {
  std::cerr << "usage: albumtool " << name << " " << usage << std::endl;
  return 1;
}

struct book_signals_t {
  sigc::signal<void, double> index;
  sigc::signal<void, double> list;
  book_signals_t() {
    index.connect([](double value) { albumtool::print_progress(5, value); });
    list.connect([](double value) { albumtool::print_progress(6, value); });
  }
};

bool parse_kind(const std::string& text, e_bestname_t& kind) {
  if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + static_cast<int>(bestname_count)) {
    kind = static_cast<e_bestname_t>(text[0] - '0');
    return true;
  }
  return bestname_from_bookdir(text, kind);
}

int best_cmd(int argc, char** argv) {
  if (argc != 2) return usage_error(argv[0], "DIR");
  initexif(nullptr, nullptr);
  book_signals_t sig;
  return makebesthtml(path_t("", argv[1], ""), sig.index, sig.list) ? 0 : 1;
}

int book_cmd(int argc, char** argv) {
  e_bestname_t kind = E_BESTNAME_FAIL;
  if (argc != 3 || !parse_kind(argv[2], kind)) return usage_error(argv[0], book_usage);
  initexif(nullptr, nullptr);
  book_signals_t sig;
  return makebestbookhtml(path_t("", argv[1], ""), kind, sig.index, sig.list) ? 0 : 1;
}

int index_cmd(int argc, char** argv) {
  if (argc != 2) return usage_error(argv[0], "DIR");
  return makehtmlbook(path_t("", argv[1], ""), std::cerr) ? 0 : 1;
}

const bool registered = albumtool::register_command({"best", "DIR", best_cmd}) &&
                        albumtool::register_command({"book", book_usage, book_cmd}) &&
                        albumtool::register_command({"index", "DIR", index_cmd});

}  // namespace
