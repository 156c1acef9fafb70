// The demo window: the example video looping in its panel, and the choice whether it opens at every start.
#include "TRulesForm.h"

#include "ProgramResources.h"
#include "TDialogs.h"
#include "TVideoPanel.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

TRulesForm::TRulesForm(TDialogs &Dialogs, const QString &VideoPath, QWidget *Owner)
    : QDialog(Owner), FDialogs(Dialogs), FVideoPath(VideoPath)
{
    // A title bar without a close button or system menu: the window is meant to be left with OK.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    // The design's pixels are used as they stand: the panel must match the video's own frame size.
    QFont Font(QStringLiteral("Tahoma"));
    Font.setPixelSize(18);
    setFont(Font);
    setFixedSize(550, 462);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 533, 400);
    Panel1->setAutoFillBackground(true);
    QPalette Dark = Panel1->palette();
    Dark.setColor(QPalette::Window, Qt::black);
    Panel1->setPalette(Dark);

    VideoPanel = new TVideoPanel(Panel1);
    VideoPanel->setObjectName(QStringLiteral("VideoPanel"));
    VideoPanel->setGeometry(0, 0, 533, 400);

    MediaPlayer1 = new QMediaPlayer(this);
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));
    MediaPlayer1->setVideoSink(VideoPanel->VideoSink());
    // The media layer loops by itself, without a gap; restarting it by hand from its end-of-media report as well
    // makes Qt 6.4's GStreamer player corrupt its memory now and then.
    MediaPlayer1->setLoops(QMediaPlayer::Infinite);

    OKTntButton = new QPushButton(QStringLiteral("OK"), this);
    OKTntButton->setObjectName(QStringLiteral("OKTntButton"));
    OKTntButton->setGeometry(436, 414, 106, 40);
    OKTntButton->setDefault(true);
    connect(OKTntButton, &QPushButton::clicked, this, &QDialog::accept);

    ShowAtStartupTntCheckBox = new QCheckBox(QStringLiteral("Show this demo on program start"), this);
    ShowAtStartupTntCheckBox->setObjectName(QStringLiteral("ShowAtStartupTntCheckBox"));
    ShowAtStartupTntCheckBox->setGeometry(9, 425, 421, 29);
    ShowAtStartupTntCheckBox->setChecked(true);

    FormCreate();
}

TRulesForm::~TRulesForm()
{
    // The player goes first: the panel and its video surface are older children and would otherwise be destroyed
    // while the media layer still draws into them.
    MediaPlayer1->stop();
    delete MediaPlayer1;
    MediaPlayer1 = nullptr;
}

QString TRulesForm::DefaultVideoPath()
{
    return ProgramResource(QStringLiteral("Res/Example.avi"));
}

void TRulesForm::FormCreate()
{
    setWindowTitle(QStringLiteral("Nimbrel"));
    ShowAtStartupTntCheckBox->setText(QStringLiteral("Show at Start"));
}

bool TRulesForm::OpenVideo(QString &ErrorText)
{
    QEventLoop Wait;
    bool Settled = false;
    bool Failed = false;
    auto Settle = [&](bool Failure) {
        Failed = Failed || Failure;
        Settled = true;
        Wait.quit();
    };
    const auto ErrorConnection = connect(MediaPlayer1, &QMediaPlayer::errorOccurred, &Wait,
                                         [&](QMediaPlayer::Error Error) {
                                             if (Error != QMediaPlayer::NoError)
                                                 Settle(true);
                                         });
    const auto StatusConnection =
        connect(MediaPlayer1, &QMediaPlayer::mediaStatusChanged, &Wait, [&](QMediaPlayer::MediaStatus Status) {
            if (Status == QMediaPlayer::InvalidMedia)
                Settle(true);
            else if (Status == QMediaPlayer::LoadedMedia || Status == QMediaPlayer::BufferedMedia ||
                     Status == QMediaPlayer::BufferingMedia)
                Settle(false);
        });
    QTimer::singleShot(OpenTimeoutMs, &Wait, &QEventLoop::quit);

    MediaPlayer1->setSource(QUrl::fromLocalFile(FVideoPath));
    // Some media layers answer at once, from inside setSource.
    if (MediaPlayer1->error() != QMediaPlayer::NoError || MediaPlayer1->mediaStatus() == QMediaPlayer::InvalidMedia)
        Failed = true;
    else if (MediaPlayer1->mediaStatus() == QMediaPlayer::LoadedMedia)
        Settled = true;
    if (!Settled && !Failed)
        Wait.exec();
    disconnect(ErrorConnection);
    disconnect(StatusConnection);
    // A video still loading after the wait is one the media layer cannot open: Qt 6.4's GStreamer player at times
    // never reports a broken file once another player has run, and an empty window would say nothing.
    if (!Settled && MediaPlayer1->mediaStatus() == QMediaPlayer::LoadingMedia)
        Failed = true;

    if (Failed) {
        ErrorText = MediaPlayer1->errorString();
        if (ErrorText.isEmpty())
            ErrorText = QStringLiteral("Unknown error code");
    }
    return !Failed;
}

void TRulesForm::ShowDemo(bool &ShowAtStart)
{
    QString ErrorText;
    if (!OpenVideo(ErrorText)) {
        FDialogs.Error(ErrorText);
        return;
    }
    ShowAtStartupTntCheckBox->setChecked(ShowAtStart);
    MediaPlayer1->play();
    // Centred on the desktop, not on the owner.
    if (const QScreen *Screen = parentWidget() ? parentWidget()->screen() : screen()) {
        QRect Place(QPoint(0, 0), size());
        Place.moveCenter(Screen->availableGeometry().center());
        move(Place.topLeft());
    }
    if (exec() == QDialog::Accepted)
        ShowAtStart = ShowAtStartupTntCheckBox->isChecked();
}

void TRulesForm::keyPressEvent(QKeyEvent *Event)
{
    // Escape is not a way out of this window: it would leave it without the choice, unnoticed.
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier) {
        Event->accept();
        return;
    }
    QDialog::keyPressEvent(Event);
}

void TRulesForm::showEvent(QShowEvent *Event)
{
    QDialog::showEvent(Event);
    QTimer::singleShot(0, this, &TRulesForm::Shown);
}

void TRulesForm::done(int Result)
{
    MediaPlayer1->stop();
    QDialog::done(Result);
}
