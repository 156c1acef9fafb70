// The about box: its design sizes scaled to the screen are the least it takes, and its layout grows it for texts
// that need more room (large fonts, a desktop's own theme), so nothing is clipped.
#include "TAboutForm.h"

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

TAboutForm::TAboutForm(QWidget *Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About Crypsel"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto Px = [this](int Pixels) { return DesignPixels(Pixels, this); };

    ProgramNameLabel = new QLabel(this);
    ProgramNameLabel->setObjectName(QStringLiteral("ProgramNameLabel"));
    ProgramNameLabel->setAlignment(Qt::AlignCenter);
    QFont NameFont = StampFont();
    NameFont.setPixelSize(Px(52));
    ProgramNameLabel->setFont(NameFont);
    ProgramNameLabel->setText(QuorraProgramName);

    VersionLabel = new QLabel(this);
    VersionLabel->setObjectName(QStringLiteral("VersionLabel"));
    VersionLabel->setAlignment(Qt::AlignCenter);

    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setText(QStringLiteral("Copyright \u00A9 2024 the Quorra developers."));

    WebLabel = new QLabel(this);
    WebLabel->setObjectName(QStringLiteral("WebLabel"));
    WebLabel->setCursor(Qt::PointingHandCursor);
    WebLabel->setTextFormat(Qt::RichText);
    WebLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(WebLabel, &QLabel::linkActivated, this, &TAboutForm::WebLabelClick);

    OKBitBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    OKBitBtn->setObjectName(QStringLiteral("OKBitBtn"));
    OKBitBtn->setDefault(true);
    connect(OKBitBtn, &QPushButton::clicked, this, &QDialog::accept);

    // The design's places become the least sizes and the gaps between them: at the design's font the box has its
    // design size, 375 x 263 at 120 dots per inch.
    ProgramNameLabel->setMinimumSize(Px(355), Px(61));
    for (QLabel *Line : {VersionLabel, Label3, WebLabel})
        Line->setMinimumHeight(Px(20));
    OKBitBtn->setMinimumSize(Px(94), Px(31));

    auto *Column = new QVBoxLayout(this);
    Column->setContentsMargins(Px(10), Px(10), Px(10), Px(8));
    Column->setSpacing(0);
    Column->addWidget(ProgramNameLabel);
    Column->addSpacing(Px(9));
    Column->addWidget(VersionLabel);
    Column->addSpacing(Px(50));
    Column->addWidget(Label3);
    Column->addSpacing(Px(6));
    Column->addWidget(WebLabel);
    Column->addSpacing(Px(28));
    Column->addWidget(OKBitBtn, 0, Qt::AlignHCenter);
    // A fixed border, as designed, at whatever size the texts need.
    Column->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
}

void TAboutForm::FormCreate()
{
    VersionLabel->setText(QuorraVersionText);
    WebLabel->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(QuorraWebAddress.toHtmlEscaped()));
}

void TAboutForm::setVisible(bool Visible)
{
    // Placed before it shows: a dialog left to itself would be centred over the main window instead.
    if (Visible && !isVisible())
        CentreOnScreen();
    QDialog::setVisible(Visible);
}

void TAboutForm::CentreOnScreen()
{
    adjustSize();
    const QWidget *Main = parentWidget() ? parentWidget()->window() : nullptr;
    QScreen *Screen = Main ? Main->screen() : QGuiApplication::primaryScreen();
    if (!Screen)
        return;
    // The frame is known once the box has been shown; before that the main window's is the best guess.
    QSize Frame = frameGeometry().size() - geometry().size();
    if (Frame.isNull() && Main)
        Frame = Main->frameGeometry().size() - Main->geometry().size();
    const QSize Outer = size() + Frame;
    const QRect Area = Screen->availableGeometry();
    // A box larger than the screen keeps its title bar on it.
    move(std::max(Area.left(), Area.center().x() + 1 - Outer.width() / 2),
         std::max(Area.top(), Area.center().y() + 1 - Outer.height() / 2));
}

void TAboutForm::WebLabelClick()
{
    // The browser's answer is of no interest: a page that cannot be opened gives no message.
    QDesktopServices::openUrl(QUrl(QuorraWebAddress));
}
