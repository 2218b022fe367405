#pragma once
// The ids of the album program's texts in tavolin.msg, named by their
// role: id n is line n of the catalog. A text that several places show
// has one id; the comment names every place. Keep the numbers: they are
// the catalog's line numbers, and each translated catalog follows them.

#include <array>

#include "utility/message.h"

namespace tavolin {

// The main window's title: MSG_TITLE_PROGRAM + " - " + MSG_TITLE_SUBJECT.
constexpr plimlib::e_message_t MSG_TITLE_PROGRAM = 0;
constexpr plimlib::e_message_t MSG_TITLE_SUBJECT = 1;
// Open button of collection rows (main window, book browser); title of
// the read-only album and book dialogs.
constexpr plimlib::e_message_t MSG_OPEN_COLLECTION = 2;
// Hub buttons; titles of the make-book and make-album dialogs.
constexpr plimlib::e_message_t MSG_NEW_COLLECTION = 3;
constexpr plimlib::e_message_t MSG_NEW_ALBUM = 4;
// Titles of the best-book and good-album dialogs; suffix of the default
// title of the best and book pages (also on pages: no <, > or &).
constexpr plimlib::e_message_t MSG_BEST_PHOTOS = 5;
// Browser button (main window, hub).
constexpr plimlib::e_message_t MSG_BROWSER = 6;
// Options button; title of the option dialog.
constexpr plimlib::e_message_t MSG_OPTIONS = 7;
// Edit button; titles of the album and book editors; hub button of a
// collection row.
constexpr plimlib::e_message_t MSG_EDIT = 8;
// Main window buttons; move and delete are never shown.
constexpr plimlib::e_message_t MSG_MOVE = 9;
constexpr plimlib::e_message_t MSG_DELETE = 10;
constexpr plimlib::e_message_t MSG_CLOSE = 11;
// Make-book name label.
constexpr plimlib::e_message_t MSG_BOOK_NAME = 12;
// Option label and folder chooser title (option dialog, make-album,
// make-book).
constexpr plimlib::e_message_t MSG_IMPORT_DIR = 13;
// Option label and its chooser title; directory caption in the editors.
constexpr plimlib::e_message_t MSG_ALBUM_ROOT = 14;
// Make-album file-list label, invert button and update button.
constexpr plimlib::e_message_t MSG_FILES = 15;
constexpr plimlib::e_message_t MSG_INVERT = 16;
constexpr plimlib::e_message_t MSG_UPDATE_FILES = 17;
// Browse button beside a directory entry.
constexpr plimlib::e_message_t MSG_BROWSE = 18;
// Make-album source and name labels (the name label is also the read-only
// album dialog's path caption).
constexpr plimlib::e_message_t MSG_SOURCE = 19;
constexpr plimlib::e_message_t MSG_ALBUM = 20;
// Title caption; index page title column.
constexpr plimlib::e_message_t MSG_TITLE_CAPTION = 21;
// Index page comment column.
constexpr plimlib::e_message_t MSG_COMMENT_COLUMN = 22;
// Head and last comment captions.
constexpr plimlib::e_message_t MSG_HEAD_COMMENT = 23;
constexpr plimlib::e_message_t MSG_LAST_COMMENT = 24;
// Title of every error box.
constexpr plimlib::e_message_t MSG_ERROR_TITLE = 25;
// Errors: empty title, empty import directory, empty album name.
constexpr plimlib::e_message_t MSG_ERROR_NO_TITLE = 26;
constexpr plimlib::e_message_t MSG_ERROR_NO_IMPORT_DIR = 27;
constexpr plimlib::e_message_t MSG_ERROR_NO_ALBUM_NAME = 28;
// Error: an album make or update failed (+ "\n" + log).
constexpr plimlib::e_message_t MSG_ERROR_ALBUM_FAILED = 29;
// Error: comments or pages not saved (+ log).
constexpr plimlib::e_message_t MSG_ERROR_NOT_SAVED = 30;
// Option labels.
constexpr plimlib::e_message_t MSG_SHRINK_SIZE = 31;
constexpr plimlib::e_message_t MSG_JPEG_QUALITY = 32;
constexpr plimlib::e_message_t MSG_ITEMS_PER_LINE = 33;
constexpr plimlib::e_message_t MSG_HTML_HEADER = 34;
constexpr plimlib::e_message_t MSG_HTML_ADDRESS = 35;
// EXIF summary line: metering modes centre-weighted and spot (on pages).
constexpr plimlib::e_message_t MSG_METERING_CENTER_WEIGHTED = 36;
constexpr plimlib::e_message_t MSG_METERING_SPOT = 37;
// Open button of album and book rows; index page list column and the
// text of its link (on pages).
constexpr plimlib::e_message_t MSG_OPEN_ALBUM = 38;
// Index page name column.
constexpr plimlib::e_message_t MSG_NAME_COLUMN = 39;
// Error: no file chosen.
constexpr plimlib::e_message_t MSG_ERROR_NO_FILES = 40;
// Yes/no question: the album already exists.
constexpr plimlib::e_message_t MSG_ASK_ALBUM_EXISTS = 41;
// View button.
constexpr plimlib::e_message_t MSG_VIEW = 42;
// No text uses this line.
constexpr plimlib::e_message_t MSG_UNUSED = 43;
// Remove button; the removal question (+ "\n" + path) and its titles
// (+ " (1/2)", " (2/2)"); error box of a failed removal.
constexpr plimlib::e_message_t MSG_REMOVE = 44;
// Hub update button; first line of the batch update's log box.
constexpr plimlib::e_message_t MSG_UPDATE_ALL = 45;
// Index page count column.
constexpr plimlib::e_message_t MSG_COUNT_COLUMN = 46;
// Option labels.
constexpr plimlib::e_message_t MSG_SHOW_LEVEL = 47;
constexpr plimlib::e_message_t MSG_VIEW_SIZE = 48;
// Private caption.
constexpr plimlib::e_message_t MSG_PRIVATE = 49;
// The six book lists: their toggles, and their labels on pages.
constexpr plimlib::e_message_t MSG_BOOK_BEST = 50;
constexpr plimlib::e_message_t MSG_BOOK_APPLY = 51;
constexpr plimlib::e_message_t MSG_BOOK_SUBMIT = 52;
constexpr plimlib::e_message_t MSG_BOOK_SALE = 53;
constexpr plimlib::e_message_t MSG_BOOK_PRINT = 54;
constexpr plimlib::e_message_t MSG_BOOK_UPLOAD = 55;
// Judgement radios good, subtle and fail; fail is also the fail label on
// pages.
constexpr plimlib::e_message_t MSG_JUDGE_GOOD = 56;
constexpr plimlib::e_message_t MSG_JUDGE_SUBTLE = 57;
constexpr plimlib::e_message_t MSG_JUDGE_FAIL = 58;
// Rotate check of a photo.
constexpr plimlib::e_message_t MSG_ROTATE = 59;
// Option labels.
constexpr plimlib::e_message_t MSG_HWACCEL = 60;
constexpr plimlib::e_message_t MSG_FFMPEG_OPTIONS = 61;
constexpr plimlib::e_message_t MSG_MOVIE_PLAYER = 62;
constexpr plimlib::e_message_t MSG_PLAY_SIZE = 63;
// Check button of the HTML header option.
constexpr plimlib::e_message_t MSG_USE_HTML_HEADER = 64;
// Option label of the viewer command.
constexpr plimlib::e_message_t MSG_VIEWER_COMMAND = 65;
// Check button of the movie-thumbnail-retina option.
constexpr plimlib::e_message_t MSG_RETINA_THUMBNAILS = 66;

// The lines tavolin.msg holds: one per id above.
constexpr plimlib::e_message_t TAVOLIN_MESSAGE_COUNT = MSG_RETINA_THUMBNAILS + 1;

// The book lists in the order of their toggles and page labels: best,
// apply, submit, sale, print, upload.
constexpr std::array<plimlib::e_message_t, 6> MSG_BOOK_LISTS = {
    MSG_BOOK_BEST, MSG_BOOK_APPLY, MSG_BOOK_SUBMIT, MSG_BOOK_SALE, MSG_BOOK_PRINT, MSG_BOOK_UPLOAD};
// The judgement radios in their order: good, subtle, fail.
constexpr std::array<plimlib::e_message_t, 3> MSG_JUDGEMENTS = {MSG_JUDGE_GOOD, MSG_JUDGE_SUBTLE,
                                                                MSG_JUDGE_FAIL};

}  // namespace tavolin
