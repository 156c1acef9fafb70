// Text drawn on pictures: the stamp font, the size search, and the inverted two-line stamp.
#include "TextStamp.h"

#include "WorkingBitmap.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QPalette>

namespace {

// Every measurement is taken on a 96-dpi working bitmap, whatever the desktop's own resolution.
const QImage &MeasuringBitmap()
{
    static const QImage Bitmap = CreateWorkingBitmap(1, 1);
    return Bitmap;
}

// The search runs for every concealed cell with the same few sizes, so its answers are remembered.
struct TFitKey
{
    QString Font;
    QString Text;
    int Width;
    int Height;
    bool operator==(const TFitKey &Other) const = default;
};

size_t qHash(const TFitKey &Key, size_t Seed = 0)
{
    return qHashMulti(Seed, Key.Font, Key.Text, Key.Width, Key.Height);
}

// Draws Text in Font with the top-left corner of its text box at (X, Y).
void DrawTextAt(QPainter &Painter, const QFont &Font, int X, int Y, const QString &Text)
{
    Painter.setFont(Font);
    Painter.drawText(X, Y + QFontMetrics(Font, Painter.device()).ascent(), Text);
}

} // namespace

QFont StampFont()
{
    QFont Font(QStringLiteral("Times New Roman"));
    Font.setBold(true);
    Font.setPointSize(8);
    return Font;
}

QColor StampColor()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QGuiApplication::palette().color(QPalette::WindowText);
    return QColor(Qt::black);
}

int FitFontSize(QFont &Font, const QString &Text, int Width, int Height)
{
    static QHash<TFitKey, int> Known;
    Font.setPointSize(8);
    const TFitKey Key{Font.toString(), Text, Width, Height};
    if (const auto Found = Known.constFind(Key); Found != Known.constEnd()) {
        Font.setPointSize(*Found);
        return *Found;
    }
    int Size = 8;
    for (;;) {
        Font.setPointSize(Size);
        const QFontMetrics Metrics(Font, &MeasuringBitmap());
        if (Metrics.horizontalAdvance(Text) >= Width / 2 || Metrics.height() >= Height / 2 || Size >= 255)
            break;
        ++Size;
    }
    if (Known.size() > 1024)
        Known.clear();
    Known.insert(Key, Size);
    return Size;
}

void StampTwoLines(QImage &Target, const QString &Upper, const QString &Lower)
{
    const int W = Target.width(), H = Target.height();
    if (W <= 0 || H <= 0)
        return;
    QImage Buffer = CreateWorkingBitmap(W, H);
    Buffer.fill(Qt::black);
    QFont Font = StampFont();
    {
        QPainter Painter(&Buffer);
        Painter.setPen(QColor(255, 255, 255));
        FitFontSize(Font, Upper, W, H);
        const QFontMetrics UpperMetrics(Font, &Buffer);
        DrawTextAt(Painter, Font, (W - UpperMetrics.horizontalAdvance(Upper)) / 2,
                   (H - 2 * UpperMetrics.height()) / 2, Upper);
        FitFontSize(Font, Lower, W, H);
        const QFontMetrics LowerMetrics(Font, &Buffer);
        DrawTextAt(Painter, Font, (W - LowerMetrics.horizontalAdvance(Lower)) / 2, H / 2, Lower);
    }
    XorCopy(Buffer, Target);
}
