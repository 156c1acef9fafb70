// Makes the 24 x 24 tool-bar pictures used when the desktop's icon theme lacks one (resources/icons/*.png).
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

// Drawn on a 96 x 96 canvas and scaled down smoothly, so that thin lines keep their weight at 24 pixels.
constexpr int Canvas = 96;

const QColor Ink(40, 48, 60);

QPen Outline(double Width = 4.0)
{
    return QPen(Ink, Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Page(QPainter &P, const QColor &Paper)
{
    QPainterPath Sheet;
    Sheet.moveTo(18, 6);
    Sheet.lineTo(60, 6);
    Sheet.lineTo(78, 24);
    Sheet.lineTo(78, 90);
    Sheet.lineTo(18, 90);
    Sheet.closeSubpath();
    P.setPen(Outline());
    P.setBrush(Paper);
    P.drawPath(Sheet);
    QPainterPath Fold;
    Fold.moveTo(60, 6);
    Fold.lineTo(60, 24);
    Fold.lineTo(78, 24);
    P.setBrush(Paper.darker(115));
    P.drawPath(Fold);
}

void Star(QPainter &P, QPointF C, double R, const QColor &Fill)
{
    QPainterPath Path;
    for (int I = 0; I < 10; ++I) {
        const double Angle = -M_PI / 2 + I * M_PI / 5;
        const double Radius = I % 2 ? R * 0.45 : R;
        const QPointF Point = C + QPointF(std::cos(Angle) * Radius, std::sin(Angle) * Radius);
        I ? Path.lineTo(Point) : Path.moveTo(Point);
    }
    Path.closeSubpath();
    P.setPen(QPen(Fill.darker(160), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    P.setBrush(Fill);
    P.drawPath(Path);
}

void DocumentNew(QPainter &P)
{
    Page(P, QColor(250, 250, 245));
    Star(P, QPointF(66, 70), 24, QColor(255, 200, 40));
}

void DocumentOpen(QPainter &P)
{
    P.setPen(Outline());
    P.setBrush(QColor(214, 160, 60));
    QPainterPath Back;
    Back.moveTo(6, 20);
    Back.lineTo(34, 20);
    Back.lineTo(40, 28);
    Back.lineTo(80, 28);
    Back.lineTo(80, 84);
    Back.lineTo(6, 84);
    Back.closeSubpath();
    P.drawPath(Back);
    QPainterPath Front;
    Front.moveTo(16, 42);
    Front.lineTo(92, 42);
    Front.lineTo(80, 84);
    Front.lineTo(6, 84);
    Front.closeSubpath();
    P.setBrush(QColor(250, 204, 92));
    P.drawPath(Front);
}

void DocumentSaveAs(QPainter &P)
{
    P.setPen(Outline());
    P.setBrush(QColor(60, 110, 190));
    P.drawRoundedRect(QRectF(8, 8, 76, 80), 8, 8);
    P.setBrush(QColor(235, 240, 248));
    P.drawRect(QRectF(22, 8, 48, 30));
    P.setBrush(QColor(60, 110, 190).darker(140));
    P.drawRect(QRectF(54, 14, 10, 18));
    P.setBrush(QColor(250, 250, 250));
    P.drawRect(QRectF(20, 54, 52, 34));
    // The pencil says "as": a new name.
    P.save();
    P.translate(70, 70);
    P.rotate(-45);
    P.setBrush(QColor(250, 190, 40));
    P.drawRect(QRectF(-6, -30, 12, 40));
    P.setBrush(QColor(245, 220, 180));
    QPainterPath Tip;
    Tip.moveTo(-6, 10);
    Tip.lineTo(6, 10);
    Tip.lineTo(0, 22);
    Tip.closeSubpath();
    P.drawPath(Tip);
    P.restore();
}

void ImageGeneric(QPainter &P)
{
    P.setPen(Outline());
    P.setBrush(QColor(250, 250, 250));
    P.drawRoundedRect(QRectF(6, 14, 84, 68), 6, 6);
    QLinearGradient Sky(0, 20, 0, 76);
    Sky.setColorAt(0, QColor(90, 160, 235));
    Sky.setColorAt(1, QColor(190, 225, 250));
    P.setPen(Qt::NoPen);
    P.setBrush(Sky);
    P.drawRect(QRectF(12, 20, 72, 56));
    P.setBrush(QColor(255, 210, 50));
    P.drawEllipse(QPointF(64, 36), 8, 8);
    QPainterPath Hills;
    Hills.moveTo(12, 76);
    Hills.lineTo(12, 58);
    Hills.quadTo(30, 38, 50, 62);
    Hills.quadTo(66, 48, 84, 60);
    Hills.lineTo(84, 76);
    Hills.closeSubpath();
    P.setBrush(QColor(70, 160, 70));
    P.drawPath(Hills);
}

void MailSend(QPainter &P)
{
    P.setPen(Outline());
    P.setBrush(QColor(250, 246, 232));
    P.drawRect(QRectF(6, 24, 70, 50));
    QPainterPath Flap;
    Flap.moveTo(6, 24);
    Flap.lineTo(41, 54);
    Flap.lineTo(76, 24);
    P.setBrush(Qt::NoBrush);
    P.drawPath(Flap);
    // An arrow leaving the envelope.
    P.setPen(QPen(QColor(40, 150, 70), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    P.drawLine(QPointF(56, 84), QPointF(86, 84));
    QPainterPath Head;
    Head.moveTo(74, 72);
    Head.lineTo(88, 84);
    Head.lineTo(74, 96 - 2);
    P.drawPath(Head);
}

void ViewRefresh(QPainter &P)
{
    // Two arrows chasing each other round: the pieces are shuffled.
    const QColor Green(40, 140, 200);
    P.setBrush(Qt::NoBrush);
    P.setPen(QPen(Green.darker(150), 14, Qt::SolidLine, Qt::FlatCap));
    P.drawArc(QRectF(16, 16, 64, 64), 20 * 16, 140 * 16);
    P.drawArc(QRectF(16, 16, 64, 64), 200 * 16, 140 * 16);
    P.setPen(QPen(Green, 8, Qt::SolidLine, Qt::FlatCap));
    P.drawArc(QRectF(16, 16, 64, 64), 20 * 16, 140 * 16);
    P.drawArc(QRectF(16, 16, 64, 64), 200 * 16, 140 * 16);
    auto Head = [&P, &Green](double AngleDegrees) {
        const double A = AngleDegrees * M_PI / 180;
        const QPointF End(48 + 32 * std::cos(A), 48 - 32 * std::sin(A));
        const QPointF Along(std::sin(A), std::cos(A)); // clockwise tangent
        const QPointF Across(std::cos(A), -std::sin(A));
        QPainterPath Path;
        Path.moveTo(End + Across * 14);
        Path.lineTo(End + Along * 16);
        Path.lineTo(End - Across * 14);
        Path.closeSubpath();
        P.setPen(QPen(Green.darker(150), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        P.setBrush(Green);
        P.drawPath(Path);
    };
    Head(20);
    Head(200);
}

void Magnifier(QPainter &P, bool Plus)
{
    P.setPen(QPen(Ink, 12, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(QPointF(62, 62), QPointF(86, 86));
    P.setPen(Outline(6));
    P.setBrush(QColor(225, 240, 252));
    P.drawEllipse(QPointF(40, 40), 30, 30);
    P.setPen(QPen(QColor(30, 120, 40), 8, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(QPointF(26, 40), QPointF(54, 40));
    if (Plus)
        P.drawLine(QPointF(40, 26), QPointF(40, 54));
}

bool Make(const QString &Folder, const QString &Name, const std::function<void(QPainter &)> &Draw)
{
    QImage Large(Canvas, Canvas, QImage::Format_ARGB32_Premultiplied);
    Large.fill(Qt::transparent);
    {
        QPainter P(&Large);
        P.setRenderHint(QPainter::Antialiasing);
        Draw(P);
    }
    const QImage Icon = Large.scaled(24, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_ARGB32);
    const QString Path = Folder + QLatin1Char('/') + Name + QStringLiteral(".png");
    if (!Icon.save(Path, "PNG")) {
        std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(Path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication Application(argc, argv);
    const QStringList Arguments = QCoreApplication::arguments();
    const QString Folder = Arguments.size() > 1 ? Arguments.at(1) : QStringLiteral("resources/icons");
    QDir().mkpath(Folder);
    bool Ok = true;
    Ok &= Make(Folder, QStringLiteral("document-new"), DocumentNew);
    Ok &= Make(Folder, QStringLiteral("document-open"), DocumentOpen);
    Ok &= Make(Folder, QStringLiteral("document-save-as"), DocumentSaveAs);
    Ok &= Make(Folder, QStringLiteral("image-x-generic"), ImageGeneric);
    Ok &= Make(Folder, QStringLiteral("mail-send"), MailSend);
    Ok &= Make(Folder, QStringLiteral("view-refresh"), ViewRefresh);
    Ok &= Make(Folder, QStringLiteral("zoom-in"), [](QPainter &P) { Magnifier(P, true); });
    Ok &= Make(Folder, QStringLiteral("zoom-out"), [](QPainter &P) { Magnifier(P, false); });
    return Ok ? 0 : 1;
}
