// Working bitmaps and the raster helpers (stretch, copy, inversion, exclusive-or, tiling) behind all drawing.
#include "WorkingBitmap.h"

#include <QColor>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// 96 dots per inch, so that font point sizes give the same pixels on every desktop.
constexpr int WorkingDotsPerMeter = 3780;

struct TPaletteEntry
{
    uchar B, G, R;
    bool Transparent;
};

// Stretches row by row through a precomputed column map. Fetch(row, sourceX, target) writes one target pixel
// and returns false for a pixel that is left out. Rows that repeat the previous source row are copied whole
// when no pixel can be left out.
template <typename TFetch>
void StretchRows(const QImage &Source, QImage &Target, bool Opaque, TFetch Fetch)
{
    const int SW = Source.width(), SH = Source.height();
    const int TW = Target.width(), TH = Target.height();
    std::vector<int> Columns(TW);
    for (int X = 0; X < TW; ++X)
        Columns[X] = static_cast<int>(static_cast<qint64>(X) * SW / TW);
    const qsizetype RowBytes = qsizetype(TW) * 3;
    int PreviousRow = -1;
    for (int Y = 0; Y < TH; ++Y) {
        const int SY = static_cast<int>(static_cast<qint64>(Y) * SH / TH);
        uchar *D = Target.scanLine(Y);
        if (Opaque && SY == PreviousRow) {
            std::memcpy(D, Target.constScanLine(Y - 1), RowBytes);
            continue;
        }
        PreviousRow = SY;
        const uchar *S = Source.constScanLine(SY);
        for (int X = 0; X < TW; ++X, D += 3)
            Fetch(S, Columns[X], D);
    }
}

void StretchPalette(const QImage &Source, QImage &Target, bool MonoMsb, bool MonoLsb)
{
    TPaletteEntry Lut[256];
    bool Opaque = true;
    const QList<QRgb> Table = Source.colorTable();
    for (int I = 0; I < 256; ++I) {
        // Indices past the table show black, as a palette bitmap with a short table does.
        const QRgb C = I < Table.size() ? Table[I] : qRgb(0, 0, 0);
        const bool Clear = I < Table.size() && qAlpha(C) == 0;
        Lut[I] = {uchar(qBlue(C)), uchar(qGreen(C)), uchar(qRed(C)), Clear};
        Opaque = Opaque && !Clear;
    }
    auto Put = [&Lut](int Index, uchar *D) {
        const TPaletteEntry &E = Lut[Index];
        if (E.Transparent)
            return;
        D[0] = E.B;
        D[1] = E.G;
        D[2] = E.R;
    };
    if (MonoMsb)
        StretchRows(Source, Target, Opaque,
                    [&Put](const uchar *S, int X, uchar *D) { Put((S[X >> 3] >> (7 - (X & 7))) & 1, D); });
    else if (MonoLsb)
        StretchRows(Source, Target, Opaque,
                    [&Put](const uchar *S, int X, uchar *D) { Put((S[X >> 3] >> (X & 7)) & 1, D); });
    else
        StretchRows(Source, Target, Opaque, [&Put](const uchar *S, int X, uchar *D) { Put(S[X], D); });
}

void PutArgb(QRgb P, uchar *D)
{
    if (qAlpha(P) == 0)
        return;
    D[0] = uchar(qBlue(P));
    D[1] = uchar(qGreen(P));
    D[2] = uchar(qRed(P));
}

} // namespace

QImage CreateWorkingBitmap()
{
    return QImage();
}

QImage CreateWorkingBitmap(int Width, int Height)
{
    QImage Result(std::max(Width, 0), std::max(Height, 0), WorkingFormat);
    if (!Result.isNull())
        Result.fill(Qt::white);
    Result.setDotsPerMeterX(WorkingDotsPerMeter);
    Result.setDotsPerMeterY(WorkingDotsPerMeter);
    return Result;
}

void StretchDraw(const QImage &Source, QImage &Target)
{
    if (Source.isNull() || Target.isNull())
        return;
    if (Target.format() != WorkingFormat)
        Target.convertTo(WorkingFormat);
    switch (Source.format()) {
    case QImage::Format_BGR888:
        StretchRows(Source, Target, true, [](const uchar *S, int X, uchar *D) {
            const uchar *P = S + 3 * X;
            D[0] = P[0];
            D[1] = P[1];
            D[2] = P[2];
        });
        return;
    case QImage::Format_RGB888:
        StretchRows(Source, Target, true, [](const uchar *S, int X, uchar *D) {
            const uchar *P = S + 3 * X;
            D[0] = P[2];
            D[1] = P[1];
            D[2] = P[0];
        });
        return;
    case QImage::Format_RGB32:
        StretchRows(Source, Target, true, [](const uchar *S, int X, uchar *D) {
            const QRgb P = reinterpret_cast<const QRgb *>(S)[X];
            D[0] = uchar(qBlue(P));
            D[1] = uchar(qGreen(P));
            D[2] = uchar(qRed(P));
        });
        return;
    case QImage::Format_ARGB32:
        StretchRows(Source, Target, false,
                    [](const uchar *S, int X, uchar *D) { PutArgb(reinterpret_cast<const QRgb *>(S)[X], D); });
        return;
    case QImage::Format_ARGB32_Premultiplied:
        StretchRows(Source, Target, false, [](const uchar *S, int X, uchar *D) {
            PutArgb(qUnpremultiply(reinterpret_cast<const QRgb *>(S)[X]), D);
        });
        return;
    case QImage::Format_Grayscale8:
        StretchRows(Source, Target, true, [](const uchar *S, int X, uchar *D) { D[0] = D[1] = D[2] = S[X]; });
        return;
    case QImage::Format_Indexed8:
        StretchPalette(Source, Target, false, false);
        return;
    case QImage::Format_Mono:
        StretchPalette(Source, Target, true, false);
        return;
    case QImage::Format_MonoLSB:
        StretchPalette(Source, Target, false, true);
        return;
    default:
        break;
    }
    // Rare formats: convert only the source rows that are used, one at a time, never the whole picture.
    int ConvertedRow = -1;
    QImage Row;
    const int SH = Source.height(), TH = Target.height();
    QImage RowTarget;
    for (int Y = 0; Y < TH; ++Y) {
        const int SY = static_cast<int>(static_cast<qint64>(Y) * SH / TH);
        if (SY != ConvertedRow) {
            Row = Source.copy(0, SY, Source.width(), 1).convertToFormat(QImage::Format_ARGB32);
            ConvertedRow = SY;
        }
        // Stretch the converted row onto this one target row through a one-row view of the target.
        QImage Line(Target.scanLine(Y), Target.width(), 1, Target.bytesPerLine(), WorkingFormat);
        StretchRows(Row, Line, false,
                    [](const uchar *S, int X, uchar *D) { PutArgb(reinterpret_cast<const QRgb *>(S)[X], D); });
    }
}

void CopyRect(const QImage &Source, const QRect &SourceRect, QImage &Target, QPoint TargetPos)
{
    if (SourceRect.width() <= 0 || SourceRect.height() <= 0)
        return;
    QRect From = SourceRect.intersected(Source.rect());
    if (From.isEmpty())
        return;
    QPoint To = TargetPos + (From.topLeft() - SourceRect.topLeft());
    const QRect Into = QRect(To, From.size()).intersected(Target.rect());
    if (Into.isEmpty())
        return;
    From = QRect(From.topLeft() + (Into.topLeft() - To), Into.size());
    const qsizetype Bytes = qsizetype(Into.width()) * 3;
    const bool Same = &Source == &Target;
    // Copying within one bitmap downwards must run bottom-up so that no row is read after it was written.
    const bool BottomUp = Same && Into.top() > From.top();
    for (int I = 0; I < Into.height(); ++I) {
        const int R = BottomUp ? Into.height() - 1 - I : I;
        uchar *D = Target.scanLine(Into.top() + R) + qsizetype(Into.left()) * 3;
        const uchar *S = Source.constScanLine(From.top() + R) + qsizetype(From.left()) * 3;
        std::memmove(D, S, Bytes);
    }
}

void InvertRect(QImage &Target, const QRect &Rect)
{
    // QRect would turn a negative size around; a band of a too narrow bitmap simply has no pixels.
    if (Rect.width() <= 0 || Rect.height() <= 0)
        return;
    const QRect R = Rect.intersected(Target.rect());
    if (R.isEmpty())
        return;
    const qsizetype Bytes = qsizetype(R.width()) * 3;
    for (int Y = R.top(); Y <= R.bottom(); ++Y) {
        uchar *D = Target.scanLine(Y) + qsizetype(R.left()) * 3;
        for (qsizetype I = 0; I < Bytes; ++I)
            D[I] = uchar(~D[I]);
    }
}

void XorCopy(const QImage &Source, QImage &Target)
{
    const int W = std::min(Source.width(), Target.width());
    const int H = std::min(Source.height(), Target.height());
    const qsizetype Bytes = qsizetype(W) * 3;
    for (int Y = 0; Y < H; ++Y) {
        const uchar *S = Source.constScanLine(Y);
        uchar *D = Target.scanLine(Y);
        for (qsizetype I = 0; I < Bytes; ++I)
            D[I] ^= S[I];
    }
}

void TilePicture(QImage &Target, const QImage &Picture)
{
    if (Picture.isNull() || Target.isNull())
        return;
    const QImage Tile = Picture.format() == WorkingFormat ? Picture : Picture.convertToFormat(WorkingFormat);
    const int TW = Target.width(), TH = Target.height();
    const int PW = Tile.width(), PH = Tile.height();
    for (int Y = 0; Y < TH; ++Y) {
        const uchar *S = Tile.constScanLine(Y % PH);
        uchar *D = Target.scanLine(Y);
        for (int X = 0; X < TW; X += PW) {
            const int Count = std::min(PW, TW - X);
            std::memcpy(D + qsizetype(X) * 3, S, qsizetype(Count) * 3);
        }
    }
}

void DrawCellFrame(QImage &Target, int Thickness)
{
    const int N = Thickness, W = Target.width(), H = Target.height();
    if (N <= 0)
        return;
    // The corners belong to the side bands only, so every border pixel is inverted exactly once.
    InvertRect(Target, QRect(N, 0, W - 2 * N, N));
    InvertRect(Target, QRect(N, H - N, W - 2 * N, N));
    InvertRect(Target, QRect(0, 0, N, H));
    InvertRect(Target, QRect(W - N, 0, N, H));
}

const QImage &ConcealmentTexture()
{
    static const QImage Texture = [] {
        QImage Loaded(QStringLiteral(":/texture/Concealment.png"));
        Loaded.convertTo(WorkingFormat);
        Loaded.setDotsPerMeterX(WorkingDotsPerMeter);
        Loaded.setDotsPerMeterY(WorkingDotsPerMeter);
        return Loaded;
    }();
    return Texture;
}
