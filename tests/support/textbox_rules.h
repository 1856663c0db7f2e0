// SPDX-License-Identifier: MIT
#pragma once
// The rules every system's text box keeps, as one table run against each
// implementation: the Qt widget tests and the Win32 checks under Wine. Each
// drives its own box the way a user does; the rows and what must follow are
// the same. Plain C++, so that both can include it.

#include "forms/textbox.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace Monvert::TextBoxRules {

enum class Edit { Paste, Cut, Undo };

// What a row does to a box besides its interface, each system its own way.
class Driver
{
public:
    virtual ~Driver() = default;
    virtual void type(Forms::TextBox &box, std::u16string_view text) = 0;
    virtual void selectAll(Forms::TextBox &box) = 0;
    [[nodiscard]] virtual int caret(const Forms::TextBox &box) = 0;
    // With "42" on the clipboard.
    virtual void edit(Forms::TextBox &box, Edit edit) = 0;
    // The size the box draws its text at, in the system's unit.
    [[nodiscard]] virtual double drawnSize(const Forms::TextBox &box) = 0;
};

// Typed and selected whole, then set.
struct SetRow
{
    const char *name;
    std::u16string_view typed;
    std::u16string_view set;
};
inline constexpr std::array<SetRow, 4> SetRows{{
    {"a set into an empty box: the caret at the start, one Change, nested", u"", u"Euro 0,52"},
    {"a set over a selected text: the caret at the start, one Change, nested", u"1000",
     u"L. 1.936"},
    {"a set of the text the box shows: still one Change, nested", u"L. 1.936", u"L. 1.936"},
    {"a set to empty: one Change, nested", u"12", u""},
}};

struct EditRow
{
    const char *name;
    Edit edit;
};
inline constexpr std::array<EditRow, 3> EditRows{{
    {"a paste raises Edited before Change", Edit::Paste},
    {"a cut raises Edited before Change", Edit::Cut},
    {"an undo raises Edited before Change", Edit::Undo},
}};

// What a row found wrong, or nothing.
inline std::string checkSet(Forms::TextBox &box, Driver &driver, const SetRow &row)
{
    driver.type(box, row.typed);
    driver.selectAll(box);
    std::vector<std::string> events;
    bool returned = false;
    std::string wrong;
    box.Edited = [&] { events.emplace_back("Edited"); };
    box.Change = [&] {
        events.emplace_back("Change");
        // Nested: the set has not returned yet, and the caret is already home.
        if (returned || box.Text() != row.set || driver.caret(box) != 0)
            wrong += "a Change not nested, or before the text and the caret were set; ";
    };
    box.SetText(row.set);
    returned = true;
    if (events != std::vector<std::string>{"Change"})
        wrong += "not exactly one Change and no Edited; ";
    if (box.Text() != row.set || driver.caret(box) != 0 || !box.SelText().empty())
        wrong += "not the text with the caret at the start and nothing selected";
    box.Edited = nullptr;
    box.Change = nullptr;
    return wrong;
}

inline std::string checkEdit(Forms::TextBox &box, Driver &driver, const EditRow &row)
{
    driver.type(box, u"7");
    driver.selectAll(box);
    std::vector<std::string> events;
    box.Edited = [&] { events.emplace_back("Edited"); };
    box.Change = [&] { events.emplace_back("Change"); };
    driver.edit(box, row.edit);
    box.Edited = nullptr;
    box.Change = nullptr;
    if (events.size() < 2 || events[0] != "Edited" || events[1] != "Change")
        return "the events were not Edited, then Change";
    return {};
}

// The Euro box of the window, as wide as it is there.
inline std::string checkLongAmountFits(Forms::TextBox &euroBox, Driver &driver)
{
    euroBox.SetText(u"1");
    const double full = driver.drawnSize(euroBox);
    euroBox.SetText(u"Euro 922.337.203.685.477,58");
    const double size = driver.drawnSize(euroBox);
    if (size * 3 < full * 2 || size >= full)
        return "a long amount not drawn smaller, down to two thirds";
    return {};
}

} // namespace Monvert::TextBoxRules
