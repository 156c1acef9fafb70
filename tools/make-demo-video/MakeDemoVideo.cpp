// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the demo video (resources/Res/Example.avi): the engine tangles the sample and a drawn hand solves it.
// Run from the source folder: build/tools/make-demo-video [picture] [output.avi]; needs ffmpeg (Debian "ffmpeg").
#include "Effects.h"
#include "Puzzle.h"
#include "UserError.h"
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

namespace quorra {

namespace {

// The demo window's panel, which shows the video unscaled.
constexpr int FrameWidth = 533;
constexpr int FrameHeight = 400;
constexpr int FramesPerSecond = 20;
// Motion-JPEG keeps every frame whole, so the quality decides the size: the video must stay small.
constexpr int Quality = 8;

// Durations are given in seconds and shot as whole frames.
int frames(double seconds)
{
    return std::max(1, int(std::lround(seconds * FramesPerSecond)));
}

enum class Hand { Pointing, Grabbing };

// A line shift seen during the tangle: the line, and how far its cells moved along it.
struct LineShift {
    bool column = false;
    int line = 0;   // 1-based column or row
    int offset = 0; // cells moved towards the bottom or the right, 1 .. length - 1
};

using Numbers = std::vector<std::vector<int>>; // [column][row]

Numbers numbers(const TileGrid &body)
{
    Numbers result(body.totalColumns(), std::vector<int>(body.totalRows()));
    for (int c = 0; c < body.totalColumns(); ++c)
        for (int r = 0; r < body.totalRows(); ++r)
            result[c][r] = body.tileAt(CellPos(c + 1, r + 1)).number;
    return result;
}

// The one line that differs between two arrangements, and the rotation that turns Before into After.
LineShift findShift(const Numbers &before, const Numbers &After)
{
    const int Cols = int(before.size());
    const int Rows = int(before[0].size());
    auto matches = [&](bool column, int line, int offset) {
        const int length = column ? Rows : Cols;
        for (int i = 0; i < length; ++i) {
            const int j = (i + offset) % length;
            const int old = column ? before[line][i] : before[i][line];
            const int New = column ? After[line][j] : After[j][line];
            if (old != New)
                return false;
        }
        return true;
    };
    for (int c = 0; c < Cols; ++c)
        if (before[c] != After[c])
            for (int d = 1; d < Rows; ++d)
                if (matches(true, c, d))
                    return {true, c + 1, d};
    for (int r = 0; r < Rows; ++r)
        for (int d = 1; d < Cols; ++d)
            if (matches(false, r, d))
                return {false, r + 1, d};
    throw UserError(QStringLiteral("a tangle step moved no single line"));
}

// The classic desktop hands, drawn rather than taken from a theme so that the video looks the same everywhere.
// Coordinates are relative to the hot spot: the fingertip of the pointing hand, the palm of the grabbing one.
QPainterPath handPath(Hand hand)
{
    auto box = [](qreal x, qreal y, qreal w, qreal h, qreal radius) {
        QPainterPath p;
        p.addRoundedRect(QRectF(x, y, w, h), radius, radius);
        return p;
    };
    QPainterPath path;
    if (hand == Hand::Pointing) {
        path = box(-3.5, 0, 7, 20, 3.5);
        path = path.united(box(3, 9, 6, 13, 3));
        path = path.united(box(8.5, 10.5, 6, 12, 3));
        path = path.united(box(14, 12.5, 5.5, 11, 2.75));
        QPainterPath thumb = box(-4, -3, 6, 13, 3);
        thumb = QTransform().translate(-6, 16).rotate(-35).map(thumb);
        path = path.united(thumb);
        path = path.united(box(-7, 17, 26.5, 15, 6));
    } else {
        path = box(-11, -2, 24, 15, 6);
        for (int k = 0; k < 4; ++k)
            path = path.united(box(-10.5 + k * 5.5, -8, 6, 10, 3));
        QPainterPath thumb = box(-3, -6, 6, 12, 3);
        thumb = QTransform().translate(-11, 4).rotate(30).map(thumb);
        path = path.united(thumb);
    }
    return path.simplified();
}

void drawHand(QPainter &painter, QPointF at, Hand hand)
{
    const QPainterPath path = handPath(hand);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(at);
    painter.scale(1.25, 1.25);
    painter.translate(1.5, 2); // the shadow first, down and to the right
    painter.fillPath(path, QColor(0, 0, 0, 90));
    painter.translate(-1.5, -2);
    painter.fillPath(path, Qt::white);
    painter.strokePath(path, QPen(Qt::black, 1.4));
    if (hand == Hand::Grabbing) {
        painter.setPen(QPen(Qt::black, 1));
        for (int k = 1; k < 4; ++k)
            painter.drawLine(QPointF(-10.5 + k * 5.5, -5), QPointF(-10.5 + k * 5.5, 1));
    }
    painter.restore();
}

class DemoRecorder
{
public:
    DemoRecorder(const QString &picture, const QString &folder)
        : m_folder(folder), m_puzzle(&m_display, &concealmentTexture())
    {
        m_puzzle.loadPicture(picture);
        if (m_puzzle.source().isNull())
            throw UserError(QStringLiteral("%1 holds no picture").arg(picture));
        m_puzzle.zoomTo(0.7);
        m_puzzle.setUp(Effect::Hidden, 3, 3, false, false, false);
        m_origin = QPoint((FrameWidth - m_display.width()) / 2, (FrameHeight - m_display.height()) / 2);
        m_background = QImage(FrameWidth, FrameHeight, QImage::Format_RGB888);
        QPainter painter(&m_background);
        QLinearGradient shade(0, 0, 0, FrameHeight);
        shade.setColorAt(0, QColor(74, 86, 104));
        shade.setColorAt(1, QColor(44, 52, 66));
        painter.fillRect(m_background.rect(), shade);
        m_pointer = QPointF(FrameWidth + 4, FrameHeight * 0.7);
    }

    int frameCount() const { return m_frame; }

    void record()
    {
        // The puzzle as its maker sees it: concealed, in order, under the edit stamp.
        hold(frames(0.8));
        glide(centre(CellPos(2, 2)) + QPointF(40, 60), frames(0.45));
        hold(frames(0.2));

        // The tangle, step by step as the window shows it; each step's shift is read off the grid.
        std::vector<LineShift> Shifts;
        Numbers Before;
        {
            QObject listening; // only while the tangle is shown
            QObject::connect(&m_puzzle, &Puzzle::tangleStepped, &listening, [&] {
                const Numbers after = numbers(m_puzzle.grid());
                Shifts.push_back(findShift(Before, after));
                Before = after;
                hold(frames(0.14));
            });
            // Every full redraw is on screen for a moment, the plain order before the first shift included.
            QObject::connect(&m_puzzle, &Puzzle::displayChanged, &listening, [this](const QRect &changed) {
                if (changed.size() == m_puzzle.display().size())
                    hold(frames(0.08));
            });
            // Just set up, the grid is in order: the tangle starts from it.
            Before = numbers(m_puzzle.grid());
            m_puzzle.tangle();
        }
        hold(frames(0.3));

        // Solving undoes the tangle, last shift first, each by the shorter way round.
        for (auto shift = Shifts.rbegin(); shift != Shifts.rend() && !m_puzzle.isSolved(); ++shift) {
            const int length = shift->column ? m_puzzle.grid().totalRows() : m_puzzle.grid().totalColumns();
            int move = length - shift->offset;
            if (move > length / 2)
                move -= length;
            dragLine(*shift, move);
        }

        // The photograph, whole: the hand leaves it.
        hold(frames(0.2));
        glide(QPointF(FrameWidth + 4, FrameHeight * 0.7), frames(0.45));
        hold(frames(1.3));
    }

private:
    QString m_folder;
    QImage m_display;
    Puzzle m_puzzle;
    QPoint m_origin;
    QImage m_background;
    QPointF m_pointer;
    Hand m_hand = Hand::Pointing;
    int m_frame = 0;

    QPointF centre(CellPos cell) const { return QPointF(m_origin + m_puzzle.cellCentre(cell)); }
    QPoint puzzlePoint(QPointF at) const { return at.toPoint() - m_origin; }

    void hold(int frames)
    {
        for (int k = 0; k < frames; ++k)
            shoot();
    }

    void shoot()
    {
        QImage frame = m_background;
        QPainter painter(&frame);
        painter.drawImage(m_origin, m_display);
        drawHand(painter, m_pointer, m_hand);
        painter.end();
        const QString name = QStringLiteral("%1/frame%2.png").arg(m_folder).arg(m_frame++, 4, 10, QLatin1Char('0'));
        if (!frame.save(name))
            throw UserError(QStringLiteral("cannot write %1").arg(name));
    }

    // Eases the pointer to Target over Frames frames, feeding every position to Step first.
    template <typename TStep>
    void glide(QPointF target, int frames, TStep step)
    {
        const QPointF start = m_pointer;
        for (int k = 1; k <= frames; ++k) {
            const double t = double(k) / frames;
            const double eased = t * t * (3 - 2 * t);
            m_pointer = start + (target - start) * eased;
            step(puzzlePoint(m_pointer));
            shoot();
        }
    }
    void glide(QPointF target, int frames)
    {
        glide(target, frames, [](QPoint) {});
    }

    bool overPicture(QPoint p) const { return QRect(QPoint(0, 0), m_display.size()).contains(p); }

    // The window's hover: the cell under the pointer is framed; off the picture nothing is.
    void hover(QPoint p)
    {
        if (overPicture(p))
            m_puzzle.hoverAt(p.x(), p.y());
        else
            m_puzzle.deselect();
    }

    // Catches a cell of the shifted line and drags it Move cells along, as a player's hand would.
    void dragLine(const LineShift &shift, int move)
    {
        const int length = shift.column ? m_puzzle.grid().totalRows() : m_puzzle.grid().totalColumns();
        // The caught cell is the one nearest the hand among those whose target lies inside the picture.
        CellPos from = NoCell;
        double nearest = 1e9;
        for (int k = 1; k <= length; ++k) {
            if (k + move < 1 || k + move > length)
                continue;
            const CellPos cell = shift.column ? CellPos(shift.line, k) : CellPos(k, shift.line);
            const QPointF d = centre(cell) - m_pointer;
            const double distance = std::hypot(d.x(), d.y());
            if (distance < nearest) {
                nearest = distance;
                from = cell;
            }
        }
        const CellPos to = shift.column ? CellPos(from.x(), from.y() + move) : CellPos(from.x() + move, from.y());

        glide(centre(from), frames(0.3), [this](QPoint p) { hover(p); });
        hold(frames(0.05));
        m_hand = Hand::Grabbing;
        m_puzzle.hoverAt(puzzlePoint(m_pointer).x(), puzzlePoint(m_pointer).y());
        m_puzzle.catchSelected();
        m_puzzle.redrawSelected();
        hold(frames(0.1));

        bool solved = false;
        glide(centre(to), frames(0.4) * std::abs(move), [&](QPoint p) {
            if (m_puzzle.dragState() == DragState::Caught) {
                if (m_puzzle.tryStartDrag(p.x(), p.y()))
                    m_puzzle.renderDrag(p.x(), p.y());
            } else if (m_puzzle.nearCellCentre(p.x(), p.y())) {
                solved = m_puzzle.commit(p.x(), p.y()) || solved;
                m_puzzle.catchSelected();
                m_puzzle.redrawSelected();
            } else {
                m_puzzle.renderDrag(p.x(), p.y());
            }
        });
        hold(frames(0.05));

        // The release.
        const QPoint p = puzzlePoint(m_pointer);
        if (m_puzzle.dragState() == DragState::Row || m_puzzle.dragState() == DragState::Column)
            solved = m_puzzle.commit(p.x(), p.y()) || solved;
        m_puzzle.releaseCatch();
        m_puzzle.redrawSelected();
        m_hand = Hand::Pointing;
        if (solved) {
            m_puzzle.deselect();
            m_puzzle.renderAll();
        }
        hold(frames(0.1));
    }
};

} // namespace

} // namespace quorra

using namespace quorra;

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString picture = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("samples/Sample.jpg");
    const QString output = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("resources/Res/Example.avi");
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "make-demo-video: no temporary folder\n");
        return 1;
    }
    try {
        DemoRecorder recorder(picture, folder.path());
        recorder.record();
        std::printf("make-demo-video: %d frames, %.1f s\n", recorder.frameCount(),
                    double(recorder.frameCount()) / FramesPerSecond);
    } catch (const UserError &e) {
        std::fprintf(stderr, "make-demo-video: %s\n", e.what());
        return 1;
    }

    // Motion-JPEG in AVI: every frame a picture of its own, which GStreamer's good plugins decode.
    QDir().mkpath(QFileInfo(output).absolutePath());
    QProcess encoder;
    encoder.setProcessChannelMode(QProcess::ForwardedChannels);
    encoder.start(QStringLiteral("ffmpeg"),
                  {QStringLiteral("-y"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                   QStringLiteral("-framerate"), QString::number(FramesPerSecond), QStringLiteral("-i"),
                   folder.filePath(QStringLiteral("frame%04d.png")), QStringLiteral("-c:v"), QStringLiteral("mjpeg"),
                   QStringLiteral("-q:v"), QString::number(Quality), QStringLiteral("-pix_fmt"),
                   QStringLiteral("yuvj420p"), QStringLiteral("-an"), output});
    if (!encoder.waitForFinished(-1) || encoder.exitStatus() != QProcess::NormalExit || encoder.exitCode() != 0) {
        std::fprintf(stderr, "make-demo-video: ffmpeg failed (is the Debian package ffmpeg installed?)\n");
        return 1;
    }
    std::printf("make-demo-video: wrote %s, %lld bytes\n", qPrintable(output), QFileInfo(output).size());
    return 0;
}
