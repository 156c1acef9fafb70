// The demo window: the example video looping in its panel, and the choice whether it opens at every start.
#include "DemoWindow.h"

#include "ProgramResources.h"
#include "Dialogs.h"
#include "VideoPanel.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

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

    panel1 = new QFrame(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setGeometry(8, 8, 533, 400);
    panel1->setAutoFillBackground(true);
    QPalette dark = panel1->palette();
    dark.setColor(QPalette::Window, Qt::black);
    panel1->setPalette(dark);

    videoPanel = new VideoPanel(panel1);
    videoPanel->setObjectName(QStringLiteral("VideoPanel"));
    videoPanel->setGeometry(0, 0, 533, 400);

    mediaPlayer1 = new QMediaPlayer(this);
    mediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));
    mediaPlayer1->setVideoSink(videoPanel->videoSink());
    // The media layer loops by itself, without a gap; restarting it by hand from its end-of-media report as well
    // makes Qt 6.4's GStreamer player corrupt its memory now and then.
    mediaPlayer1->setLoops(QMediaPlayer::Infinite);

    okTntButton = new QPushButton(QStringLiteral("OK"), this);
    okTntButton->setObjectName(QStringLiteral("OKTntButton"));
    okTntButton->setGeometry(436, 414, 106, 40);
    okTntButton->setDefault(true);
    connect(okTntButton, &QPushButton::clicked, this, &QDialog::accept);

    showAtStartupTntCheckBox = new QCheckBox(QStringLiteral("Show this demo on program start"), this);
    showAtStartupTntCheckBox->setObjectName(QStringLiteral("ShowAtStartupTntCheckBox"));
    showAtStartupTntCheckBox->setGeometry(9, 425, 421, 29);
    showAtStartupTntCheckBox->setChecked(true);

    formCreate();
}

DemoWindow::~DemoWindow()
{
    // The player goes first: the panel and its video surface are older children and would otherwise be destroyed
    // while the media layer still draws into them.
    mediaPlayer1->stop();
    delete mediaPlayer1;
    mediaPlayer1 = nullptr;
}

QString DemoWindow::defaultVideoPath()
{
    return programResource(QStringLiteral("Res/Example.avi"));
}

void DemoWindow::formCreate()
{
    setWindowTitle(QStringLiteral("Nimbrel"));
    showAtStartupTntCheckBox->setText(QStringLiteral("Show at Start"));
}

bool DemoWindow::openVideo(QString &errorText)
{
    QEventLoop wait;
    bool settled = false;
    bool failed = false;
    auto settle = [&](bool failure) {
        failed = failed || failure;
        settled = true;
        wait.quit();
    };
    const auto errorConnection = connect(mediaPlayer1, &QMediaPlayer::errorOccurred, &wait,
                                         [&](QMediaPlayer::Error error) {
                                             if (error != QMediaPlayer::NoError)
                                                 settle(true);
                                         });
    const auto statusConnection =
        connect(mediaPlayer1, &QMediaPlayer::mediaStatusChanged, &wait, [&](QMediaPlayer::MediaStatus status) {
            if (status == QMediaPlayer::InvalidMedia)
                settle(true);
            else if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia ||
                     status == QMediaPlayer::BufferingMedia)
                settle(false);
        });
    QTimer::singleShot(openTimeoutMs, &wait, &QEventLoop::quit);

    mediaPlayer1->setSource(QUrl::fromLocalFile(m_videoPath));
    // Some media layers answer at once, from inside setSource.
    if (mediaPlayer1->error() != QMediaPlayer::NoError || mediaPlayer1->mediaStatus() == QMediaPlayer::InvalidMedia)
        failed = true;
    else if (mediaPlayer1->mediaStatus() == QMediaPlayer::LoadedMedia)
        settled = true;
    if (!settled && !failed)
        wait.exec();
    disconnect(errorConnection);
    disconnect(statusConnection);
    // A video still loading after the wait is one the media layer cannot open: Qt 6.4's GStreamer player at times
    // never reports a broken file once another player has run, and an empty window would say nothing.
    if (!settled && mediaPlayer1->mediaStatus() == QMediaPlayer::LoadingMedia)
        failed = true;

    if (failed) {
        errorText = mediaPlayer1->errorString();
        if (errorText.isEmpty())
            errorText = QStringLiteral("Unknown error code");
    }
    return !failed;
}

void DemoWindow::showDemo(bool &showAtStart)
{
    QString errorText;
    if (!openVideo(errorText)) {
        m_dialogs.error(errorText);
        return;
    }
    showAtStartupTntCheckBox->setChecked(showAtStart);
    mediaPlayer1->play();
    // Centred on the desktop, not on the owner.
    if (const QScreen *desktop = parentWidget() ? parentWidget()->screen() : screen()) {
        QRect place(QPoint(0, 0), size());
        place.moveCenter(desktop->availableGeometry().center());
        move(place.topLeft());
    }
    if (exec() == QDialog::Accepted)
        showAtStart = showAtStartupTntCheckBox->isChecked();
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
    QTimer::singleShot(0, this, &DemoWindow::shown);
}

void DemoWindow::done(int result)
{
    mediaPlayer1->stop();
    QDialog::done(result);
}
