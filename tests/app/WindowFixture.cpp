// SPDX-License-Identifier: GPL-3.0-or-later
// The main-window test fixture.
#include "WindowFixture.h"
#include "../PuzzleProbe.h"
#include "PlayControllerProbe.h"
#include "PuzzleDocument.h"

#include "FakeSoundPlayer.h"
#include "GameKeeper.h"
#include "PicturePanel.h"
#include "PlayStatus.h"
#include "WorkingBitmap.h"

#include <QAction>
#include <QCoreApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

namespace quorra {

WindowFixture::WindowFixture(int panelWidth, int panelHeight, bool show)
{
    auto fake = std::make_unique<FakeDialogs>();
    dialogs = fake.get();
    form = std::make_unique<MainWindow>(std::move(fake), [this] { return std::make_unique<FakeSoundPlayer>(&sounds); });
    auto fakePointer = std::make_unique<FakePointerControl>();
    pointer = fakePointer.get();
    form->play().setPointerControl(std::move(fakePointer));
    form->setTangleStepMs(0);
    form->setSlideFrameMs(0);
    form->setAdviceMs(0);
    PlayControllerProbe(form->play()).selectionSlide().setDurationMs(0);
    form->settings().storage().setIniFileName(settingsFile());
    // Games won in tests never reach a real user's record of results.
    form->playStatus().setResultBook(ResultBook(pathOf(QStringLiteral("data"))));
    // Nor do the games they leave in the middle.
    form->gameKeeper().setStore(KeptGames(pathOf(QStringLiteral("data"))));
    if (show) {
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qWarning("the window was not exposed");
        setPanelSize(panelWidth, panelHeight);
    }
}

WindowFixture::~WindowFixture()
{
    form.reset();
}

void WindowFixture::useRealPointer()
{
    pointer = nullptr;
    form->play().setPointerControl(std::make_unique<PointerControl>());
}

QStringList WindowFixture::played() const
{
    return sounds.filter(QRegularExpression(QStringLiteral("^Play\\|")));
}

bool WindowFixture::setPanelSize(int width, int height)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        PicturePanel *panel = form->picturePanel();
        if (panel->clientWidth() == width && panel->clientHeight() == height)
            return true;
        form->resize(form->width() + width - panel->clientWidth(), form->height() + height - panel->clientHeight());
        QTest::qWait(5);
    }
    return form->picturePanel()->clientWidth() == width && form->picturePanel()->clientHeight() == height;
}

QString WindowFixture::makePicture(const QString &name, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.fillRect(0, 0, width / 2, height / 2, QColor(200, 40, 40));
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, QColor(40, 200, 40));
    painter.fillRect(0, height / 2, width / 2, height - height / 2, QColor(40, 40, 200));
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, QColor(220, 220, 40));
    painter.end();
    const QString path = pathOf(name);
    picture.save(path, "BMP");
    return path;
}

QString WindowFixture::makePuzzleFile(const QString &name, int width, int height, int rows, int cols)
{
    const QString picture = makePicture(name + QStringLiteral(".bmp"), width, height);
    QImage display;
    PuzzleDocument document(&display, &concealmentTexture());
    document.loadPicture(picture);
    document.setUp(4, rows, cols, false, false, false);
    const QString path = pathOf(name);
    document.save(path);
    return path;
}

void WindowFixture::New(const QString &picturePath)
{
    dialogs->openPictureAnswers << picturePath;
    run(form->commands().action(Command::New));
}

void WindowFixture::open(const QString &puzzlePath)
{
    dialogs->openPuzzleAnswers << puzzlePath;
    run(form->commands().action(Command::Open));
}

void WindowFixture::run(QAction *command)
{
    // An update first, as the window would have made one after the last change before the person could click.
    form->updateCommands();
    command->trigger();
    waitForLoad();
    form->updateCommands();
}

bool WindowFixture::waitForLoad()
{
    // New and Open decode on a worker thread; their flows end back on the event loop, after the tangle they show.
    return QTest::qWaitFor([this] { return !form->documents().isLoading() && !form->documents().isAnimating(); },
                           60000);
}

void WindowFixture::solve()
{
    PuzzleProbe(*form->documents().puzzle()).grid().reset();
    PuzzleProbe(*form->documents().puzzle()).setSolved(true);
    form->documents().puzzle()->deselect();
    form->documents().puzzle()->renderAll();
    form->updateCommands();
}

QStringList WindowFixture::enabledCommands() const
{
    QStringList names;
    for (const QAction *action : std::as_const(form->commands().actions()))
        if (action->isEnabled())
            names << action->objectName();
    return names;
}

} // namespace quorra
