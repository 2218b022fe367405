#pragma once
// The message catalog: every user-visible text of the windows is a
// numbered line of a text file chosen by program name and LANG.

#include <cstddef>
#include <string>
#include <vector>

namespace plimlib {

// Message id: line number (from 0) of the loaded catalog.
using e_message_t = unsigned;

// Finds and loads the catalog of the program called name whose directory
// is dir (with its trailing "/", or "" when started without one). Returns
// the path loaded, or "" when none could be loaded (the table then stays
// as it was).
std::string init_message(const char* dir, const char* name);

// Line id of the catalog; "message not loaded." when id is beyond it.
const char* getmsg(e_message_t id);

// Number of messages loaded.
std::size_t message_count();

// a + " - " + b.
std::string make_title(const char* a, const char* b);
void make_title2(std::string& out, const char* a, const char* b);

// The value of LANG, or "".
std::string get_locale_name();

// Reads the whole file into buffer; false when it cannot be read.
bool load_message(std::vector<char>& buffer, const char* path);

// Turns a catalog's bytes into the message table in place: every line end
// (LF, CR LF or a lone CR) becomes NUL bytes and table gets one pointer
// per line, as many as the buffer holds LF bytes; a last line without a
// line end is no message.
void make_message_table(std::vector<char>& buffer, std::vector<const char*>& table);

}  // namespace plimlib
