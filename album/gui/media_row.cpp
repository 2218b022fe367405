#include "album/gui/media_row.h"

#include "album/engine/comment.h"
#include "album/gui/media_cell.h"
#include "album/gui/outside_programs.h"
#include "album/gui/text.h"

namespace tavolin {

bool media_row_t::build(const album_t& album, const std::string& file,
                        const std::string& programdir, picture_shelf_t& shelf, bool editable,
                        bool exif_needs_thumbnail) {
  name = &file;
  const path_t* at = &album.path;
  const e_media_t kind = media_kind(file);
  const bool shown = load_media_cell(button, shelf, kind, *at, file, info);
  const std::string* dir = &programdir;
  if (kind == MEDIA_PHOTO)
    button.signal_clicked().connect([=] { open_photo(*dir, *at, file); });
  else if (kind == MEDIA_MOVIE)
    button.signal_clicked().connect([=] { play_movie(*at, file); });
  else if (kind == MEDIA_SOUND)
    button.signal_clicked().connect([=] { play_sound(*at, file); });
  loadphotocomment(comment, *at, file);
  comment_view.get_buffer()->set_text(to_utf8(comment));
  comment_view.set_editable(editable);
  books.build(album, file);
  books.set_editable(editable);
  if (kind == MEDIA_PHOTO && !shown && exif_needs_thumbnail) info.clear();
  info_label.set_text(to_utf8(info));
  info_label.set_selectable(true);
  return shown;
}

std::string media_row_t::typed_comment() const {
  return edited_text(comment_view.get_buffer()->get_text(true), comment);
}

void media_row_t::attach(Gtk::Table& table, const cell_place_t& place, NameLabel& caption,
                         Gtk::Widget* middle) {
  attach_cell(table, button, place, 0);
  attach_cell(table, caption, place, 1);
  attach_cell(table, comment_view, place, 2, Gtk::FILL);
  guint row = 3;
  if (middle) attach_cell(table, *middle, place, row++);
  attach_cell(table, books.box, place, row++);
  attach_cell(table, info_label, place, row);
}

}  // namespace tavolin
