// SPDX-License-Identifier: GPL-3.0-or-later
// The status bar's line about the game on screen: the moves and the time while it is played, the result and the
// best earlier one at the victory, and the record of results that the victory adds to.
#pragma once

#include "PlayClock.h"
#include "ResultBook.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

class QLabel;
class QStatusBar;

namespace quorra {

class Puzzle;

class PlayStatus : public QObject
{
    Q_OBJECT

public:
    // The picture stream the file of the puzzle on screen keeps, which the record knows the puzzle by; an empty
    // one gives no record.
    using StreamSource = std::function<QByteArray()>;

    // Shows its line in Bar; Puzzle gives the one on screen (null when there is none).
    PlayStatus(QStatusBar *bar, std::function<const Puzzle *()> puzzle, QObject *parent = nullptr);
    ~PlayStatus() override;

    void setPictureStream(StreamSource source) { m_stream = std::move(source); }
    void setResultBook(ResultBook book) { m_book = std::move(book); }
    void setTimeSource(PlayClock::TimeSource now);
    const PlayClock &clock() const { return m_clock; }
    QString text() const;

    // What the window learns and passes on.
    void setWindowState(bool active, bool minimised);
    // Commands are off while a tangle runs on screen: nobody plays then.
    void setSuspended(bool suspended);
    // Reads the puzzle's state again: whether it is being set up or solved; the window's command update calls it.
    void follow();
    // A new or opened puzzle, or a step of a new tangle.
    void restart();
    // An opened puzzle goes on with a game kept from before: its moves and time count on, and the line says so
    // until the next move.
    void continueGame(int moves, qint64 elapsedMs);
    void countMove();
    // The victory has been shown: the result is final, recorded and told.
    void victory();

    // m:ss, and h:mm:ss from an hour on.
    static QString timeText(qint64 milliseconds);
    // "Solved in 23 moves, 1:42", and the best earlier result when there is one.
    static QString victoryText(ResultBook::Result result, std::optional<ResultBook::Result> bestBefore);

private:
    // Shows the line as it is now, and wakes up again only when the shown second will have changed.
    void refresh();

    std::function<const Puzzle *()> m_puzzle;
    QLabel *m_label;
    PlayClock m_clock;
    ResultBook m_book;
    StreamSource m_stream;
    QTimer m_tick;
    bool m_suspended = false;
    // The state follow() last saw.
    struct Followed {
        const Puzzle *puzzle = nullptr;
        bool editMode = false;
        bool solved = false;
        bool suspended = false;
        friend bool operator==(const Followed &, const Followed &) = default;
    };
    Followed m_followed;
    // Set at the victory, until the next restart.
    QString m_result;
    // A kept game went on, and has had no move since.
    bool m_continued = false;
};

} // namespace quorra
