// SPDX-License-Identifier: MIT
#pragma once

// The Qt widgets behind the forms layer's controls, for the Qt
// implementation's own files and for the tests that drive them.
#include "forms/form.h"
#include "forms/label.h"
#include "forms/textbox.h"

#include <QList>
#include <QRectF>

class QLabel;
class QLineEdit;
class QWidget;

namespace Monvert::Forms {

[[nodiscard]] QWidget *widgetOf(const Form &form);
[[nodiscard]] QLineEdit *widgetOf(const TextBox &box);
[[nodiscard]] QLabel *widgetOf(const Label &label);

// Where a box marked its text as cut when it was last drawn, in the box's
// pixels: an ellipsis over each side where text is out of sight. None while
// the text shows whole.
[[nodiscard]] QList<QRectF> cutMarks(const TextBox &box);

} // namespace Monvert::Forms
