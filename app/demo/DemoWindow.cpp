// SPDX-License-Identifier: GPL-3.0-or-later
// The demo window: the example video looping in its panel, and the choice whether it opens at every start.
#include "DemoWindow.h"

#include "Dialogs.h"
#include "ProgramResources.h"
#include "VideoPanel.h"
#include "WindowTexts.h"

#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QMediaPlayer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace quorra {

DemoWindow::DemoWindow(Dialogs &dialogs, const QString &videoPath, QWidget *owner)
    : QDialog(owner), m_dialogs(dialogs), m_videoPath(videoPath)
{
    // A title bar without a close button or system menu: the window is meant to be left with OK.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    // The design's pixels are used as they stand: the panel must match the video's own frame size.
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(18);
    setFont(font);
    setFixedSize(550, 462);

    m_videoFrame = new QFrame(this);
    m_videoFrame->setObjectName(QStringLiteral("videoFrame"));
    m_videoFrame->setGeometry(8, 8, 533, 400);
    m_videoFrame->setAutoFillBackground(true);
    QPalette dark = m_videoFrame->palette();
    dark.setColor(QPalette::Window, Qt::black);
    m_videoFrame->setPalette(dark);

    m_videoPanel = new VideoPanel(m_videoFrame);
    m_videoPanel->setObjectName(QStringLiteral("videoPanel"));
    m_videoPanel->setGeometry(0, 0, 533, 400);

    m_player = new QMediaPlayer(this);
    m_player->setObjectName(QStringLiteral("player"));
    m_player->setVideoSink(m_videoPanel->videoSink());
    // The media layer loops by itself, without a gap; restarting it by hand from its end-of-media report as well
    // makes Qt 6.4's GStreamer player corrupt its memory now and then.
    m_player->setLoops(QMediaPlayer::Infinite);

    m_okButton = new QPushButton(WindowTexts::text(WindowTexts::OkButton), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setGeometry(436, 414, 106, 40);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    m_showAtStartBox = new QCheckBox(WindowTexts::text(WindowTexts::ShowAtStart), this);
    m_showAtStartBox->setObjectName(QStringLiteral("showAtStartBox"));
    m_showAtStartBox->setGeometry(9, 425, 421, 29);
    m_showAtStartBox->setChecked(true);

    setWindowTitle(QString::fromUtf8(WindowTexts::DemoTitle));

    m_openTimer.setSingleShot(true);
    // A video still loading after the wait is one the media layer cannot open: Qt 6.4's GStreamer player at times
    // never reports a broken file once another player has run, and an empty window would say nothing.
    connect(&m_openTimer, &QTimer::timeout, this,
            [this] { videoSettled(m_player->mediaStatus() == QMediaPlayer::LoadingMedia); });
}

DemoWindow::~DemoWindow()
{
    // The player goes first: the panel and its video surface are older children and would otherwise be destroyed
    // while the media layer still draws into them.
    m_player->stop();
    delete m_player;
    m_player = nullptr;
}

QString DemoWindow::defaultVideoPath()
{
    return programResource(DemoVideoResource);
}

void DemoWindow::openVideo()
{
    m_opening = true;
    m_showPending = false;
    m_videoFailed = false;
    m_errorConnection = connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error) {
        if (error != QMediaPlayer::NoError)
            videoSettled(true);
    });
    m_statusConnection =
        connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
            if (status == QMediaPlayer::InvalidMedia)
                videoSettled(true);
            else if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia
                     || status == QMediaPlayer::BufferingMedia)
                videoSettled(false);
        });
    m_openTimer.start(m_openTimeoutMs);

    m_player->setSource(QUrl::fromLocalFile(m_videoPath));
    // Some media layers answer at once, from inside setSource.
    if (m_player->error() != QMediaPlayer::NoError || m_player->mediaStatus() == QMediaPlayer::InvalidMedia)
        videoSettled(true);
    else if (m_player->mediaStatus() == QMediaPlayer::LoadedMedia)
        videoSettled(false);
}

void DemoWindow::videoSettled(bool failed)
{
    if (!m_opening)
        return;
    m_opening = false;
    m_openTimer.stop();
    disconnect(m_errorConnection);
    disconnect(m_statusConnection);
    m_videoFailed = failed;
    if (failed) {
        if (m_showPending) {
            // The modal run the window waits in ends only by hiding a shown window: it is shown to Qt alone.
            m_showPending = false;
            setAttribute(Qt::WA_DontShowOnScreen);
            QDialog::setVisible(true);
            done(QDialog::Rejected);
            setAttribute(Qt::WA_DontShowOnScreen, false);
        }
        return;
    }
    m_player->play();
    // Centred on the desktop, not on the owner.
    if (const QScreen *desktop = parentWidget() ? parentWidget()->screen() : screen()) {
        QRect place(QPoint(0, 0), size());
        place.moveCenter(desktop->availableGeometry().center());
        move(place.topLeft());
    }
    if (m_showPending) {
        m_showPending = false;
        QDialog::setVisible(true);
    }
}

QString DemoWindow::videoError() const
{
    const QString errorText = m_player->errorString();
    return errorText.isEmpty() ? WindowTexts::text(WindowTexts::UnknownVideoError) : errorText;
}

bool DemoWindow::showDemo(bool showAtStart)
{
    m_showAtStartBox->setChecked(showAtStart);
    openVideo();
    // The modal run waits for the video as well, the window held back until it has opened.
    const int result = m_videoFailed ? QDialog::Rejected : exec();
    if (m_videoFailed) {
        m_dialogs.error(videoError());
        return showAtStart;
    }
    return result == QDialog::Accepted ? m_showAtStartBox->isChecked() : showAtStart;
}

void DemoWindow::setVisible(bool visible)
{
    if (visible && m_opening) {
        m_showPending = true;
        return;
    }
    QDialog::setVisible(visible);
}

void DemoWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape is not a way out of this window: it would leave it without the choice, unnoticed.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DemoWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!testAttribute(Qt::WA_DontShowOnScreen))
        QTimer::singleShot(0, this, &DemoWindow::shown);
}

void DemoWindow::done(int result)
{
    m_player->stop();
    QDialog::done(result);
}

} // namespace quorra
