// Draws the application icon and the puzzle-file icon in every hicolor size (resources/icons/hicolor/).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cstdio>

namespace {

const int Sizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// Each size is drawn four times larger and scaled down smoothly, so edges are soft but lines keep their place.
constexpr int Oversample = 4;

// The little landscape that the tiles are cut from: sky, sun, far hills, meadow and a lake. It is drawn over
// the whole of Area every time and clipped to a tile, so the pieces line up into one picture.
void Landscape(QPainter &P, const QRectF &Area)
{
    const auto At = [&Area](double X, double Y) {
        return QPointF(Area.left() + X * Area.width(), Area.top() + Y * Area.height());
    };
    QLinearGradient Sky(At(0, 0), At(0, 0.62));
    Sky.setColorAt(0, QColor(38, 92, 196));
    Sky.setColorAt(1, QColor(132, 200, 246));
    P.fillRect(Area, Sky);

    QRadialGradient Sun(At(0.82, 0.17), Area.width() * 0.12);
    Sun.setColorAt(0, QColor(255, 244, 160));
    Sun.setColorAt(0.7, QColor(255, 196, 40));
    Sun.setColorAt(1, QColor(255, 150, 30));
    P.setPen(Qt::NoPen);
    P.setBrush(Sun);
    P.drawEllipse(At(0.82, 0.17), Area.width() * 0.11, Area.width() * 0.11);

    QPainterPath Hills;
    Hills.moveTo(At(0, 0.62));
    Hills.lineTo(At(0.18, 0.38));
    Hills.lineTo(At(0.36, 0.56));
    Hills.lineTo(At(0.52, 0.42));
    Hills.lineTo(At(0.78, 0.64));
    Hills.lineTo(At(1, 0.50));
    Hills.lineTo(At(1, 1));
    Hills.lineTo(At(0, 1));
    Hills.closeSubpath();
    P.setBrush(QColor(112, 84, 168));
    P.drawPath(Hills);

    QPainterPath Meadow;
    Meadow.moveTo(At(0, 0.68));
    Meadow.cubicTo(At(0.30, 0.56), At(0.60, 0.74), At(1, 0.62));
    Meadow.lineTo(At(1, 1));
    Meadow.lineTo(At(0, 1));
    Meadow.closeSubpath();
    QLinearGradient Grass(At(0, 0.6), At(0, 1));
    Grass.setColorAt(0, QColor(120, 204, 64));
    Grass.setColorAt(1, QColor(40, 140, 60));
    P.setBrush(Grass);
    P.drawPath(Meadow);

    P.setBrush(QColor(40, 170, 210));
    P.drawEllipse(QRectF(At(0.06, 0.80), At(0.50, 0.94)));
    P.setBrush(QColor(230, 60, 60));
    P.drawRect(QRectF(At(0.72, 0.70), At(0.86, 0.84)));
    QPainterPath Roof;
    Roof.moveTo(At(0.69, 0.71));
    Roof.lineTo(At(0.79, 0.62));
    Roof.lineTo(At(0.89, 0.71));
    Roof.closeSubpath();
    P.setBrush(QColor(150, 30, 40));
    P.drawPath(Roof);
}

// A 3 x 3 board of landscape tiles inside Board, the top-right tile lifted out of its place with a shadow.
void TileBoard(QPainter &P, const QRectF &Board, double Unit, bool Lifted)
{
    const double Gap = std::max(Unit, Board.width() * 0.035);
    const double Tile = (Board.width() - 4 * Gap) / 3;
    const QRectF Picture = Board.adjusted(Gap, Gap, -Gap, -Gap);
    const double Round = Tile * 0.12;

    P.setPen(Qt::NoPen);
    P.setBrush(QColor(36, 44, 60));
    P.drawRoundedRect(Board, Board.width() * 0.10, Board.width() * 0.10);

    const auto TileRect = [&](int Col, int Row) {
        return QRectF(Board.left() + Gap + Col * (Tile + Gap), Board.top() + Gap + Row * (Tile + Gap), Tile, Tile);
    };
    // The landscape is painted once and laid into each tile as a texture, so the pieces line up into one picture.
    QImage Scene(Picture.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    Scene.fill(Qt::transparent);
    {
        QPainter S(&Scene);
        S.setRenderHint(QPainter::Antialiasing);
        Landscape(S, QRectF(QPointF(0, 0), Picture.size()));
    }
    const auto DrawTile = [&](int Col, int Row, QPointF Offset) {
        QBrush Piece(Scene);
        Piece.setTransform(QTransform::fromTranslate(Picture.left() + Offset.x(), Picture.top() + Offset.y()));
        P.setBrush(Piece);
        P.setPen(QPen(QColor(255, 255, 255, 110), std::max(Unit * 0.6, Tile * 0.03)));
        P.drawRoundedRect(TileRect(Col, Row).translated(Offset), Round, Round);
        P.setPen(Qt::NoPen);
    };

    for (int Col = 0; Col < 3; ++Col)
        for (int Row = 0; Row < 3; ++Row)
            if (!(Lifted && Col == 2 && Row == 0))
                DrawTile(Col, Row, QPointF());
    if (!Lifted) {
        DrawTile(2, 0, QPointF());
        return;
    }
    // The empty place, then the tile hovering above and beside it.
    P.setBrush(QColor(16, 20, 30));
    P.drawRoundedRect(TileRect(2, 0), Round, Round);
    const QPointF Lift(Tile * 0.26, -Tile * 0.26);
    P.setBrush(QColor(0, 0, 0, 90));
    P.drawRoundedRect(TileRect(2, 0).translated(Lift * 0.45 + QPointF(Tile * 0.06, Tile * 0.10)), Round, Round);
    DrawTile(2, 0, Lift);
}

void AppIcon(QPainter &P, double S, double Unit)
{
    // Room at the top and the right for the lifted tile.
    const double Margin = S * 0.04;
    const double Side = S - 2 * Margin - S * 0.08;
    TileBoard(P, QRectF(Margin, S - Margin - Side, Side, Side), Unit, true);
}

void FileIcon(QPainter &P, double S, double Unit)
{
    const double Left = S * 0.14, Right = S * 0.86, Top = S * 0.04, Bottom = S * 0.96;
    const double Fold = S * 0.20;
    QPainterPath Sheet;
    Sheet.moveTo(Left, Top);
    Sheet.lineTo(Right - Fold, Top);
    Sheet.lineTo(Right, Top + Fold);
    Sheet.lineTo(Right, Bottom);
    Sheet.lineTo(Left, Bottom);
    Sheet.closeSubpath();
    P.setPen(QPen(QColor(90, 98, 112), std::max(Unit, S * 0.02), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    P.setBrush(QColor(250, 250, 246));
    P.drawPath(Sheet);
    QPainterPath Corner;
    Corner.moveTo(Right - Fold, Top);
    Corner.lineTo(Right - Fold, Top + Fold);
    Corner.lineTo(Right, Top + Fold);
    P.setBrush(QColor(214, 216, 220));
    P.drawPath(Corner);

    const double Side = (Right - Left) * 0.84;
    const double X = (Left + Right - Side) / 2;
    TileBoard(P, QRectF(X, Bottom - Side - (Right - Left - Side) / 2, Side, Side), Unit, false);
}

QImage Draw(int Size, void (*Picture)(QPainter &, double, double))
{
    const int Big = Size * Oversample;
    QImage Canvas(Big, Big, QImage::Format_ARGB32_Premultiplied);
    Canvas.fill(Qt::transparent);
    {
        QPainter P(&Canvas);
        P.setRenderHint(QPainter::Antialiasing);
        // One final pixel, so that gaps and outlines never vanish at the small sizes.
        Picture(P, Big, Oversample);
    }
    return Canvas.scaled(Size, Size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

bool Save(const QImage &Image, const QString &Folder, const QString &Name)
{
    if (!QDir().mkpath(Folder) || !Image.save(Folder + QLatin1Char('/') + Name, "PNG")) {
        std::fprintf(stderr, "make-app-icons: cannot write %s/%s\n", qPrintable(Folder), qPrintable(Name));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication Application(argc, argv);
    const QString Root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources/icons/hicolor");
    for (const int Size : Sizes) {
        const QString Folder = QStringLiteral("%1/%2x%2/").arg(Root).arg(Size);
        if (!Save(Draw(Size, AppIcon), Folder + QStringLiteral("apps"), QStringLiteral("quorra.png"))
            || !Save(Draw(Size, FileIcon), Folder + QStringLiteral("mimetypes"),
                     QStringLiteral("application-x-nbq.png")))
            return 1;
    }
    return 0;
}
