// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up baseline: the smallest Qt Widgets program that shows an empty window.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.resize(1024, 768);
    window.show();
    return application.exec();
}
