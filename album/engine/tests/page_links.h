// Checks that a generated page links only to files that exist: the page is
// read as a browser reads a UTF-8 page (each invalid sequence a U+FFFD),
// and every href, src and srcset target (attribute names in any case) is
// resolved against the page's directory after percent-decoding. Targets
// with a scheme (mailto:, http:) and pure fragments are not files and are
// skipped.
#pragma once

#include <glib.h>
#include <sys/stat.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace pagelinks {

inline std::string url_decode(const std::string& url) {
  std::string out;
  for (std::string::size_type i = 0; i < url.size(); ++i) {
    if (url[i] == '%' && i + 2 < url.size() &&
        std::isxdigit(static_cast<unsigned char>(url[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(url[i + 2]))) {
      out += static_cast<char>(std::stoi(url.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += url[i];
    }
  }
  return out;
}

// bytes as a browser reads a page that declares UTF-8.
inline std::string as_utf8_page(const std::string& bytes) {
  gchar* valid = g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size()));
  const std::string text(valid);
  g_free(valid);
  return text;
}

// The values of every attribute called name (case ignored) in html.
inline std::vector<std::string> attribute_values(const std::string& html, const std::string& name) {
  std::string lower(html.size(), ' ');
  for (std::string::size_type i = 0; i < html.size(); ++i)
    lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(html[i])));
  std::vector<std::string> values;
  const std::string key = name + "=\"";
  for (std::string::size_type at = lower.find(key); at != std::string::npos;
       at = lower.find(key, at + 1)) {
    if (at > 0 && !std::isspace(static_cast<unsigned char>(lower[at - 1]))) continue;
    const std::string::size_type begin = at + key.size();
    const std::string::size_type end = html.find('"', begin);
    if (end == std::string::npos) break;
    values.push_back(html.substr(begin, end - begin));
  }
  return values;
}

// Every link target of a page: href and src values, and each URL of a
// srcset list (the text before a blank in each comma-separated entry).
inline std::vector<std::string> link_targets(const std::string& html) {
  std::vector<std::string> targets = attribute_values(html, "href");
  for (const std::string& src : attribute_values(html, "src")) targets.push_back(src);
  for (const std::string& set : attribute_values(html, "srcset")) {
    std::string::size_type pos = 0;
    while (pos <= set.size()) {
      std::string::size_type comma = set.find(',', pos);
      if (comma == std::string::npos) comma = set.size();
      std::string entry = set.substr(pos, comma - pos);
      while (!entry.empty() && entry[0] == ' ') entry.erase(0, 1);
      targets.push_back(entry.substr(0, entry.find(' ')));
      pos = comma + 1;
    }
  }
  return targets;
}

// The targets of the page file that name no existing file, as written in
// the page. A page that cannot be read gives itself as its one broken link.
inline std::vector<std::string> broken_links(const std::string& page) {
  std::ifstream in(page, std::ios::binary);
  if (!in) return {page};
  const std::string html = as_utf8_page(
      std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
  const std::string dir = page.substr(0, page.rfind('/') + 1);
  std::vector<std::string> broken;
  for (const std::string& target : link_targets(html)) {
    const std::string::size_type colon = target.find(':');
    if (colon != std::string::npos && target.find('/') > colon) continue;  // a scheme
    std::string path = target.substr(0, target.find_first_of("#?"));
    if (path.empty() && !target.empty()) continue;  // a fragment of the page itself
    struct stat st;
    if (path.empty() || stat((dir + url_decode(path)).c_str(), &st) != 0) broken.push_back(target);
  }
  return broken;
}

}  // namespace pagelinks
