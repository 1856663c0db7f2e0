// SPDX-License-Identifier: MIT
// The window's program. `monvert` starts it in its own place when a window is
// wanted, once the command line has been answered; it is not for users to run.
#include "forms/application.h"
#include "rules/messages.h"
#include "rules/regional.h"
#include "window/form1.h"

int main(int argc, char *argv[])
{
    Monvert::useUserLanguage();
    Monvert::Forms::Application application(argc, argv);
    if (const int status = application.ended(); status >= 0)
        return status;
    Monvert::Form1 form(Monvert::regionalNumberFormat());
    if (!application.claimInstance(form))
        return 0;
    form.Form_Load();
    const Monvert::Forms::WindowOptions &options = application.options();
    for (const auto &[command, keys] : options.shortcuts)
        Monvert::Forms::grabShortcut(form, command, keys);
    // Started to convert the clipboard: once the window is up, as when it was already.
    if (options.convert)
        application.ConvertForStart(form);
    return application.Run();
}
