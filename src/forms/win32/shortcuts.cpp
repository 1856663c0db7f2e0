// SPDX-License-Identifier: MIT
// Global shortcuts on Windows: hotkeys of the window's own, which the system
// posts to it from whatever application has the focus, which keeps it.
#include "forms/application.h"

#include "forms/form.h"
#include "forms/win32/native.h"
#include "rules/messages.h"
#include "rules/utf8.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace Monvert::Forms {

namespace {

// The virtual-key code of a key as a shortcut names it, and whether typing
// its character takes Shift on this keyboard; 0 for none.
std::pair<UINT, bool> virtualKeyOf(const std::string &key)
{
    if (key.size() == 1) {
        const char c = key[0];
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            return {UINT(c), false};
        const SHORT scanned = VkKeyScanW(wchar_t(c));
        return scanned == -1
            ? std::pair<UINT, bool>{0, false}
            : std::pair<UINT, bool>{UINT(LOBYTE(scanned)), (HIBYTE(scanned) & 1) != 0};
    }
    const auto codes = namedKeyCodes(key);
    return {codes ? codes->virtualKey : 0U, false};
}

// The first combination this start could not have is told in a message box,
// which names it; the window is there all the same.
void tellOnce(const std::string &line)
{
    static bool told = false;
    if (told)
        return;
    told = true;
    std::u16string message;
    decodeUtf8(line, message);
    MessageBoxW(nullptr, wide(message).c_str(), L"Monvert", MB_OK | MB_ICONWARNING);
}

} // namespace

bool grabShortcut(Form &form, ClipboardCommand command, std::string_view keys)
{
    const std::string written(keys);
    const auto shortcut = readShortcut(keys);
    const auto [key, shifted]
        = shortcut ? virtualKeyOf(shortcut->key) : std::pair<UINT, bool>{0, false};
    if (!shortcut) {
        tellOnce(filledIn(translated("monvert: cannot read the shortcut '%s'\n"), {written}));
        return false;
    }
    if (key == 0) {
        tellOnce(
            filledIn(translated("monvert: no key of this keyboard types %s\n"), {shortcut->key}));
        return false;
    }
    // One combination for both directions would be refused by the system
    // as taken, by this very program.
    static std::vector<Shortcut> registered;
    if (std::find(registered.begin(), registered.end(), *shortcut) != registered.end()) {
        tellOnce(filledIn(translated("monvert: the shortcut %s is given to both directions; it "
                                     "keeps the first\n"),
                          {written}));
        return false;
    }
    // Held down, a key repeats: one conversion for one press.
    const UINT modifiers = MOD_NOREPEAT | (shortcut->shift || shifted ? MOD_SHIFT : 0U)
        | (shortcut->control ? MOD_CONTROL : 0U) | (shortcut->alt ? MOD_ALT : 0U)
        | (shortcut->meta ? MOD_WIN : 0U);
    const int id = command == ClipboardCommand::FromLire ? 1 : 2;
    if (RegisterHotKey(form.native().window.get(), id, modifiers, key)) {
        registered.push_back(*shortcut);
        return true;
    }
    tellOnce(GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED
                 ? filledIn(translated("monvert: the shortcut %s is taken by another program\n"),
                            {written})
                 : filledIn(translated("monvert: cannot read the shortcut '%s'\n"), {written}));
    return false;
}

} // namespace Monvert::Forms
