// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

// What the program writes for people, in the user's language: the C
// library's message catalogues, Italian or English, found beside the program.
namespace Monvert {

// Reads the user's language (LC_ALL, LC_MESSAGES, LANG) and where the
// program's catalogues are. Once, before the first message.
void useUserLanguage();

// The user's language's text for a message written in English.
[[nodiscard]] const char *translated(const char *english);

// The message with each "%s" replaced by the next of the values, in order.
[[nodiscard]] std::string filledIn(const char *message, std::initializer_list<std::string> values);

// A text as a message shows it, in UTF-8: its first 80 characters, then
// "..." if there is more (or it was cut before), with every control, format
// and invisible character and the backslash escaped (\u200B, \t, \\), so
// that it stays on one line, in the order it was written, shows what made it
// what it is, and cannot drive a terminal.
[[nodiscard]] std::string shownText(std::u16string_view text, bool cut = false);

// The C library's reason for an error number, in the user's language and
// in UTF-8 whatever the character set of the process's own locale.
[[nodiscard]] std::string systemError(int error);

// The folder of the running program's file, ending in '/'.
[[nodiscard]] std::string programFolder();

} // namespace Monvert
