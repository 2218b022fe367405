#include "album/gui/viewalbum.h"

#include "album/engine/comment.h"
#include "album/gui/text.h"
#include "utility/futil.h"
#include "utility/message.h"

namespace tavolin {

namespace {

Glib::ustring msg(unsigned id) { return to_utf8(plimlib::getmsg(id)); }

}  // namespace

ViewAlbumDialog::ViewAlbumDialog(Gtk::Window& parent, const path_t& location,
                                 const std::string& programdir)
    : Gtk::Dialog(msg(2), parent, true),
      m_programdir(programdir),
      m_location(location),
      m_table(1, 1, false) {
  m_location.make(m_albumdir);
  Gtk::Box& content = *get_content_area();
  m_header.build(20, m_albumdir);
  m_header.caption.set_width_chars(20);
  m_header.path.set_width_chars(50);
  content.add(m_header.box);
  content.add(m_title);
  m_head.set_editable(false);
  m_private.build(m_location, false);
  content.add(m_private.box);
  content.add(m_head);
  make_rows();
  m_scrolled.set_redraw_on_allocate(true);
  m_scrolled.add(m_table);
  content.pack_start(m_scrolled, Gtk::PACK_EXPAND_WIDGET, 0);
  m_last.set_editable(false);
  content.add(m_last);
  m_table.signal_size_allocate().connect(
      sigc::mem_fun(*this, &ViewAlbumDialog::table_size_allocate));
  add_button("_OK", Gtk::RESPONSE_OK);
  show_all_children(true);
}

ViewAlbumDialog::~ViewAlbumDialog() = default;

void ViewAlbumDialog::on_response(int response) { Gtk::Dialog::on_response(response); }

bool ViewAlbumDialog::make_rows() {
  m_table.resize(1, 1);
  m_items.clear();
  m_good.load(m_location, "good.txt");
  m_fail.load(m_location, "fail.txt");
  m_album.load(m_location);

  std::string title, head, last;
  loadcommenttxt(m_location, title, head, last);
  m_title.set_text(to_utf8(title));
  m_head.get_buffer()->set_text(to_utf8(head));
  m_last.get_buffer()->set_text(to_utf8(last));

  std::string original;
  m_location.make(original, "original");
  if (!libutils::getfiles(m_names, original)) {
    m_names.clear();
    return false;
  }
  m_items.reserve(m_names.size());
  unsigned long i = 0;
  for (const std::string& name : m_names) {
    m_items.emplace_back();
    item_t& item = m_items.back();
    const cell_place_t place = cell_place(i, 6);
    item.name = &name;
    const e_media_t kind = media_kind(name);
    load_media_cell(item.button, item.image, kind, m_location, name, item.info);
    static void (ViewAlbumDialog::*const click[])(unsigned long) = {
        &ViewAlbumDialog::button_image, &ViewAlbumDialog::button_movie,
        &ViewAlbumDialog::button_audio};
    if (kind != MEDIA_OTHER)
      item.button.signal_clicked().connect(sigc::bind(sigc::mem_fun(*this, click[kind]), i));

    item.name_label.set_text(to_utf8(name));
    item.name_label.set_selectable(true);
    loadphotocomment(item.comment, m_location, name);
    item.comment_view.get_buffer()->set_text(to_utf8(item.comment));
    item.comment_view.set_editable(false);

    item.subtle.join_group(item.good);
    item.fail.join_group(item.good);
    if (m_good.names.count(name)) item.good.set_active(true);
    else if (!m_fail.names.count(name)) item.subtle.set_active(true);
    else item.fail.set_active(true);
    for (Gtk::RadioButton* r : {&item.good, &item.subtle, &item.fail}) r->set_sensitive(false);
    item.good.set_label(msg(56));
    item.subtle.set_label(msg(57));
    item.fail.set_label(msg(58));
    item.judgement_box.add(item.good);
    item.judgement_box.add(item.subtle);
    item.judgement_box.add(item.fail);
    item.books.build(m_album, name);
    for (Gtk::CheckButton& t : item.books.toggle) t.set_sensitive(false);

    // A photo's EXIF lines show even when its thumbnail did not load.
    if (kind == MEDIA_PHOTO) item.info = exif_summary(m_location, name);
    item.info_label.set_text(to_utf8(item.info));
    item.info_label.set_selectable(true);

    attach_cell(m_table, item.button, place, 0);
    attach_cell(m_table, item.name_label, place, 1);
    attach_cell(m_table, item.comment_view, place, 2, Gtk::FILL);
    attach_cell(m_table, item.judgement_box, place, 3);
    attach_cell(m_table, item.books.box, place, 4);
    attach_cell(m_table, item.info_label, place, 5);
    ++i;
  }
  return true;
}

void ViewAlbumDialog::table_size_allocate(Gdk::Rectangle& allocation) {
  size_scrolled(m_scrolled, allocation, true);
}

void ViewAlbumDialog::button_image(unsigned long i) {
  open_photo(m_programdir, m_location, *m_items[i].name);
}
void ViewAlbumDialog::button_movie(unsigned long i) { play_movie(m_location, *m_items[i].name); }
void ViewAlbumDialog::button_audio(unsigned long i) { play_sound(m_location, *m_items[i].name); }

}  // namespace tavolin
