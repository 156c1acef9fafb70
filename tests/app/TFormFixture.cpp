// The main-window test fixture.
#include "TFormFixture.h"

#include "TFakeSoundPlayer.h"
#include "TPicturePanel.h"
#include "WorkingBitmap.h"

#include <QAction>
#include <QCoreApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

TFormFixture::TFormFixture(int PanelWidth, int PanelHeight, bool Show)
{
    auto Fake = std::make_unique<TFakeDialogs>();
    Dialogs = Fake.get();
    Form = std::make_unique<TNimbrelMainForm>(std::move(Fake),
                                              [this] { return std::make_unique<TFakeSoundPlayer>(&Sounds); });
    auto FakePointer = std::make_unique<TFakePointerControl>();
    Pointer = FakePointer.get();
    Form->PointerControl = std::move(FakePointer);
    Form->TangleStepMs = 0;
    Form->FormStorage.SetIniFileName(SettingsFile());
    if (Show) {
        Form->show();
        if (!QTest::qWaitForWindowExposed(Form.get()))
            qWarning("the window was not exposed");
        SetPanelSize(PanelWidth, PanelHeight);
    }
}

TFormFixture::~TFormFixture()
{
    Form.reset();
}

void TFormFixture::UseRealPointer()
{
    Pointer = nullptr;
    Form->PointerControl = std::make_unique<TPointerControl>();
}

QStringList TFormFixture::Played() const
{
    return Sounds.filter(QRegularExpression(QStringLiteral("^Play\\|")));
}

bool TFormFixture::SetPanelSize(int Width, int Height)
{
    for (int Attempt = 0; Attempt < 20; ++Attempt) {
        TPicturePanel *Panel = Form->ImageSpeedBar;
        if (Panel->ClientWidth() == Width && Panel->ClientHeight() == Height)
            return true;
        Form->resize(Form->width() + Width - Panel->ClientWidth(), Form->height() + Height - Panel->ClientHeight());
        QTest::qWait(5);
    }
    return Form->ImageSpeedBar->ClientWidth() == Width && Form->ImageSpeedBar->ClientHeight() == Height;
}

QString TFormFixture::MakePicture(const QString &Name, int Width, int Height)
{
    QImage Picture(Width, Height, QImage::Format_RGB32);
    QPainter Painter(&Picture);
    Painter.fillRect(0, 0, Width / 2, Height / 2, QColor(200, 40, 40));
    Painter.fillRect(Width / 2, 0, Width - Width / 2, Height / 2, QColor(40, 200, 40));
    Painter.fillRect(0, Height / 2, Width / 2, Height - Height / 2, QColor(40, 40, 200));
    Painter.fillRect(Width / 2, Height / 2, Width - Width / 2, Height - Height / 2, QColor(220, 220, 40));
    Painter.end();
    const QString Path = PathOf(Name);
    Picture.save(Path, "BMP");
    return Path;
}

QString TFormFixture::MakePuzzleFile(const QString &Name, int Width, int Height, int Rows, int Cols)
{
    const QString Picture = MakePicture(Name + QStringLiteral(".bmp"), Width, Height);
    QImage Display;
    TPuzzle Puzzle(&Display, &ConcealmentTexture());
    Puzzle.LoadPicture(Picture);
    Puzzle.Setup(4, Rows, Cols, false, false, false);
    const QString Path = PathOf(Name);
    Puzzle.SaveToFile(Path);
    return Path;
}

void TFormFixture::New(const QString &PicturePath)
{
    Dialogs->OpenPictureAnswers << PicturePath;
    Run(Form->NewAction);
}

void TFormFixture::Open(const QString &PuzzlePath)
{
    Dialogs->OpenPuzzleAnswers << PuzzlePath;
    Run(Form->OpenAction);
}

void TFormFixture::Run(QAction *Command)
{
    // An idle pass first, as the event loop would have made one before the person could click.
    Form->ActionListUpdate();
    Command->trigger();
    Form->ActionListUpdate();
}

void TFormFixture::Solve()
{
    Form->Puzzle->Body.Reset();
    Form->Puzzle->Solved = true;
    Form->Puzzle->Deselect();
    Form->Puzzle->RenderAll();
    Form->ActionListUpdate();
}

QStringList TFormFixture::EnabledCommands() const
{
    QStringList Names;
    for (const QAction *Action : std::as_const(Form->ActionList))
        if (Action->isEnabled())
            Names << Action->objectName();
    return Names;
}
