#include "album/gui/bestbook.h"

#include <iostream>

#include "album/engine/best.h"
#include "album/engine/book.h"
#include "album/engine/comment.h"
#include "album/engine/layout.h"
#include "album/engine/scan.h"
#include "album/gui/cell_grid.h"
#include "album/gui/picture_shelf.h"
#include "album/gui/row_table.h"
#include "album/gui/text.h"
#include "utility/futil.h"

namespace tavolin {

namespace {

const best_t& list_of(const album_t& album, e_bestname_t kind) {
  if (static_cast<unsigned>(kind) >= bestname_count) return album.m_best;
  return album.list(kind);
}

}  // namespace

BestBookDialog::BestBookDialog(Gtk::Window& parent, const path_t& book,
                               const std::string& program_directory, decoded_budget_t& decoded,
                               e_bestname_t kind, bool editable)
    : AlbumDialog(parent, MSG_BEST_PHOTOS, program_directory, decoded),
      m_editable(editable),
      m_book(book),
      m_kind(kind),
      m_progwin(*this) {
  std::string full;
  m_book.make(full);
  pack_top(full, m_book, m_editable);
  make_rows();
  pack_foot(m_comments, m_book, m_editable);
}

BestBookDialog::~BestBookDialog() { close_window(*this, m_table); }

void BestBookDialog::make_rows() {
  const std::string holding = collectiondir(m_book);
  std::list<std::string> names;
  libutils::getdirs(names, holding);
  names.reverse();
  names.remove_if([](const std::string& n) { return n == txt_dir || n[0] == generated_dir_mark; });
  const path_t base(holding, "", "");
  std::list<albumdir_t> pairs;
  hierar_albums(pairs, base, names);
  sort_albums(pairs);
  load_albums(m_albums, base, pairs);

  std::size_t count = 0;
  for (const album_t& album : m_albums) count += list_of(album, m_kind).names.size();
  // Rows hold widgets: made in place, once, never moved.
  std::vector<item_t>(count).swap(m_rows);
  size_table(m_table, count, 5);

  picture_shelf_t shelf(m_decoded);
  unsigned long i = 0;
  for (const album_t& album : m_albums) {
    for (const std::string& name : list_of(album, m_kind).names) {
      item_t& row = m_rows[i];
      std::string rel;
      album.path.submake(rel);
      row.caption = "../" + rel + "/" + name;
      row.caption_label.show_name(to_utf8(row.caption));
      row.caption_label.set_selectable(true);
      row.build(album, name, m_programdir, shelf, false);
      row.attach(m_table, cell_place(i++, 5), row.caption_label);
    }
  }
}

void BestBookDialog::on_response(int response_id) {
  Gtk::Dialog::on_response(response_id);
  if (response_id != Gtk::RESPONSE_APPLY && !(response_id == Gtk::RESPONSE_OK && m_editable))
    return;
  m_comments.save(*this, m_book);
  m_private.save(m_book);
  m_progwin.clear();
  m_progwin.show();
  makebestbookhtml(m_book, m_kind, m_progwin.signal5, m_progwin.signal6);
  m_progwin.hide();
}

}  // namespace tavolin
