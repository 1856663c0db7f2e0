// SPDX-License-Identifier: MIT
#include "forms/qt/notices.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <cstdio>

#include <unistd.h>

namespace Monvert::Forms {

namespace {

QStringList untold;

// One notification for all of them, through the desktop's notification
// service, asked without waiting: where none answers, standard error had it.
void notify()
{
    QString body = untold.join(u'\n');
    untold.clear();
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("Monvert") << 0U << QStringLiteral("org.monvert.Monvert")
         << QStringLiteral("Monvert") << body << QStringList() << QVariantMap() << -1;
    QDBusConnection::sessionBus().call(call, QDBus::NoBlock);
}

} // namespace

void tell(const std::string &line)
{
    std::fputs(line.c_str(), stderr);
    if (::isatty(STDERR_FILENO) || !QCoreApplication::instance())
        return;
    if (untold.isEmpty())
        QTimer::singleShot(0, QCoreApplication::instance(), notify);
    // The program's name stands in the notification's title already.
    QString text = QString::fromUtf8(line).trimmed();
    if (text.startsWith(QLatin1StringView("monvert: ")))
        text.remove(0, 9);
    untold << text;
}

} // namespace Monvert::Forms
