// SPDX-License-Identifier: MIT
#pragma once

#include "forms/commands.h"

#include <memory>
#include <optional>

// The forms runtime of the window's program: started before the window
// exists, run once it is loaded.
namespace Monvert::Forms {

class Form;

class Application
{
public:
    // Starts the runtime on the command line: the window system, the
    // toolkit's own options, signals and requests from other programs.
    Application(int &argc, char **argv);
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // -1 while the program goes on to its window, otherwise the status to end
    // with, having said why: 1 with no window system to show a window on, 2
    // for an argument that is not the toolkit's, and, when a Monvert already
    // runs on this display and has been asked to bring its window back or to
    // convert the clipboard, 0 once it has, 1 when it converted nothing.
    [[nodiscard]] int ended() const { return m_ended; }

    // What the command line asked for besides a window: a clipboard
    // conversion once the window is up, and global shortcuts.
    [[nodiscard]] const WindowOptions &options() const { return m_options; }

    // Once the window exists and before it shows: makes this program the
    // display's Monvert, whose window comes back (Form::BringBack) or converts
    // the clipboard (Form::ConvertClipboard) when another start asks. False
    // when another one took the display meanwhile, which has then been asked
    // instead.
    [[nodiscard]] bool claimInstance(Form &form);

    // For a start that asked for a clipboard conversion, once the window is
    // loaded: converts it as a running window does for another start, and
    // tells whoever started the program what came of it.
    void ConvertForStart(Form &form);

    // Runs events until the window closes or a signal ends the program;
    // returns the program's status.
    int Run();

    struct Native;

private:
    std::unique_ptr<Native> m_native;
    WindowOptions m_options;
    int m_ended = -1;
};

// Makes the key combination convert the clipboard from any application,
// without taking the focus from it; a combination that is taken or cannot
// be read is told to the user, once, in their language. False then.
bool grabShortcut(Form &form, ClipboardCommand command, std::string_view keys);

} // namespace Monvert::Forms
