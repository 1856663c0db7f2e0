// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

// The program's life in its desktop session: whether the window system can
// be reached at all, and what ends the program besides closing its window.
// Each platform has its own implementation file.
namespace Monvert::Forms {

// Before the application object exists, which would abort without a window
// system: why the one the toolkit is about to use cannot be reached, if it
// cannot. Qt's own -platform and -display options are looked at.
[[nodiscard]] std::optional<std::string> windowSystemMissing(int argc, char **argv);

// Once it exists: SIGTERM, SIGINT and SIGHUP quit through the event loop, so
// that the toolkit hands the clipboard over on the way out; a window another
// program destroyed ends the program as closing it does; and requests from
// other programs that the toolkit would mishandle are refused.
void guardSession();

} // namespace Monvert::Forms
