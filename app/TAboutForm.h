// The about box: program name in the stamp font, version, legal notice and the link to the web page.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TAboutForm : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutForm(QWidget *Parent = nullptr);

    QLabel *ProgramNameLabel = nullptr;
    QLabel *VersionLabel = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *WebLabel = nullptr;
    QPushButton *OKBitBtn = nullptr;

    void setVisible(bool Visible) override;

public slots:
    void WebLabelClick();

private:
    void FormCreate();
    // Over the middle of the main window's screen, as far as the window system lets a program place a window.
    void CentreOnScreen();
};
