// SPDX-License-Identifier: GPL-3.0-or-later
// The about box: program name in the stamp font, version, legal notice and the link to the web page.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quorra {

class DesktopOpener;

class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);

    void setVisible(bool visible) override;

private:
    // Tests reach the box's parts through this one class of theirs.
    friend class AboutDialogProbe;

    // The link opens the web page; the box stays open, and says so when no browser could show it.
    void openWebPage();
    void webPageNotOpened();
    // Over the middle of the main window's screen, as far as the window system lets a program place a window.
    void centreOnScreen();

    QLabel *m_programName = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_copyright = nullptr;
    QLabel *m_webAddress = nullptr;
    QPushButton *m_okButton = nullptr;
    DesktopOpener *m_opener = nullptr;
};

} // namespace quorra
