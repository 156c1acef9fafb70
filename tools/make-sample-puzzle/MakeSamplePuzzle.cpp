// Makes the sample puzzle (samples/Sample.nbq) from the sample picture: a 3 x 3 split under the Hidden effect.
#include "Effects.h"
#include "TError.h"
#include "TPuzzle.h"
#include "WorkingBitmap.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication Application(argc, argv);
    const QString Picture = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("samples/Sample.jpg");
    const QString Output = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("samples/Sample.nbq");
    try {
        QImage Display;
        TPuzzle Puzzle(&Display, &ConcealmentTexture());
        Puzzle.LoadPicture(Picture);
        if (Puzzle.Source.isNull()) {
            std::fprintf(stderr, "make-sample-puzzle: %s holds no picture\n", qPrintable(Picture));
            return 1;
        }
        Puzzle.Setup(Effect::Hidden, 3, 3, false, false, false);
        Puzzle.SaveToFile(Output);
    } catch (const TError &E) {
        std::fprintf(stderr, "make-sample-puzzle: %s\n", E.what());
        return 1;
    }
    return 0;
}
