#pragma once
// Escaping of texts for the generated pages, shared by the page writers
// and the EXIF summary line. An ordinary name (letters, digits, "._-")
// comes out byte for byte.

#include <string>

namespace tavolin {

// text with "&", "<" and ">" written as entities.
std::string html_text(const std::string& text);
// A file or directory name as a relative link target: every byte that a
// browser would read as URL syntax (space, '"', '#', '%', '&', ',', ':',
// '<', '>', '?', '\\', controls) and every byte from 0x7F up written as
// "%XX", so the link names the file itself, also inside a SRCSET list,
// when the name looks like a scheme, and when it is not UTF-8 (a browser
// reads the page's raw bytes as U+FFFD). '/' is kept. A prefix given to
// writelink or writefflink is put in as it is: build it from html_url()
// parts.
std::string html_url(const std::string& name);

}  // namespace tavolin
