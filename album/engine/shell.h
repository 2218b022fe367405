#pragma once
// Quoting of arguments for the command lines the engine hands to the shell.

#include <string>

namespace tavolin {

// text in double quotes, with the four characters the shell still
// interprets there ('"', '$', '`' and '\\') escaped by a backslash, so a
// file or album name is always one literal word. An ordinary name comes
// out as "name", byte for byte.
std::string shell_quote(const std::string& text);

// text unchanged when every character of it is taken literally by the
// shell outside quotes (letters, digits and / . _ - + , : @ %), else
// shell_quote(text). For a path that is glued in front of a command
// fragment, such as the program directory before the viewer command.
std::string shell_protect(const std::string& text);

}  // namespace tavolin
