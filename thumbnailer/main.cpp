// SPDX-License-Identifier: GPL-3.0-or-later
// The entry point of quorra-thumbnailer INPUT OUTPUT SIZE: a puzzle file's thumbnail for file managers.
#include "PictureLoader.h"
#include "Thumbnailer.h"
#include "UserError.h"

#include <QGuiApplication>
#include <QUrl>

#include <cstdio>
#include <exception>
#include <new>

#include <sys/resource.h>

namespace quorra {

namespace {

// The decode gives up after a second of its own; this ends whatever else might run away (drawing, a reader
// without such a bound) long before a file manager's user notices, since a thumbnail takes a fraction of it.
constexpr rlim_t MaxProcessorSeconds = 10;

int fail(const QString &message)
{
    std::fprintf(stderr, "quorra-thumbnailer: %s\n", qPrintable(message));
    return 1;
}

// File managers hand over a path; a file: address is accepted as well.
QString localPath(const QString &argument)
{
    const QUrl url(argument);
    return url.isLocalFile() ? url.toLocalFile() : argument;
}

} // namespace

} // namespace quorra

using namespace quorra;

int main(int argc, char *argv[])
{
    rlimit processor;
    if (getrlimit(RLIMIT_CPU, &processor) == 0 && processor.rlim_cur > MaxProcessorSeconds) {
        processor.rlim_cur = MaxProcessorSeconds;
        setrlimit(RLIMIT_CPU, &processor);
    }
    // No window is ever shown, and file managers run thumbnailers without a display; the fonts of the Hidden
    // number still need a GUI application.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4)
        return fail(QStringLiteral("usage: quorra-thumbnailer INPUT OUTPUT SIZE"));
    bool sizeOk = false;
    const int size = arguments.at(3).toInt(&sizeOk);
    if (!sizeOk)
        return fail(QStringLiteral("the size \"%1\" is not a number").arg(arguments.at(3)));

    try {
        const QImage thumbnail = Thumbnailer::render(localPath(arguments.at(1)), size);
        if (!Thumbnailer::writePng(thumbnail, arguments.at(2)))
            return fail(QStringLiteral("cannot write \"%1\"").arg(arguments.at(2)));
    } catch (const UserError &e) {
        return fail(e.message());
    } catch (const std::bad_alloc &) {
        return fail(notEnoughMemoryText());
    } catch (const std::exception &e) {
        return fail(QString::fromLocal8Bit(e.what()));
    }
    return 0;
}
