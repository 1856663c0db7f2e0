// SPDX-License-Identifier: MIT
#include "rules/messages.h"

#include <array>
#include <clocale>
#include <cstring>
#include <string_view>

#include <libintl.h>
#include <locale.h>
#include <unistd.h>

namespace Monvert {

namespace {

constexpr const char *Domain = "monvert";

} // namespace

void useUserLanguage()
{
    // Only the messages' category: numbers keep to the rules the amount
    // code applies itself, and the process's other categories stay "C".
    std::setlocale(LC_MESSAGES, "");
    // share/locale beside bin/ once installed, and beside the build tree's
    // programs; the window's program is one folder further down.
    const std::string folder = programFolder();
    for (const char *relative : {"../share/locale", "../../share/locale"}) {
        const std::string catalogues = folder + relative;
        if (access(catalogues.c_str(), F_OK) == 0) {
            bindtextdomain(Domain, catalogues.c_str());
            break;
        }
    }
    bind_textdomain_codeset(Domain, "UTF-8");
}

const char *translated(const char *english)
{
    return dgettext(Domain, english);
}

std::string systemError(int error)
{
    // The process's character set is the C locale's, ASCII, which would
    // turn every accent of the translated reason into a question mark.
    static const locale_t messages = [] {
        locale_t user = newlocale(LC_MESSAGES_MASK, "", locale_t(nullptr));
        if (!user)
            user = newlocale(LC_MESSAGES_MASK, "C", locale_t(nullptr));
        locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", user);
        return utf8 ? utf8 : user;
    }();
    return messages ? strerror_l(error, messages) : std::strerror(error);
}

std::string programFolder()
{
    std::array<char, 4096> self{};
    const ssize_t length = readlink("/proc/self/exe", self.data(), self.size() - 1);
    const std::string_view path(self.data(), length > 0 ? std::size_t(length) : 0);
    return std::string(path.substr(0, path.rfind('/') + 1));
}

} // namespace Monvert
