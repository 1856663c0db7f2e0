// SPDX-License-Identifier: MIT
// The toolkit's floor for start-up: a Qt Widgets window of the same size and
// title, built with the same flags, that does nothing else. With --text it
// also shows a label and a line edit, the floor of any window that draws text
// (the font database and the style's text metrics). With --print it prints
// one line and exits, the floor of the terminal mode: loading the same Qt
// libraries and nothing else.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--print") == 0) {
        std::puts("Euro 0,52");
        return 0;
    }
    const bool withText = argc > 1 && std::strcmp(argv[1], "--text") == 0;
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Monvert"));
    window.resize(309, 21);
    if (withText) {
        auto *label = new QLabel(QStringLiteral("Lire"), &window);
        label->setGeometry(32, 0, 26, 20);
        auto *box = new QLineEdit(&window);
        box->setGeometry(56, 0, 113, 20);
    }
    window.show();
    return QApplication::exec();
}
