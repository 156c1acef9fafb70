// The demo window: the example video looping in its panel, and the choice whether it opens at every start.
#pragma once

#include <QDialog>
#include <QMediaPlayer>
#include <QString>

class QCheckBox;
class QFrame;
class QPushButton;
class TDialogs;
class TVideoPanel;

class TRulesForm : public QDialog
{
    Q_OBJECT

public:
    // Errors go to Dialogs, which must outlive the window. The video is not opened before ShowDemo.
    TRulesForm(TDialogs &Dialogs, const QString &VideoPath = DefaultVideoPath(), QWidget *Owner = nullptr);
    ~TRulesForm() override;

    // "Res/Example.avi" among the program's files.
    static QString DefaultVideoPath();

    // Opens the video and shows the window modally with its check box set from ShowAtStart; the box is written
    // back into ShowAtStart only when the window is closed with OK. A video that cannot be opened is reported
    // through the dialogs, the window is not shown and ShowAtStart keeps its value.
    void ShowDemo(bool &ShowAtStart);

    // How long the media layer may take to open the video; a video still loading then counts as one that
    // cannot be opened.
    int OpenTimeoutMs = 5000;

    // Components.
    QFrame *Panel1 = nullptr;
    TVideoPanel *VideoPanel = nullptr;
    QMediaPlayer *MediaPlayer1 = nullptr;
    QPushButton *OKTntButton = nullptr;
    QCheckBox *ShowAtStartupTntCheckBox = nullptr;

signals:
    // The window is on screen and the video has been started; tests act from here.
    void Shown();

protected:
    void keyPressEvent(QKeyEvent *Event) override;
    void showEvent(QShowEvent *Event) override;
    void done(int Result) override;

private:
    void FormCreate();
    // Loads the video; on failure returns false with the media layer's text in ErrorText.
    bool OpenVideo(QString &ErrorText);

    TDialogs &FDialogs;
    QString FVideoPath;
};
