// SPDX-License-Identifier: MIT
#pragma once

#include <string>

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

// The C library's reason for an error number, in the user's language and
// in UTF-8 whatever the character set of the process's own locale.
[[nodiscard]] std::string systemError(int error);

// The folder of the running program's file, ending in '/'.
[[nodiscard]] std::string programFolder();

} // namespace Monvert
