// SPDX-License-Identifier: MIT
#pragma once

// One Monvert a display: a second start brings the first one's window back
// and ends. Each platform has its own implementation file.
namespace Monvert::Forms {

class Form;

// Before the application object exists, on the display the toolkit will use:
// whether a Monvert already runs there. If one does, it has been asked to
// bring its window back, and this start has nothing more to do.
[[nodiscard]] bool reopenedRunningInstance(int argc, char **argv);

// Once the window exists and before it shows: makes this program the
// display's Monvert, whose window comes back (Form::BringBack) when another
// start asks. False when another one took the display meanwhile, which has
// then been asked instead.
[[nodiscard]] bool claimInstance(Form &form);

} // namespace Monvert::Forms
