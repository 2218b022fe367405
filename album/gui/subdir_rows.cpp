#include "album/gui/subdir_rows.h"

#include <algorithm>
#include <utility>

#include "album/engine/bookindex.h"
#include "album/engine/collectionedit.h"
#include "album/engine/comment.h"
#include "album/engine/layout.h"
#include "album/gui/cell_grid.h"
#include "album/gui/row_table.h"
#include "album/gui/screenfit.h"
#include "album/gui/text.h"
#include "album/gui/widget_text.h"
#include "utility/futil.h"
#include "utility/strutil.h"

namespace tavolin {

std::string head_preview(const std::string& head) {
  std::list<std::string> lines;
  libutils::separate_token(lines, head, "\n");
  if (lines.empty()) return std::string();
  auto it = lines.begin();
  std::string out = *it;
  libutils::chop(out);
  if (++it != lines.end()) {
    std::string second = *it;
    libutils::chop(second);
    out += "\n" + second;
  }
  return out;
}

bool list_subdirs(const std::string& dir, std::list<std::string>& names,
                  std::vector<subdir_t>& found) {
  if (!libutils::getdirs(names, dir)) return false;
  names.reverse();
  found.reserve(names.size());
  for (const std::string& name : names) {
    if (name == txt_dir) continue;
    subdir_t sub{name, "", ""};
    std::string last;
    if (loadcommenttxt(path_t("", dir, name), sub.title, sub.head, last))
      found.push_back(std::move(sub));
  }
  return true;
}

bool subdir_labels_t::build(const subdir_t& sub, const path_t& location, Gtk::Button& open,
                            plimlib::e_message_t other_id) {
  const bool listed = entry_kind(location.middle, sub.name, ENTRY_BY_ORIGINAL) != ENTRY_COLLECTION;
  set_button_text(open, msg_utf8(listed ? MSG_OPEN_ALBUM : other_id));
  if (listed) {
    std::string count;
    read_count_line(location, count);
    count_label.set_text(to_utf8(count));
  }
  title_label.set_text(to_utf8(sub.title));
  shorten_label(title_label, text_chars);
  title_label.set_selectable(true);
  comment_label.set_halign(Gtk::ALIGN_START);
  const std::string preview = head_preview(sub.head);
  if (!preview.empty()) {
    comment_label.set_text(to_utf8(preview));
    shorten_label(comment_label, text_chars);
    comment_label.set_selectable(true);
  }
  return listed;
}

bool make_subdir_rows(Gtk::Table& table, std::vector<subdir_row_t>& rows, const std::string& dir,
                      const std::function<void(unsigned long)>& open,
                      const std::function<void(unsigned long)>& view) {
  const rows_rebuilt_t rebuilt(table);
  table.resize(1, 1);
  rows.clear();
  std::list<std::string> names;
  std::vector<subdir_t> found;
  if (!list_subdirs(dir, names, found)) return false;
  // Rows hold widgets: made in place, once, never moved.
  std::vector<subdir_row_t>(found.size()).swap(rows);

  table.resize(static_cast<guint>(std::max<std::size_t>(rows.size(), 1)), 7);
  for (unsigned long i = 0; i < rows.size(); ++i) {
    subdir_row_t& row = rows[i];
    const path_t location("", dir, found[i].name);
    location.make(row.dir);
    row.name = found[i].name;
    row.name_label.show_name(to_utf8(row.name));
    row.name_label.set_selectable(true);
    row.album = entry_kind(dir, row.name, ENTRY_BY_ORIGINAL) == ENTRY_ALBUM;
    row.listed = row.build(found[i], location, row.open_button, MSG_OPEN_COLLECTION);
    if (row.listed) set_button_text(row.view_button, msg_utf8(MSG_VIEW));
    attach_columns(
        table, static_cast<guint>(i),
        {&row.name_label, nullptr, &row.open_button, row.listed ? &row.view_button : nullptr,
         &row.count_label, &row.title_label, &row.comment_label});
    row.open_button.signal_clicked().connect([open, i] { open(i); });
    if (row.listed) row.view_button.signal_clicked().connect([view, i] { view(i); });
  }
  return true;
}

}  // namespace tavolin
