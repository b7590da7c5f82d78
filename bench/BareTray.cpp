// SPDX-License-Identifier: MIT
// The floor Nudgeon's start and memory are measured against: a Qt program that shows a tray
// icon, the program's own, and does nothing else. measure.sh runs it beside Nudgeon.

#include <QApplication>
#include <QIcon>
#include <QSystemTrayIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/MAINICON-%1.png").arg(size), QSize(size, size));
    QSystemTrayIcon tray(icon);
    tray.show();
    return QApplication::exec();
}
