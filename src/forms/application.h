// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

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
    // for an argument that is not the toolkit's, and 0 when a Monvert already
    // runs on this display and has been asked to bring its window back.
    [[nodiscard]] int ended() const { return m_ended; }

    // Runs events until the window closes or a signal ends the program;
    // returns the program's status.
    int Run();

    struct Native;

private:
    std::unique_ptr<Native> m_native;
    int m_ended = -1;
};

// Once the window exists and before it shows: makes this program the
// display's Monvert, whose window comes back (Form::BringBack) when another
// start asks. False when another one took the display meanwhile, which has
// then been asked instead.
[[nodiscard]] bool claimInstance(Form &form);

} // namespace Monvert::Forms
