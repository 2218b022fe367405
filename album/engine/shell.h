#pragma once
// Quoting of arguments for the command lines the engine hands to the shell,
// and running such a line while keeping what it says on standard error.

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

// Runs command through the shell in the foreground, as system() does, with
// its standard error passed on to ours as it comes and its last part kept
// in errors: a window can tell the user why an outside program failed,
// which a terminal alone would show. True when the command ended with
// status 0.
bool run_keeping_errors(const std::string& command, std::string& errors);

}  // namespace tavolin
