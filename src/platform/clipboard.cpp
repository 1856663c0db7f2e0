// SPDX-License-Identifier: MIT
#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace Monvert::Forms {

using namespace Qt::Literals::StringLiterals;

QString Clipboard::GetText() const
{
    // The offered formats are asked for once, and only a clipboard that offers
    // text is asked for it. An owner that never answers then holds the window
    // for one toolkit timeout (5 s on X11); QMimeData::hasText() waits that
    // out twice and QClipboard::text() three times.
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->formats().contains(u"text/plain"_s))
        return {};
    return data->text();
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
