// SPDX-License-Identifier: MIT
#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace Monvert::Forms {

QString Clipboard::GetText() const
{
    return QGuiApplication::clipboard()->text();
}

void Clipboard::Clear()
{
    QGuiApplication::clipboard()->clear();
}

void Clipboard::SetText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace Monvert::Forms
