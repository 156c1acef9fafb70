// The about box: its design sizes scaled to the screen are the least it takes, and its layout grows it for texts
// that need more room (large fonts, a desktop's own theme), so nothing is clipped.
#include "AboutDialog.h"

#include "DesignScale.h"
#include "ProgramInfo.h"
#include "TextStamp.h"

#include <QBoxLayout>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About Crypsel"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto px = [this](int pixels) { return designPixels(pixels, this); };

    programNameLabel = new QLabel(this);
    programNameLabel->setObjectName(QStringLiteral("ProgramNameLabel"));
    programNameLabel->setAlignment(Qt::AlignCenter);
    QFont nameFont = stampFont();
    nameFont.setPixelSize(px(52));
    programNameLabel->setFont(nameFont);
    programNameLabel->setText(QuorraProgramName);

    versionLabel = new QLabel(this);
    versionLabel->setObjectName(QStringLiteral("VersionLabel"));
    versionLabel->setAlignment(Qt::AlignCenter);

    label3 = new QLabel(this);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setText(QStringLiteral("Copyright \u00A9 2024 the Quorra developers."));

    webLabel = new QLabel(this);
    webLabel->setObjectName(QStringLiteral("WebLabel"));
    webLabel->setCursor(Qt::PointingHandCursor);
    webLabel->setTextFormat(Qt::RichText);
    webLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(webLabel, &QLabel::linkActivated, this, &AboutDialog::webLabelClick);

    okBitBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    okBitBtn->setObjectName(QStringLiteral("OKBitBtn"));
    okBitBtn->setDefault(true);
    connect(okBitBtn, &QPushButton::clicked, this, &QDialog::accept);

    // The design's places become the least sizes and the gaps between them: at the design's font the box has its
    // design size, 375 x 263 at 120 dots per inch.
    programNameLabel->setMinimumSize(px(355), px(61));
    for (QLabel *line : {versionLabel, label3, webLabel})
        line->setMinimumHeight(px(20));
    okBitBtn->setMinimumSize(px(94), px(31));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(px(10), px(10), px(10), px(8));
    column->setSpacing(0);
    column->addWidget(programNameLabel);
    column->addSpacing(px(9));
    column->addWidget(versionLabel);
    column->addSpacing(px(50));
    column->addWidget(label3);
    column->addSpacing(px(6));
    column->addWidget(webLabel);
    column->addSpacing(px(28));
    column->addWidget(okBitBtn, 0, Qt::AlignHCenter);
    // A fixed border, as designed, at whatever size the texts need.
    column->setSizeConstraint(QLayout::SetFixedSize);

    formCreate();
}

void AboutDialog::formCreate()
{
    versionLabel->setText(QuorraVersionText);
    webLabel->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(QuorraWebAddress.toHtmlEscaped()));
}

void AboutDialog::setVisible(bool visible)
{
    // Placed before it shows: a dialog left to itself would be centred over the main window instead.
    if (visible && !isVisible())
        centreOnScreen();
    QDialog::setVisible(visible);
}

void AboutDialog::centreOnScreen()
{
    adjustSize();
    const QWidget *main = parentWidget() ? parentWidget()->window() : nullptr;
    QScreen *screen = main ? main->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame is known once the box has been shown; before that the main window's is the best guess.
    QSize frame = frameGeometry().size() - geometry().size();
    if (frame.isNull() && main)
        frame = main->frameGeometry().size() - main->geometry().size();
    const QSize outer = size() + frame;
    const QRect area = screen->availableGeometry();
    // A box larger than the screen keeps its title bar on it.
    move(std::max(area.left(), area.center().x() + 1 - outer.width() / 2),
         std::max(area.top(), area.center().y() + 1 - outer.height() / 2));
}

void AboutDialog::webLabelClick()
{
    // The browser's answer is of no interest: a page that cannot be opened gives no message.
    QDesktopServices::openUrl(QUrl(QuorraWebAddress));
}
