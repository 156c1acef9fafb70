// SPDX-License-Identifier: GPL-3.0-or-later
// The about box: its design sizes scaled to the screen are the least it takes, and its layout grows it for texts
// that need more room (large fonts, a desktop's own theme), so nothing is clipped.
#include "AboutDialog.h"

#include "DesignScale.h"
#include "DesktopOpener.h"
#include "ProgramInfo.h"
#include "TextStamp.h"
#include "WindowTexts.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>

namespace quorra {

namespace {

// The web address as a link that shows itself.
const QString LinkFormat = QStringLiteral("<a href=\"%1\">%1</a>");

} // namespace

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(WindowTexts::text(WindowTexts::AboutTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto px = [this](int pixels) { return designPixels(pixels, this); };

    m_programName = new QLabel(this);
    m_programName->setObjectName(QStringLiteral("programName"));
    m_programName->setAlignment(Qt::AlignCenter);
    QFont nameFont = stampFont();
    nameFont.setPixelSize(px(52));
    m_programName->setFont(nameFont);
    m_programName->setText(QuorraProgramName);

    m_version = new QLabel(this);
    m_version->setObjectName(QStringLiteral("version"));
    m_version->setAlignment(Qt::AlignCenter);
    m_version->setText(tr("Version %1").arg(QuorraVersion));

    m_copyright = new QLabel(this);
    m_copyright->setObjectName(QStringLiteral("copyright"));
    m_copyright->setText(WindowTexts::text(WindowTexts::AboutCopyright));

    m_webAddress = new QLabel(this);
    m_webAddress->setObjectName(QStringLiteral("webAddress"));
    m_webAddress->setCursor(Qt::PointingHandCursor);
    m_webAddress->setTextFormat(Qt::RichText);
    m_webAddress->setText(LinkFormat.arg(QuorraWebAddress.toHtmlEscaped()));
    m_webAddress->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(m_webAddress, &QLabel::linkActivated, this, &AboutDialog::openWebPage);
    m_opener = new DesktopOpener(this);
    connect(m_opener, &DesktopOpener::failed, this, &AboutDialog::webPageNotOpened);

    m_okButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                 WindowTexts::text(WindowTexts::OkButton), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    // The design's places become the least sizes and the gaps between them: at the design's font the box has its
    // design size, 375 x 263 at 120 dots per inch.
    m_programName->setMinimumSize(px(355), px(61));
    for (QLabel *line : {m_version, m_copyright, m_webAddress})
        line->setMinimumHeight(px(20));
    m_okButton->setMinimumSize(px(94), px(31));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(px(10), px(10), px(10), px(8));
    column->setSpacing(0);
    column->addWidget(m_programName);
    column->addSpacing(px(9));
    column->addWidget(m_version);
    column->addSpacing(px(50));
    column->addWidget(m_copyright);
    column->addSpacing(px(6));
    column->addWidget(m_webAddress);
    column->addSpacing(px(28));
    column->addWidget(m_okButton, 0, Qt::AlignHCenter);
    // A fixed border, as designed, at whatever size the texts need.
    column->setSizeConstraint(QLayout::SetFixedSize);
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

void AboutDialog::openWebPage()
{
    m_opener->open(QUrl(QuorraWebAddress));
}

void AboutDialog::webPageNotOpened()
{
    // Without a word the link would seem dead; the address is given so that it can be typed into a browser.
    QMessageBox::warning(this, QuorraProgramName,
                         tr("No web browser could be started to show the web page.\n"
                            "You can open it yourself:\n%1")
                             .arg(QuorraWebAddress));
}

} // namespace quorra
