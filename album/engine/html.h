#pragma once
// The album's pages: the frame every generated page shares (head, title,
// foot with address and time stamp), the book labels of an item, the size
// links of photos and movies, and makehtml, which writes an album's
// "index.html", "list.html" and "txt/count.txt". Pages end their lines with
// LF alone.
//
// File names go into pages escaped: html_text() in text, html_url() in link
// targets. An ordinary name (letters, digits, "._-" and bytes above 127)
// comes out byte for byte.

#include <fstream>
#include <list>
#include <ostream>
#include <string>
#include <vector>

#include <sigc++/sigc++.h>

#include "album/engine/album.h"
#include "album/engine/escape.h"
#include "image/geometry.h"

namespace tavolin {

// The page head: "<HTML>", "<HEAD>", the html_header setting when it is
// not empty, the title, "</HEAD>", an empty line, "<BODY>" and the title
// as a centred heading.
void writehtmlhead(std::ostream& out, const std::string& title);
// The head of zoom pages: the same without title and heading.
void writezoomhead(std::ostream& out);
// The page foot: "<hr>", the html_address setting when not empty, the
// time stamp of now, "</BODY>", "</HTML>".
void writehtmlfoot(std::ostream& out);

// The texts of MSG_BOOK_LISTS for those of the lists best, apply, submit,
// sale, print and upload that hold name, joined with ", ".
std::string booklabels(const album_t& album, const std::string& name);
// " (" + booklabels + ")" when a book list holds name; else, with failform
// and the fail list holding it, " (" + text of MSG_JUDGE_FAIL + ")"; else "".
std::string labelsuffix(const album_t& album, const std::string& name, bool failform);

// The count line of "count.txt": movies (when not 0), "+", photos, then
// "+" and sounds (when not 0), LF.
void writecountline(std::ostream& out, unsigned long movies, unsigned long photos,
                    unsigned long sounds);

// A comment split at "\n", each line without its trailing CR and LF.
std::list<std::string> commentlines(const std::string& text);
// The comment of photo name of the album, as commentlines.
std::list<std::string> photocommentlines(const path_t& path, const std::string& name);

// The level directories of a photo and of a movie are size_level_dirs()
// (shrink.h) and movie_level_dirs() (ffmpeg.h).
//
// The zoom pages of a photo with level count L: base + "_" + m + ".html" for m = 1 .. L (page 1
// first).
std::vector<std::string> zoompages(const std::string& name, unsigned long L);
// Its normal pages base + "_1_" + m + ".html", m = 1 .. L (page 1 first),
// and its double-resolution pages base + "_2_" + j + ".html", j = 0 .. L-1.
std::vector<std::string> moviepages1(const std::string& name, unsigned long L);
std::vector<std::string> moviepages2(const std::string& name, unsigned long L);
// The movie level whose frame fits the play_size box: halvings of size
// until it fits, at most L.
unsigned long playsizelevel(const libgr::direction2ul_t& size, unsigned long L);
// The link target of a movie's list-page thumbnail (relative to the album
// directory): the converted movie of level 0 when the play-size level is 0,
// else the page of that level (double-resolution or normal by the
// movie_thumbnail_retina setting).
std::string movielisttarget(const std::string& name, unsigned long L,
                            const libgr::direction2ul_t& size);

// The frame around an item of the good list on index pages.
extern const char* const frame_open;
extern const char* const frame_close;

// The player of movie name on an index page, in the frame when framed,
// and a line end: with movie_thumbnail_retina the movie of level L - 1 at
// the size of level L (level 0 at half size when L is 0), else that of
// level L. dirs are movie_level_dirs(L), prefix is put before the target.
void writevideo(std::ostream& out, const std::string& prefix, const std::vector<std::string>& dirs,
                unsigned long L, const libgr::direction2ul_t& size, const std::string& name,
                bool framed);

// Removes file and opens it anew for writing. False (errno kept) when it
// cannot be opened.
bool openpage(std::ofstream& out, const std::string& file, std::ios::openmode mode = std::ios::out);
// Closes a page; false, after "file: write error." on log, when anything
// written to it was lost.
bool closepage(std::ofstream& out, const std::string& file, std::ostream& log);

// The size links of photo name shown at level L (its getshrinklevel):
// one line per level above the displayed one, "\t<br><a href=...>" W "x" H
// " (" KB "k)</a>", level 0 linked to its file, level i to its zoom page.
// dirs are size_level_dirs(), pages zoompages(), prefix a URL put before
// every target ("" on album pages).
// Sizes come from each level file's header and size; a level that cannot
// be read is reported on log and ends the links with false.
bool writelink(std::ostream& out, const path_t& path, const std::string& prefix,
               const std::vector<std::string>& dirs, const std::vector<std::string>& pages,
               const std::string& name, unsigned long L, std::ostream& log);

// The links of movie name: its camera file, then per level below the
// camera file the converted movie (level 0 as a file, others as their
// page) and its double-resolution page. dirs are movie_level_dirs(), pages1 and
// pages2 moviepages1() and moviepages2(). duration and stream receive the
// texts last identified. A file that cannot be stat'ed is reported on
// standard error and gives false.
bool writefflink(std::ostream& out, const path_t& path, const std::string& prefix,
                 const std::vector<std::string>& dirs, const std::vector<std::string>& pages1,
                 const std::vector<std::string>& pages2, const std::string& name,
                 std::string& duration, std::string& stream);
// The same once the camera file is identified: its level count L and its
// frame size (an album's index page reads them once for both its pages).
bool write_movie_links(std::ostream& out, const path_t& path, const std::string& prefix,
                       const std::vector<std::string>& dirs, const std::vector<std::string>& pages1,
                       const std::vector<std::string>& pages2, const std::string& name,
                       unsigned long L, libgr::direction2ul_t size, std::string& duration,
                       std::string& stream);

// Writes the album's "index.html", "list.html" and "txt/count.txt";
// progress gets (k + 1) / n after the k-th of the n photos of the index
// page (those with a thumbnail). A photo of "original" without one (its
// camera file cannot be read) is listed, before the photos, by a link to
// its file. Failures go to log; true when all three were written.
bool makehtml(const path_t& path, sigc::signal<void, double>& progress, std::ostream& log);

// The zoom pages in "html": per photo one page per level 1 .. L; per movie
// whose levels are made the normal and double-resolution pages. False when
// a page cannot be opened or written: a photo's other pages are then left,
// the other photos' are still written. Messages go to log, or without one
// to standard error.
bool makehtmlzoom(const path_t& path, sigc::signal<void, double>& progress, std::ostream& log);
bool makehtmlffzoom(const path_t& path, sigc::signal<void, double>& progress, std::ostream& log);
bool makehtmlzoom(const path_t& path, sigc::signal<void, double>& progress);
bool makehtmlffzoom(const path_t& path, sigc::signal<void, double>& progress);

}  // namespace tavolin
