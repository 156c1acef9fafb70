// SPDX-License-Identifier: GPL-3.0-or-later
// The band over the revealed picture's lower edge at the victory: the result and an invitation to play again.
#pragma once

#include <QFrame>
#include <QTimer>

class QLabel;
class QPushButton;

namespace quorra {

// Shown for a few seconds, never modal: the game's window goes on answering under it, and a click on the picture
// or any key takes it away at once.
class VictoryBanner : public QFrame
{
    Q_OBJECT

public:
    // How long it stays when nothing takes it away.
    static constexpr int ShownMs = 6000;

    // Lies over Picture's lower edge, inside Panel (which holds the picture and clips it).
    VictoryBanner(QWidget *panel, QWidget *picture);
    ~VictoryBanner() override;

    // Shows Line over the picture for ShownMs.
    void present(const QString &line);
    void dismiss();
    QString line() const;
    QPushButton *playAgainButton() const { return m_playAgain; }
    // Follows the picture when it moves or the panel changes size.
    void place();

signals:
    void playAgain();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_picture;
    QLabel *m_line;
    QPushButton *m_playAgain;
    QTimer m_timer;
};

} // namespace quorra
