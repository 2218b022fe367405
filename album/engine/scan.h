#pragma once
// Finding the albums below a directory: a directory with a subdirectory
// "original" is an album; others are collections, searched further.
// "txt", generated directories ("_" names) and private directories (with
// "txt/secret.txt") are skipped.

#include <list>
#include <string>
#include <utility>

#include "album/engine/album.h"

namespace tavolin {

// (middle, album): the album's directories below the scan's base, and its
// own directory name.
using albumdir_t = std::pair<std::string, std::string>;

// Appends every album found in or below the directories names of base,
// depth first, each directory's subdirectories in descending order.
void hierar_albums(std::list<albumdir_t>& albums, const path_t& base,
                   const std::list<std::string>& names);

// a's album name sorts before b's (byte-wise).
bool albumdirs_compare(const albumdir_t& a, const albumdir_t& b);

// Descending order of the album names.
void sort_albums(std::list<albumdir_t>& albums);

// Appends one loaded album_t per reference, located at base.make() with
// the reference's middle and album parts.
void load_albums(std::list<album_t>& out, const path_t& base, const std::list<albumdir_t>& albums);

// Whether dir holds "txt/secret.txt".
bool is_private(const std::string& dir);

// The subdirectories of dir a scan starts from: without "txt", "_" names
// and private ones, in descending order. False when dir cannot be listed.
bool album_entries(std::list<std::string>& out, const std::string& dir);

}  // namespace tavolin
