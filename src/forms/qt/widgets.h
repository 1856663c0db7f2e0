// SPDX-License-Identifier: MIT
#pragma once

// The Qt widgets behind the forms layer's controls, for the Qt
// implementation's own files and for the tests that drive them.
#include "forms/form.h"
#include "forms/label.h"
#include "forms/textbox.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace Monvert::Forms {

[[nodiscard]] QWidget *widgetOf(const Form &form);
[[nodiscard]] QLineEdit *widgetOf(const TextBox &box);
[[nodiscard]] QLabel *widgetOf(const Label &label);

} // namespace Monvert::Forms
