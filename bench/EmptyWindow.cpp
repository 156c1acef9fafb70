// The start-up baseline: the smallest Qt Widgets program that shows an empty window.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication Application(argc, argv);
    QWidget Window;
    Window.resize(1024, 768);
    Window.show();
    return Application.exec();
}
