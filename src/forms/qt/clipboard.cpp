// SPDX-License-Identifier: MIT
#include "forms/clipboard.h"

#include "forms/qt/native.h"

#include "forms/qt/waits.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace Monvert::Forms {

volatile std::sig_atomic_t readingClipboard = 0;

using namespace Qt::Literals::StringLiterals;

QString clipboardText(QClipboard::Mode mode)
{
    const ClipboardRead reading;
    // The offered formats are asked for once, and only a clipboard that offers
    // text is asked for it. An owner that never answers then holds the window
    // for one toolkit timeout (5 s on X11); QMimeData::hasText() waits that
    // out twice and QClipboard::text() three times.
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(mode);
    if (!data)
        return {};
    const QStringList formats = data->formats();
    // The formats text() itself tries; on X11, text/plain stands for
    // UTF8_STRING, STRING and TEXT.
    if (formats.contains(u"text/plain;charset=utf-8"_s) || formats.contains(u"text/plain"_s))
        return data->text();
    // Older X11 programs offer compound text alone, which Qt does not read.
    // Without escape sequences it is Latin-1, as every amount is.
    if (formats.contains(u"COMPOUND_TEXT"_s)) {
        const QByteArray bytes = data->data(u"COMPOUND_TEXT"_s);
        if (!bytes.contains('\x1b'))
            return QString::fromLatin1(bytes);
    }
    return {};
}

// Qt keeps the clipboard's owner window itself.
struct Clipboard::Native
{
};

Clipboard::Clipboard() = default;
Clipboard::~Clipboard() = default;

std::u16string Clipboard::GetText() const
{
    return plain(clipboardText(QClipboard::Clipboard));
}

bool Clipboard::SetText(std::u16string_view text)
{
    // On X11 the program becomes the owner, which cannot fail.
    QGuiApplication::clipboard()->setText(qString(text));
    return true;
}

} // namespace Monvert::Forms
