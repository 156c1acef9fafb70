// Makes the demo video (resources/Res/Example.avi): the engine tangles the sample and a drawn hand solves it.
// Run from the source folder: build/tools/make-demo-video [picture] [output.avi]; needs ffmpeg (Debian "ffmpeg").
#include "Effects.h"
#include "TError.h"
#include "TPuzzle.h"
#include "WorkingBitmap.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The demo window's panel, which shows the video unscaled.
constexpr int FrameWidth = 533;
constexpr int FrameHeight = 400;
constexpr int FramesPerSecond = 20;
// Motion-JPEG keeps every frame whole, so the quality decides the size: the video must stay small.
constexpr int Quality = 8;

// Durations are given in seconds and shot as whole frames.
int Frames(double Seconds)
{
    return std::max(1, int(std::lround(Seconds * FramesPerSecond)));
}

enum class THand { Pointing, Grabbing };

// A line shift seen during the tangle: the line, and how far its cells moved along it.
struct TLineShift {
    bool Column = false;
    int Line = 0;   // 1-based column or row
    int Offset = 0; // cells moved towards the bottom or the right, 1 .. length - 1
};

using TNumbers = std::vector<std::vector<int>>; // [column][row]

TNumbers Numbers(const TBody &Body)
{
    TNumbers Result(Body.TotalCols(), std::vector<int>(Body.TotalRows()));
    for (int c = 0; c < Body.TotalCols(); ++c)
        for (int r = 0; r < Body.TotalRows(); ++r)
            Result[c][r] = Body.Current[c][r].Number;
    return Result;
}

// The one line that differs between two arrangements, and the rotation that turns Before into After.
TLineShift FindShift(const TNumbers &Before, const TNumbers &After)
{
    const int Cols = int(Before.size());
    const int Rows = int(Before[0].size());
    auto Matches = [&](bool Column, int Line, int Offset) {
        const int Length = Column ? Rows : Cols;
        for (int i = 0; i < Length; ++i) {
            const int j = (i + Offset) % Length;
            const int Old = Column ? Before[Line][i] : Before[i][Line];
            const int New = Column ? After[Line][j] : After[j][Line];
            if (Old != New)
                return false;
        }
        return true;
    };
    for (int c = 0; c < Cols; ++c)
        if (Before[c] != After[c])
            for (int d = 1; d < Rows; ++d)
                if (Matches(true, c, d))
                    return {true, c + 1, d};
    for (int r = 0; r < Rows; ++r)
        for (int d = 1; d < Cols; ++d)
            if (Matches(false, r, d))
                return {false, r + 1, d};
    throw TError(QStringLiteral("a tangle step moved no single line"));
}

// The classic desktop hands, drawn rather than taken from a theme so that the video looks the same everywhere.
// Coordinates are relative to the hot spot: the fingertip of the pointing hand, the palm of the grabbing one.
QPainterPath HandPath(THand Hand)
{
    auto Box = [](qreal X, qreal Y, qreal W, qreal H, qreal Radius) {
        QPainterPath P;
        P.addRoundedRect(QRectF(X, Y, W, H), Radius, Radius);
        return P;
    };
    QPainterPath Path;
    if (Hand == THand::Pointing) {
        Path = Box(-3.5, 0, 7, 20, 3.5);
        Path = Path.united(Box(3, 9, 6, 13, 3));
        Path = Path.united(Box(8.5, 10.5, 6, 12, 3));
        Path = Path.united(Box(14, 12.5, 5.5, 11, 2.75));
        QPainterPath Thumb = Box(-4, -3, 6, 13, 3);
        Thumb = QTransform().translate(-6, 16).rotate(-35).map(Thumb);
        Path = Path.united(Thumb);
        Path = Path.united(Box(-7, 17, 26.5, 15, 6));
    } else {
        Path = Box(-11, -2, 24, 15, 6);
        for (int k = 0; k < 4; ++k)
            Path = Path.united(Box(-10.5 + k * 5.5, -8, 6, 10, 3));
        QPainterPath Thumb = Box(-3, -6, 6, 12, 3);
        Thumb = QTransform().translate(-11, 4).rotate(30).map(Thumb);
        Path = Path.united(Thumb);
    }
    return Path.simplified();
}

void DrawHand(QPainter &Painter, QPointF At, THand Hand)
{
    const QPainterPath Path = HandPath(Hand);
    Painter.save();
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.translate(At);
    Painter.scale(1.25, 1.25);
    Painter.translate(1.5, 2); // the shadow first, down and to the right
    Painter.fillPath(Path, QColor(0, 0, 0, 90));
    Painter.translate(-1.5, -2);
    Painter.fillPath(Path, Qt::white);
    Painter.strokePath(Path, QPen(Qt::black, 1.4));
    if (Hand == THand::Grabbing) {
        Painter.setPen(QPen(Qt::black, 1));
        for (int k = 1; k < 4; ++k)
            Painter.drawLine(QPointF(-10.5 + k * 5.5, -5), QPointF(-10.5 + k * 5.5, 1));
    }
    Painter.restore();
}

class TDemoRecorder
{
public:
    TDemoRecorder(const QString &Picture, const QString &Folder) : FFolder(Folder), FPuzzle(&FDisplay, &ConcealmentTexture())
    {
        FPuzzle.LoadPicture(Picture);
        if (FPuzzle.Source.isNull())
            throw TError(QStringLiteral("%1 holds no picture").arg(Picture));
        FPuzzle.Scale = 0.7;
        FPuzzle.Setup(Effect::Hidden, 3, 3, false, false, false);
        FOrigin = QPoint((FrameWidth - FDisplay.width()) / 2, (FrameHeight - FDisplay.height()) / 2);
        FBackground = QImage(FrameWidth, FrameHeight, QImage::Format_RGB888);
        QPainter Painter(&FBackground);
        QLinearGradient Shade(0, 0, 0, FrameHeight);
        Shade.setColorAt(0, QColor(74, 86, 104));
        Shade.setColorAt(1, QColor(44, 52, 66));
        Painter.fillRect(FBackground.rect(), Shade);
        FPointer = QPointF(FrameWidth + 4, FrameHeight * 0.7);
    }

    int FrameCount() const { return FFrame; }

    void Record()
    {
        // The puzzle as its maker sees it: concealed, in order, under the edit stamp.
        Hold(Frames(0.8));
        Glide(Centre(QPoint(2, 2)) + QPointF(40, 60), Frames(0.45));
        Hold(Frames(0.2));

        // The tangle, step by step as the window shows it; each step's shift is read off the grid.
        std::vector<TLineShift> Shifts;
        TNumbers Before;
        FPuzzle.TangleStep = [&] {
            const TNumbers After = Numbers(FPuzzle.Body);
            Shifts.push_back(FindShift(Before, After));
            Before = After;
            Hold(Frames(0.14));
        };
        // Every full redraw is on screen for a moment, the plain order before the first shift included.
        FPuzzle.ProcessMessages = [this] { Hold(Frames(0.08)); };
        FPuzzle.Body.Reset();
        Before = Numbers(FPuzzle.Body);
        FPuzzle.Tangle();
        FPuzzle.TangleStep = nullptr;
        FPuzzle.ProcessMessages = nullptr;
        Hold(Frames(0.3));

        // Solving undoes the tangle, last shift first, each by the shorter way round.
        for (auto Shift = Shifts.rbegin(); Shift != Shifts.rend() && !FPuzzle.Solved; ++Shift) {
            const int Length = Shift->Column ? FPuzzle.Body.TotalRows() : FPuzzle.Body.TotalCols();
            int Move = Length - Shift->Offset;
            if (Move > Length / 2)
                Move -= Length;
            DragLine(*Shift, Move);
        }

        // The photograph, whole: the hand leaves it.
        Hold(Frames(0.2));
        Glide(QPointF(FrameWidth + 4, FrameHeight * 0.7), Frames(0.45));
        Hold(Frames(1.3));
    }

private:
    QString FFolder;
    QImage FDisplay;
    TPuzzle FPuzzle;
    QPoint FOrigin;
    QImage FBackground;
    QPointF FPointer;
    THand FHand = THand::Pointing;
    int FFrame = 0;

    QPointF Centre(QPoint Cell) const { return QPointF(FOrigin + FPuzzle.CellCentre(Cell)); }
    QPoint PuzzlePoint(QPointF At) const { return At.toPoint() - FOrigin; }

    void Hold(int Frames)
    {
        for (int k = 0; k < Frames; ++k)
            Shoot();
    }

    void Shoot()
    {
        QImage Frame = FBackground;
        QPainter Painter(&Frame);
        Painter.drawImage(FOrigin, FDisplay);
        DrawHand(Painter, FPointer, FHand);
        Painter.end();
        const QString Name = QStringLiteral("%1/frame%2.png").arg(FFolder).arg(FFrame++, 4, 10, QLatin1Char('0'));
        if (!Frame.save(Name))
            throw TError(QStringLiteral("cannot write %1").arg(Name));
    }

    // Eases the pointer to Target over Frames frames, feeding every position to Step first.
    template <typename TStep> void Glide(QPointF Target, int Frames, TStep Step)
    {
        const QPointF Start = FPointer;
        for (int k = 1; k <= Frames; ++k) {
            const double t = double(k) / Frames;
            const double Eased = t * t * (3 - 2 * t);
            FPointer = Start + (Target - Start) * Eased;
            Step(PuzzlePoint(FPointer));
            Shoot();
        }
    }
    void Glide(QPointF Target, int Frames)
    {
        Glide(Target, Frames, [](QPoint) {});
    }

    bool OverPicture(QPoint P) const { return QRect(QPoint(0, 0), FDisplay.size()).contains(P); }

    // The window's hover: the cell under the pointer is framed; off the picture nothing is.
    void Hover(QPoint P)
    {
        if (OverPicture(P))
            FPuzzle.HoverAt(P.x(), P.y());
        else
            FPuzzle.Deselect();
    }

    // Catches a cell of the shifted line and drags it Move cells along, as a player's hand would.
    void DragLine(const TLineShift &Shift, int Move)
    {
        const int Length = Shift.Column ? FPuzzle.Body.TotalRows() : FPuzzle.Body.TotalCols();
        // The caught cell is the one nearest the hand among those whose target lies inside the picture.
        QPoint From = NoCell;
        double Nearest = 1e9;
        for (int k = 1; k <= Length; ++k) {
            if (k + Move < 1 || k + Move > Length)
                continue;
            const QPoint Cell = Shift.Column ? QPoint(Shift.Line, k) : QPoint(k, Shift.Line);
            const QPointF D = Centre(Cell) - FPointer;
            const double Distance = std::hypot(D.x(), D.y());
            if (Distance < Nearest) {
                Nearest = Distance;
                From = Cell;
            }
        }
        const QPoint To = Shift.Column ? From + QPoint(0, Move) : From + QPoint(Move, 0);

        Glide(Centre(From), Frames(0.3), [this](QPoint P) { Hover(P); });
        Hold(Frames(0.05));
        FHand = THand::Grabbing;
        FPuzzle.HoverAt(PuzzlePoint(FPointer).x(), PuzzlePoint(FPointer).y());
        FPuzzle.DragState = TDragState::Caught;
        FPuzzle.RedrawSelected();
        Hold(Frames(0.1));

        bool Solved = false;
        Glide(Centre(To), Frames(0.4) * std::abs(Move), [&](QPoint P) {
            if (FPuzzle.DragState == TDragState::Caught) {
                if (FPuzzle.TryStartDrag(P.x(), P.y()))
                    FPuzzle.RenderDrag(P.x(), P.y());
            } else if (FPuzzle.NearCellCentre(P.x(), P.y())) {
                Solved = FPuzzle.Commit(P.x(), P.y()) || Solved;
                FPuzzle.DragState = TDragState::Caught;
                FPuzzle.RedrawSelected();
            } else {
                FPuzzle.RenderDrag(P.x(), P.y());
            }
        });
        Hold(Frames(0.05));

        // The release.
        const QPoint P = PuzzlePoint(FPointer);
        if (FPuzzle.DragState == TDragState::Row || FPuzzle.DragState == TDragState::Column)
            Solved = FPuzzle.Commit(P.x(), P.y()) || Solved;
        FPuzzle.DragState = TDragState::Idle;
        FPuzzle.RedrawSelected();
        FHand = THand::Pointing;
        if (Solved) {
            FPuzzle.Deselect();
            FPuzzle.RenderAll();
        }
        Hold(Frames(0.1));
    }
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication Application(argc, argv);
    const QString Picture = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("samples/Sample.jpg");
    const QString Output = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("resources/Res/Example.avi");
    QTemporaryDir Folder;
    if (!Folder.isValid()) {
        std::fprintf(stderr, "make-demo-video: no temporary folder\n");
        return 1;
    }
    try {
        TDemoRecorder Recorder(Picture, Folder.path());
        Recorder.Record();
        std::printf("make-demo-video: %d frames, %.1f s\n", Recorder.FrameCount(),
                    double(Recorder.FrameCount()) / FramesPerSecond);
    } catch (const TError &E) {
        std::fprintf(stderr, "make-demo-video: %s\n", E.what());
        return 1;
    }

    // Motion-JPEG in AVI: every frame a picture of its own, which GStreamer's good plugins decode.
    QDir().mkpath(QFileInfo(Output).absolutePath());
    QProcess Encoder;
    Encoder.setProcessChannelMode(QProcess::ForwardedChannels);
    Encoder.start(QStringLiteral("ffmpeg"),
                  {QStringLiteral("-y"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                   QStringLiteral("-framerate"), QString::number(FramesPerSecond), QStringLiteral("-i"),
                   Folder.filePath(QStringLiteral("frame%04d.png")), QStringLiteral("-c:v"), QStringLiteral("mjpeg"),
                   QStringLiteral("-q:v"), QString::number(Quality), QStringLiteral("-pix_fmt"),
                   QStringLiteral("yuvj420p"), QStringLiteral("-an"), Output});
    if (!Encoder.waitForFinished(-1) || Encoder.exitStatus() != QProcess::NormalExit || Encoder.exitCode() != 0) {
        std::fprintf(stderr, "make-demo-video: ffmpeg failed (is the Debian package ffmpeg installed?)\n");
        return 1;
    }
    std::printf("make-demo-video: wrote %s, %lld bytes\n", qPrintable(Output), QFileInfo(Output).size());
    return 0;
}
