// The about box: program name in the stamp font, version, legal notice and the link to the web page.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);

    QLabel *programNameLabel = nullptr;
    QLabel *versionLabel = nullptr;
    QLabel *label3 = nullptr;
    QLabel *webLabel = nullptr;
    QPushButton *okBitBtn = nullptr;

    void setVisible(bool visible) override;

public slots:
    void webLabelClick();

private:
    void formCreate();
    // Over the middle of the main window's screen, as far as the window system lets a program place a window.
    void centreOnScreen();
};
