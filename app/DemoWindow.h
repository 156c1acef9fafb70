// The demo window: the example video looping in its panel, and the choice whether it opens at every start.
#pragma once

#include <QDialog>
#include <QMediaPlayer>
#include <QString>

class QCheckBox;
class QFrame;
class QPushButton;
class Dialogs;
class VideoPanel;

class DemoWindow : public QDialog
{
    Q_OBJECT

public:
    // Errors go to Dialogs, which must outlive the window. The video is not opened before ShowDemo.
    DemoWindow(Dialogs &dialogs, const QString &videoPath = defaultVideoPath(), QWidget *owner = nullptr);
    ~DemoWindow() override;

    // "Res/Example.avi" among the program's files.
    static QString defaultVideoPath();

    // Opens the video and shows the window modally with its check box set from ShowAtStart; the box is written
    // back into ShowAtStart only when the window is closed with OK. A video that cannot be opened is reported
    // through the dialogs, the window is not shown and ShowAtStart keeps its value.
    void showDemo(bool &showAtStart);

    // How long the media layer may take to open the video; a video still loading then counts as one that
    // cannot be opened.
    int openTimeoutMs = 5000;

    // Components.
    QFrame *panel1 = nullptr;
    VideoPanel *videoPanel = nullptr;
    QMediaPlayer *mediaPlayer1 = nullptr;
    QPushButton *okTntButton = nullptr;
    QCheckBox *showAtStartupTntCheckBox = nullptr;

signals:
    // The window is on screen and the video has been started; tests act from here.
    void shown();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void formCreate();
    // Loads the video; on failure returns false with the media layer's text in ErrorText.
    bool openVideo(QString &errorText);

    Dialogs &m_dialogs;
    QString m_videoPath;
};
