// Text drawn on pictures: the stamp font, the size search, and the inverted two-line stamp.
#include "TextStamp.h"

#include "WorkingBitmap.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>

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
    // Not the desktop's window-text colour: the numbers sit on light paper, and a dark theme's white text on it
    // could hardly be read.
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
    QFont UpperFont = StampFont(), LowerFont = StampFont();
    FitFontSize(UpperFont, Upper, W, H);
    FitFontSize(LowerFont, Lower, W, H);
    const QFontMetrics UpperMetrics(UpperFont, &MeasuringBitmap());
    const QFontMetrics LowerMetrics(LowerFont, &MeasuringBitmap());
    const QPoint UpperAt((W - UpperMetrics.horizontalAdvance(Upper)) / 2, (H - 2 * UpperMetrics.height()) / 2);
    const QPoint LowerAt((W - LowerMetrics.horizontalAdvance(Lower)) / 2, H / 2);
    // Black leaves the picture as it is, so only the boxes around the two lines need a buffer: a whole-picture
    // one cost a full-size allocation, fill and exclusive-or at every redraw in set-up. The glyph boxes get a
    // margin for the edge pixels of anti-aliasing; both lines share one buffer, as where they meet their edge
    // pixels are drawn over each other, not combined.
    auto InkBox = [](const QFontMetrics &Metrics, const QString &Text, QPoint At) {
        const int Margin = 2 + Metrics.height() / 4;
        return Metrics.boundingRect(Text)
            .translated(At.x(), At.y() + Metrics.ascent())
            .adjusted(-Margin, -Margin, Margin, Margin);
    };
    const QRect Box =
        (InkBox(UpperMetrics, Upper, UpperAt) | InkBox(LowerMetrics, Lower, LowerAt)) & Target.rect();
    if (Box.isEmpty())
        return;
    QImage Buffer = CreateWorkingBitmap(Box.width(), Box.height());
    Buffer.fill(Qt::black);
    {
        QPainter Painter(&Buffer);
        Painter.setPen(QColor(255, 255, 255));
        DrawTextAt(Painter, UpperFont, UpperAt.x() - Box.left(), UpperAt.y() - Box.top(), Upper);
        DrawTextAt(Painter, LowerFont, LowerAt.x() - Box.left(), LowerAt.y() - Box.top(), Lower);
    }
    const qsizetype Bytes = qsizetype(Box.width()) * 3;
    for (int Y = 0; Y < Box.height(); ++Y) {
        const uchar *S = Buffer.constScanLine(Y);
        uchar *D = Target.scanLine(Box.top() + Y) + qsizetype(Box.left()) * 3;
        for (qsizetype I = 0; I < Bytes; ++I)
            D[I] ^= S[I];
    }
}
