// The entry point of quorra-thumbnailer INPUT OUTPUT SIZE: a puzzle file's thumbnail for file managers.
#include "PictureLoader.h"
#include "TError.h"
#include "TThumbnailer.h"

#include <QGuiApplication>
#include <QUrl>

#include <cstdio>
#include <exception>
#include <new>

namespace {

int Fail(const QString &Message)
{
    std::fprintf(stderr, "quorra-thumbnailer: %s\n", qPrintable(Message));
    return 1;
}

// File managers hand over a path; a file: address is accepted as well.
QString LocalPath(const QString &Argument)
{
    const QUrl Url(Argument);
    return Url.isLocalFile() ? Url.toLocalFile() : Argument;
}

} // namespace

int main(int argc, char *argv[])
{
    // No window is ever shown, and file managers run thumbnailers without a display; the fonts of the Hidden
    // number still need a GUI application.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication Application(argc, argv);

    const QStringList Arguments = QCoreApplication::arguments();
    if (Arguments.size() != 4)
        return Fail(QStringLiteral("usage: quorra-thumbnailer INPUT OUTPUT SIZE"));
    bool SizeOk = false;
    const int Size = Arguments.at(3).toInt(&SizeOk);
    if (!SizeOk)
        return Fail(QStringLiteral("the size \"%1\" is not a number").arg(Arguments.at(3)));

    try {
        const QImage Thumbnail = TThumbnailer::Render(LocalPath(Arguments.at(1)), Size);
        if (!TThumbnailer::WritePng(Thumbnail, Arguments.at(2)))
            return Fail(QStringLiteral("cannot write \"%1\"").arg(Arguments.at(2)));
    } catch (const TError &E) {
        return Fail(E.Message());
    } catch (const std::bad_alloc &) {
        return Fail(NotEnoughMemoryText());
    } catch (const std::exception &E) {
        return Fail(QString::fromLocal8Bit(E.what()));
    }
    return 0;
}
