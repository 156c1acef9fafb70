// The about box, laid out at its design positions scaled to the screen.
#include "TAboutForm.h"

#include "DesignScale.h"
#include "ProgramInfo.h"
#include "TextStamp.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QUrl>

TAboutForm::TAboutForm(QWidget *Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About Crypsel"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto Px = [this](int Pixels) { return DesignPixels(Pixels, this); };
    setFixedSize(Px(375), Px(263));

    ProgramNameLabel = new QLabel(this);
    ProgramNameLabel->setObjectName(QStringLiteral("ProgramNameLabel"));
    ProgramNameLabel->setGeometry(Px(10), Px(10), Px(355), Px(61));
    ProgramNameLabel->setAlignment(Qt::AlignCenter);
    QFont NameFont = StampFont();
    NameFont.setPixelSize(Px(52));
    ProgramNameLabel->setFont(NameFont);
    ProgramNameLabel->setText(QuorraProgramName);

    VersionLabel = new QLabel(this);
    VersionLabel->setObjectName(QStringLiteral("VersionLabel"));
    VersionLabel->setGeometry(Px(10), Px(80), Px(355), Px(20));
    VersionLabel->setAlignment(Qt::AlignCenter);

    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(Px(10), Px(150), Px(355), Px(20));
    Label3->setText(QStringLiteral("Copyright \u00A9 2024 the Quorra developers."));

    WebLabel = new QLabel(this);
    WebLabel->setObjectName(QStringLiteral("WebLabel"));
    WebLabel->setGeometry(Px(8), Px(176), Px(355), Px(20));
    WebLabel->setCursor(Qt::PointingHandCursor);
    WebLabel->setTextFormat(Qt::RichText);
    WebLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(WebLabel, &QLabel::linkActivated, this, &TAboutForm::WebLabelClick);

    OKBitBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    OKBitBtn->setObjectName(QStringLiteral("OKBitBtn"));
    OKBitBtn->setGeometry(Px(131), Px(224), Px(94), Px(31));
    OKBitBtn->setDefault(true);
    connect(OKBitBtn, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

void TAboutForm::FormCreate()
{
    VersionLabel->setText(QuorraVersionText);
    WebLabel->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(QuorraWebAddress.toHtmlEscaped()));
}

void TAboutForm::WebLabelClick()
{
    // The browser's answer is of no interest: a page that cannot be opened gives no message.
    QDesktopServices::openUrl(QUrl(QuorraWebAddress));
}
