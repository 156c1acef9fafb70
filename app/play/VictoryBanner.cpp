// SPDX-License-Identifier: GPL-3.0-or-later
// The victory's band: placed over the visible part of the picture, timed, and taken away by the person's next act.
#include "VictoryBanner.h"

#include "DesignScale.h"
#include "WindowTexts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace quorra {

VictoryBanner::VictoryBanner(QWidget *panel, QWidget *picture)
    : QFrame(panel), m_picture(picture), m_line(new QLabel(this)), m_playAgain(new QPushButton(this))
{
    setObjectName(QStringLiteral("VictoryBanner"));
    m_line->setObjectName(QStringLiteral("VictoryBannerLine"));
    m_playAgain->setObjectName(QStringLiteral("PlayAgainButton"));
    m_playAgain->setText(WindowTexts::text(WindowTexts::PlayAgain));
    // The keys stay with the picture, where they dismiss the band; the button is for the pointer.
    m_playAgain->setFocusPolicy(Qt::NoFocus);
    // Light on the dark band whatever the desktop's colours, which are meant for the window's own background.
    QPalette palette = m_line->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    m_line->setPalette(palette);
    QFont font = m_line->font();
    font.setBold(true);
    m_line->setFont(font);
    m_line->setWordWrap(true);

    auto *layout = new QHBoxLayout(this);
    const int margin = designPixels(10, this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addWidget(m_line, 1);
    layout->addWidget(m_playAgain);
    connect(m_playAgain, &QPushButton::clicked, this, [this] {
        dismiss();
        emit playAgain();
    });

    m_timer.setSingleShot(true);
    m_timer.setInterval(ShownMs);
    connect(&m_timer, &QTimer::timeout, this, &VictoryBanner::dismiss);
    hide();
}

VictoryBanner::~VictoryBanner()
{
    qApp->removeEventFilter(this);
}

void VictoryBanner::present(const QString &line)
{
    m_line->setText(line);
    place();
    show();
    raise();
    m_timer.start();
    // Any key in the program, wherever the focus is, and a press on the picture take the band away.
    qApp->installEventFilter(this);
}

void VictoryBanner::dismiss()
{
    m_timer.stop();
    qApp->removeEventFilter(this);
    hide();
}

QString VictoryBanner::line() const
{
    return m_line->text();
}

void VictoryBanner::place()
{
    QWidget *panel = parentWidget();
    // The picture may be larger than the panel: the band lies on the lower edge of the part that is seen.
    const QRect seen = m_picture->geometry() & panel->rect();
    if (seen.isEmpty()) {
        setGeometry(QRect(0, panel->height() - sizeHint().height(), panel->width(), sizeHint().height()));
        return;
    }
    const int height =
        qMin(seen.height(), heightForWidth(seen.width()) > 0 ? heightForWidth(seen.width()) : sizeHint().height());
    setGeometry(seen.left(), seen.bottom() + 1 - height, seen.width(), height);
}

bool VictoryBanner::eventFilter(QObject *watched, QEvent *event)
{
    const bool onPicture = watched == m_picture || watched == parentWidget();
    if (event->type() == QEvent::KeyPress || (event->type() == QEvent::MouseButtonPress && onPicture))
        dismiss();
    // Whatever took the band away still does what it does.
    return QFrame::eventFilter(watched, event);
}

void VictoryBanner::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 170));
    QFrame::paintEvent(event);
}

} // namespace quorra
