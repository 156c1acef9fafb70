// SPDX-License-Identifier: GPL-3.0-or-later
// The game's line in the status bar, its once-a-second refresh while the time runs, and the victory's record.
#include "PlayStatus.h"

#include "Puzzle.h"
#include "WindowTexts.h"

#include <QLabel>
#include <QStatusBar>

namespace quorra {

PlayStatus::PlayStatus(QStatusBar *bar, std::function<const Puzzle *()> puzzle, QObject *parent)
    : QObject(parent), m_puzzle(std::move(puzzle)), m_label(new QLabel(bar))
{
    m_label->setObjectName(QStringLiteral("PlayStatusLabel"));
    // Hints of menus and buttons cover the line while they are shown, as a desktop's status bar does.
    bar->addWidget(m_label, 1);
    m_tick.setSingleShot(true);
    // A coarse timer may fire early and show the old second for another second.
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &PlayStatus::refresh);
}

PlayStatus::~PlayStatus() = default;

void PlayStatus::setTimeSource(PlayClock::TimeSource now)
{
    m_clock.setTimeSource(std::move(now));
    refresh();
}

QString PlayStatus::text() const
{
    return m_label->text();
}

void PlayStatus::setWindowState(bool active, bool minimised)
{
    m_clock.setWindowActive(active);
    m_clock.setMinimised(minimised);
    refresh();
}

void PlayStatus::setSuspended(bool suspended)
{
    m_suspended = suspended;
    follow();
}

void PlayStatus::follow()
{
    // The command update comes after every change the window is told of; only one of these is worth a new line.
    const Puzzle *puzzle = m_puzzle();
    const Followed now{puzzle, puzzle && puzzle->isEditMode(), puzzle && puzzle->isSolved(), m_suspended};
    if (now == m_followed)
        return;
    m_followed = now;
    m_clock.setPlaying(puzzle && !now.editMode && !now.solved && !m_suspended);
    refresh();
}

void PlayStatus::restart()
{
    m_clock.restart();
    m_result.clear();
    m_continued = false;
    m_followed = {};
    follow();
}

void PlayStatus::continueGame(int moves, qint64 elapsedMs)
{
    m_clock.resume(moves, elapsedMs);
    m_result.clear();
    m_continued = true;
    m_followed = {};
    follow();
}

void PlayStatus::countMove()
{
    m_continued = false;
    m_clock.countMove();
    refresh();
}

void PlayStatus::victory()
{
    const Puzzle *puzzle = m_puzzle();
    if (!puzzle || m_clock.isFinished())
        return;
    m_clock.finish();
    const ResultBook::Result result{m_clock.moves(), m_clock.elapsedMs()};
    std::optional<ResultBook::Result> bestBefore;
    const QByteArray stream = m_stream ? m_stream() : QByteArray();
    if (!stream.isEmpty()) {
        if (const auto before = m_book.record(ResultBook::puzzleKey(stream, puzzle->grid()), result))
            bestBefore = before->best;
    }
    m_result = victoryText(result, bestBefore);
    refresh();
}

void PlayStatus::refresh()
{
    const Puzzle *puzzle = m_puzzle();
    QString line;
    if (puzzle && puzzle->isSolved() && !m_result.isEmpty())
        line = m_result;
    else if (puzzle && !puzzle->isEditMode() && m_continued && !puzzle->isSolved())
        line = WindowTexts::text(m_clock.moves() == 1 ? WindowTexts::ContinuedOneMove : WindowTexts::ContinuedMoves)
                   .arg(QString::number(m_clock.moves()), timeText(m_clock.elapsedMs()));
    else if (puzzle && !puzzle->isEditMode())
        line = WindowTexts::text(WindowTexts::PlayProgress)
                   .arg(QString::number(m_clock.moves()), timeText(m_clock.elapsedMs()));
    // Setting the same text again would still repaint the label.
    if (line != m_label->text())
        m_label->setText(line);

    if (m_clock.isRunning())
        m_tick.start(int(1000 - m_clock.elapsedMs() % 1000));
    else
        m_tick.stop();
}

QString PlayStatus::timeText(qint64 milliseconds)
{
    const qint64 seconds = qMax<qint64>(0, milliseconds) / 1000;
    const QLatin1Char zero('0');
    if (seconds < 3600)
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, zero);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, zero)
        .arg(seconds % 60, 2, 10, zero);
}

QString PlayStatus::victoryText(ResultBook::Result result, std::optional<ResultBook::Result> bestBefore)
{
    auto said = [](const char *oneMove, const char *moves, ResultBook::Result r) {
        return WindowTexts::text(r.moves == 1 ? oneMove : moves)
            .arg(QString::number(r.moves), timeText(r.milliseconds));
    };
    QString line = said(WindowTexts::SolvedInOneMove, WindowTexts::SolvedInMoves, result);
    if (bestBefore)
        line += said(WindowTexts::BestBeforeOneMove, WindowTexts::BestBeforeMoves, *bestBefore);
    return line;
}

} // namespace quorra
