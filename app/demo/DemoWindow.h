// SPDX-License-Identifier: GPL-3.0-or-later
// The demo window: the example video looping in its panel, and the choice whether it opens at every start.
#pragma once

#include <QDialog>
#include <QMetaObject>
#include <QString>
#include <QTimer>

class QCheckBox;
class QMediaPlayer;
class QFrame;
class QPushButton;

namespace quorra {

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

    // Opens the video and shows the window modally with its check box set from ShowAtStart. Returns the choice
    // to keep: the box as the window was closed with OK, else ShowAtStart unchanged. A video that cannot be
    // opened is reported through the dialogs and the window is not shown.
    bool showDemo(bool showAtStart);

    // How long the media layer may take to open the video; a video still loading then counts as one that
    // cannot be opened.
    void setOpenTimeout(int milliseconds) { m_openTimeoutMs = milliseconds; }
    int openTimeout() const { return m_openTimeoutMs; }

    // Held back while the video is still opening: the window appears with its video, or not at all.
    void setVisible(bool visible) override;

signals:
    // The window is on screen and the video has been started; tests act from here.
    void shown();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    // Tests reach the widgets and the player through this one class of theirs.
    friend class DemoWindowProbe;

    // Starts loading the video; the player's reports (or the open timeout) then settle it.
    void openVideo();
    // The video has opened, or could not be: the window shows it, or goes without having been shown.
    void videoSettled(bool failed);
    // The media layer's text for a video it could not open.
    QString videoError() const;

    Dialogs &m_dialogs;
    QString m_videoPath;
    int m_openTimeoutMs = 5000;
    QFrame *m_videoFrame = nullptr;
    VideoPanel *m_videoPanel = nullptr;
    QMediaPlayer *m_player = nullptr;
    QPushButton *m_okButton = nullptr;
    QCheckBox *m_showAtStartBox = nullptr;
    QTimer m_openTimer;
    QMetaObject::Connection m_errorConnection;
    QMetaObject::Connection m_statusConnection;
    // The video is still opening; the window was asked to appear meanwhile; it could not be opened.
    bool m_opening = false;
    bool m_showPending = false;
    bool m_videoFailed = false;
};

} // namespace quorra
