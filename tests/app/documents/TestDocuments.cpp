// SPDX-License-Identifier: GPL-3.0-or-later
// The document flows of the main window: New, Open, Save As, Save Image As and the question that guards every
// flow that would discard an unsaved puzzle, closing the window included.
#include "../../HostilePictures.h"
#include "../../NonRegularFiles.h"
#include "../../PuzzleDocumentProbe.h"
#include "DecodeLimits.h"
#include "PictureView.h"
#include "PlayControllerProbe.h"
#include "WindowFixture.h"
#include "WindowTexts.h"

#include <QAction>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using namespace quorra;

namespace {

const QString Question = QStringLiteral("Confirm|Confirm|Save current puzzle?");

} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void newWithoutAPuzzle();
    void newCancelledAtThePictureChangesNothing();
    void confirmSave_data();
    void confirmSave();
    void tangledNewIsStillAsked();
    void openedPuzzleIsNotAsked();
    void newRefusesAFileWithoutAPicture_data();
    void newRefusesAFileWithoutAPicture();
    void openPlaysTheFile();
    void openRefusals_data();
    void openRefusals();
    void outOfMemoryIsToldPlainly_data();
    void outOfMemoryIsToldPlainly();
    void decodesWhileTheWindowAnswers_data();
    void decodesWhileTheWindowAnswers();
    void newRefusesWhatWouldNotFitInMemory();
};

void TestDocuments::newWithoutAPuzzle()
{
    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("my.photo.bmp"), 400, 300));
    QCOMPARE(f.dialogs->log, QStringList{"OpenPicture"});
    QVERIFY(f.form->documents().puzzle());
    QVERIFY(f.form->documents().puzzle()->isEditMode());
    QVERIFY(f.form->documents().document()->isModified());
    QCOMPARE(f.form->documents().puzzle()->effect(), 4);
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Quorra - my.photo"));
    QVERIFY(!PlayControllerProbe(f.form->play()).isMouseAttached());
    QCOMPARE(f.form->pictureView()->size(), QSize(400, 300));
}

void TestDocuments::newCancelledAtThePictureChangesNothing()
{
    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("a.bmp"), 400, 300));
    Puzzle *before = f.form->documents().puzzle();
    f.dialogs->log.clear();
    f.run(f.form->commands().action(Command::New)); // no answer: the dialog is cancelled
    QCOMPARE(f.dialogs->log, QStringList{"OpenPicture"});
    QCOMPARE(f.form->documents().puzzle(), before);
}

void TestDocuments::confirmSave_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<ConfirmAnswer>("answer");
    QTest::addColumn<QString>("saveTo"); // "" cancels the Save As dialog, "bad" names an unwritable place
    QTest::addColumn<bool>("goesOn");

    for (const char *command : {"New", "Open", "Close"}) {
        auto row = [command](const char *Case) -> QTestData & {
            return QTest::addRow("%s, %s", command, Case) << QString::fromLatin1(command);
        };
        row("No") << ConfirmAnswer::No << "" << true;
        row("Cancel") << ConfirmAnswer::Cancel << "" << false;
        row("Yes, saved") << ConfirmAnswer::Yes << "saved.nbq" << true;
        // Yes means "keep my work": a Save As that did not happen must not let the work be thrown away.
        row("Yes, Save As cancelled") << ConfirmAnswer::Yes << "" << false;
        row("Yes, Save As failed") << ConfirmAnswer::Yes << "bad" << false;
    }
}

void TestDocuments::confirmSave()
{
    QFETCH(QString, command);
    QFETCH(ConfirmAnswer, answer);
    QFETCH(QString, saveTo);
    QFETCH(bool, goesOn);

    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("first.bmp"), 400, 300));
    Puzzle *unsaved = f.form->documents().puzzle();
    const QString second = f.makePicture(QStringLiteral("second.bmp"), 300, 200);
    const QString puzzle = f.makePuzzleFile(QStringLiteral("other.nbq"), 300, 200);
    const QString savePath = saveTo == QLatin1String("bad") ? f.pathOf(QStringLiteral("missing/folder/x.nbq"))
                             : saveTo.isEmpty()             ? QString()
                                                            : f.pathOf(saveTo);
    f.dialogs->log.clear();
    f.dialogs->confirmAnswers << answer;
    if (!savePath.isEmpty())
        f.dialogs->savePuzzleAnswers << savePath;

    bool closed = false;
    if (command == QLatin1String("New"))
        f.New(second);
    else if (command == QLatin1String("Open"))
        f.open(puzzle);
    else
        closed = f.form->close();

    // The order of the questions: the file first (for New and Open), then whether to save.
    QStringList expected;
    if (command == QLatin1String("New"))
        expected << "OpenPicture";
    if (command == QLatin1String("Open"))
        expected << "OpenPuzzle";
    expected << Question;
    if (answer == ConfirmAnswer::Yes)
        expected << "SavePuzzle";
    const QStringList errors = f.dialogs->errors();
    for (const QString &error : errors)
        expected << QStringLiteral("Error|") + error;
    QCOMPARE(f.dialogs->log, expected);
    QCOMPARE(errors.size(), saveTo == QLatin1String("bad") ? 1 : 0);

    if (saveTo == QLatin1String("saved.nbq"))
        QVERIFY(QFile::exists(savePath));
    if (command == QLatin1String("Close")) {
        QCOMPARE(closed, goesOn);
        QCOMPARE(f.form->isVisible(), !goesOn);
    } else {
        QCOMPARE(f.form->documents().puzzle() != unsaved, goesOn);
    }
    if (!goesOn) {
        QCOMPARE(f.form->documents().puzzle(), unsaved);
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Quorra - first"));
        QVERIFY(f.form->documents().document()->isModified());
    }
}

void TestDocuments::tangledNewIsStillAsked()
{
    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("a.bmp"), 400, 300));
    f.run(f.form->commands().action(Command::Tangle));
    f.dialogs->log.clear();
    f.dialogs->confirmAnswers << ConfirmAnswer::No;
    f.New(f.makePicture(QStringLiteral("b.bmp"), 400, 300));
    QCOMPARE(f.dialogs->log, (QStringList{"OpenPicture", Question}));
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Quorra - b"));
}

void TestDocuments::openedPuzzleIsNotAsked()
{
    WindowFixture f;
    f.open(f.makePuzzleFile(QStringLiteral("a.nbq"), 400, 300));
    f.solve();
    f.dialogs->log.clear();
    f.New(f.makePicture(QStringLiteral("b.bmp"), 400, 300));
    QCOMPARE(f.dialogs->log, QStringList{"OpenPicture"});
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Quorra - b"));
}

void TestDocuments::newRefusesAFileWithoutAPicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("not a picture type") << "notes.txt" << QByteArray("BM not really");
    QTest::newRow("no extension") << "photo" << QByteArray("\xff\xd8\xff\xe0", 4);
    QTest::newRow("empty bitmap") << "empty.bmp" << QByteArray();
    QTest::newRow("damaged bitmap") << "damaged.bmp" << QByteArray("BM\x10\x00garbage", 11);
    QTest::newRow("damaged JPEG") << "damaged.jpg" << QByteArray("\xff\xd8\xff\xe0\x00\x10JFIF", 10);
    QTest::newRow("damaged GIF") << "damaged.gif" << QByteArray("GIF89a\x01");
}

void TestDocuments::newRefusesAFileWithoutAPicture()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);

    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("kept.bmp"), 400, 300));
    Puzzle *before = f.form->documents().puzzle();
    const QImage screen = *f.form->pictureView()->bitmap();
    const QPoint where = f.form->pictureView()->pos();

    QFile file(f.pathOf(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    f.dialogs->log.clear();
    f.dialogs->confirmAnswers << ConfirmAnswer::No;
    f.New(file.fileName());

    // Refused before the question: nothing was about to be discarded.
    QCOMPARE(f.dialogs->log.size(), 2);
    QCOMPARE(f.dialogs->log.at(0), QStringLiteral("OpenPicture"));
    QCOMPARE(f.dialogs->errors().size(), 1);
    QVERIFY2(f.dialogs->errors().at(0).contains(name), qPrintable(f.dialogs->errors().at(0)));
    QCOMPARE(f.form->documents().puzzle(), before);
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Quorra - kept"));
    QCOMPARE(*f.form->pictureView()->bitmap(), screen);
    QCOMPARE(f.form->pictureView()->pos(), where);
}

void TestDocuments::openPlaysTheFile()
{
    WindowFixture F;
    const QString Path = F.makePuzzleFile(QStringLiteral("three.nbq"), 360, 270, 3, 3);
    // The tangle is shown on screen, in the opened puzzle's own picture, with every command off as for Tangle.
    int Steps = 0;
    QStringList enabledDuring;
    bool ShownDuring = true;
    connect(F.form.get(), &MainWindow::tangleStepped, this, [&] {
        ++Steps;
        enabledDuring += F.enabledCommands();
        ShownDuring &= F.form->documents().puzzle() && F.form->documents().document()->fileName() == Path
                       && F.form->pictureView()->bitmap() == &F.form->documents().puzzle()->display()
                       && F.form->pictureView()->width() == 360;
    });
    F.open(Path);
    QCOMPARE(Steps, 5); // a 3 x 3 puzzle tangles in five shifts
    QCOMPARE(enabledDuring, QStringList());
    QVERIFY(ShownDuring);
    QCOMPARE(F.dialogs->log, QStringList{"OpenPuzzle"});
    QVERIFY(F.form->documents().puzzle());
    Puzzle &p = *F.form->documents().puzzle();
    QVERIFY(!p.grid().isSolved());
    QVERIFY(!p.isEditMode());
    QVERIFY(!p.isSolved());
    QVERIFY(!F.form->documents().document()->isModified());
    QCOMPARE(p.grid().rows(), 3);
    QCOMPARE(F.form->documents().document()->fileName(), Path);
    QCOMPARE(F.form->windowTitle(), QStringLiteral("Quorra - three"));
    QVERIFY(PlayControllerProbe(F.form->play()).isMouseAttached());
    QCOMPARE(F.form->pictureView()->size(), QSize(360, 270));
    QCOMPARE(F.form->pictureView()->bitmap(), &p.display());
    QVERIFY(F.form->commands().action(Command::SendByEMail)->isEnabled());
}

void TestDocuments::openRefusals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("missing file") << "missing" << QStringList{"OpenPuzzle"};
    QTest::newRow("later version") << "version 2"
                                   << QStringList{"OpenPuzzle",
                                                  "Message|Information|This puzzle requires Quorra version 2 or "
                                                  "later.|Stop",
                                                  "About"};
    QTest::newRow("damaged") << "damaged" << QStringList{"OpenPuzzle", "Error|*"};
    QTest::newRow("pipe") << "pipe" << QStringList{"OpenPuzzle", "Error|Cannot open file*"};
}

void TestDocuments::openRefusals()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, log);

    WindowFixture f;
    f.open(f.makePuzzleFile(QStringLiteral("current.nbq"), 400, 300));
    Puzzle *before = f.form->documents().puzzle();
    const QImage screen = *f.form->pictureView()->bitmap();
    const QRect view = f.form->pictureView()->geometry();
    const QString title = f.form->windowTitle();

    QString path = f.pathOf(QStringLiteral("absent.nbq"));
    if (kind == QLatin1String("pipe")) {
        path = f.pathOf(QStringLiteral("pipe.nbq"));
        QVERIFY(makeNonRegularFile(NonRegularFile::Fifo, path));
    } else if (kind != QLatin1String("missing")) {
        path = f.makePuzzleFile(QStringLiteral("other.nbq"), 300, 200, 3, 4);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (kind == QLatin1String("version 2")) {
            file.write(QByteArray("\x02\x00\x00\x00", 4));
        } else {
            const QByteArray head = file.read(900);
            file.resize(0);
            file.seek(0);
            file.write(head);
        }
        file.close();
    }
    f.dialogs->log.clear();
    int steps = 0;
    connect(f.form.get(), &MainWindow::tangleStepped, this, [&steps] { ++steps; });
    f.open(path);

    QCOMPARE(steps, 0);
    QCOMPARE(f.dialogs->log.size(), log.size());
    for (int i = 0; i < log.size(); ++i)
        if (log.at(i).endsWith(QLatin1Char('*')))
            QVERIFY(f.dialogs->log.at(i).startsWith(log.at(i).chopped(1)));
        else
            QCOMPARE(f.dialogs->log.at(i), log.at(i));
    QCOMPARE(f.form->documents().puzzle(), before);
    QCOMPARE(*f.form->pictureView()->bitmap(), screen);
    QCOMPARE(f.form->pictureView()->geometry(), view);
    QCOMPARE(f.form->windowTitle(), title);
    QVERIFY(PlayControllerProbe(f.form->play()).isMouseAttached());
}

void TestDocuments::outOfMemoryIsToldPlainly_data()
{
    QTest::addColumn<QString>("flow");
    QTest::addColumn<QString>("message");

    QTest::newRow("a command") << "command"
                               << "There is not enough memory to complete this command.";
    QTest::newRow("opening a puzzle") << "open"
                                      << "There is not enough memory to open this picture.";
    QTest::newRow("saving before the window closes") << "close"
                                                     << "There is not enough memory to complete this command.";
}

// An allocation that fails ends the flow with a plain sentence, and the window goes on with what it had.
void TestDocuments::outOfMemoryIsToldPlainly()
{
    QFETCH(QString, flow);
    QFETCH(QString, message);

    WindowFixture f;
    f.open(f.makePuzzleFile(QStringLiteral("current.nbq"), 400, 300));
    Puzzle *before = f.form->documents().puzzle();
    const QImage screen = *f.form->pictureView()->bitmap();
    f.dialogs->log.clear();
    connect(f.form.get(), &MainWindow::tangleStepped, this, [] { throw std::bad_alloc(); });

    if (flow == QLatin1String("command")) {
        f.form->guarded([] { throw std::bad_alloc(); });
    } else if (flow == QLatin1String("open")) {
        f.open(f.makePuzzleFile(QStringLiteral("other.nbq"), 300, 200, 3, 4));
    } else {
        PuzzleDocumentProbe(*f.form->documents().document()).setModified(true);
        f.dialogs->confirmAnswers << ConfirmAnswer::Yes;
        f.dialogs->savePuzzleAnswers << f.pathOf(QStringLiteral("saved.nbq"));
        QVERIFY(!f.form->close());
    }

    QCOMPARE(f.dialogs->errors(), QStringList{message});
    QVERIFY(f.form->isVisible());
    QCOMPARE(f.form->documents().puzzle(), before);
    if (flow == QLatin1String("open")) {
        QCOMPARE(f.form->documents().document()->fileName(), f.pathOf(QStringLiteral("current.nbq")));
        QCOMPARE(f.form->pictureView()->bitmap()->size(), screen.size());
    }
    // The commands are back on: the failure did not leave them suspended.
    f.form->updateCommands();
    QVERIFY(f.form->updateHandlerInstalled());
    QVERIFY(f.form->commands().action(Command::Open)->isEnabled());
    QVERIFY(PlayControllerProbe(f.form->play()).isMouseAttached());
}

void TestDocuments::decodesWhileTheWindowAnswers_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("New") << "New";
    QTest::newRow("Open") << "Open";
}

// A picture that takes a while to decode: the window's event loop turns meanwhile, under a busy cursor and with
// the commands off, and the flow ends as it always did.
void TestDocuments::decodesWhileTheWindowAnswers()
{
    QFETCH(QString, command);
    WindowFixture f;
    const bool isNew = command == QLatin1String("New");
    QString path;
    if (isNew) {
        path = f.pathOf(QStringLiteral("large.png"));
        QVERIFY(HostilePictures::writeFile(path, HostilePictures::zeroPng(12000, 12000, 8, 1, true)));
        f.dialogs->openPictureAnswers << path;
    } else {
        path = f.makePuzzleFile(QStringLiteral("large.nbq"), 3000, 2000);
        f.dialogs->openPuzzleAnswers << path;
    }
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(5);
    connect(&ticker, &QTimer::timeout, this, [&] { ticks += f.form->documents().isLoading() ? 1 : 0; });
    ticker.start();

    f.form->updateCommands();
    f.form->commands().action(isNew ? Command::New : Command::Open)->trigger();
    QVERIFY(f.form->documents().isLoading());
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    QVERIFY(!f.form->commands().action(Command::New)->isEnabled());
    QVERIFY(f.waitForLoad());
    if (isNew)
        QVERIFY(ticks > 0);

    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(f.dialogs->errors().isEmpty());
    QVERIFY(f.form->documents().puzzle());
    QCOMPARE(f.form->documents().puzzle()->pictureSize(), isNew ? QSize(12000, 12000) : QSize(3000, 2000));
    f.form->updateCommands();
    QVERIFY(f.form->commands().action(Command::New)->isEnabled());
}

// Refused from its header with the memory budget's reason, before the question about the puzzle on screen (each
// kind's refusal is the readers' test).
void TestDocuments::newRefusesWhatWouldNotFitInMemory()
{
    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("current.bmp"), 400, 300));
    Puzzle *before = f.form->documents().puzzle();
    const QString path = f.pathOf(QStringLiteral("deep.png"));
    QVERIFY(HostilePictures::writeFile(path, HostilePictures::zeroPng(16384, 16384, 16, 4, false)));
    f.dialogs->log.clear();
    f.New(path);
    const QString refusal = QString::fromLatin1(WindowTexts::PictureUnreadable)
                                .arg(QDir::toNativeSeparators(path), pictureNeedsTooMuchMemoryText());
    QCOMPARE(f.dialogs->log, (QStringList{"OpenPicture", QStringLiteral("Error|") + refusal}));
    QCOMPARE(f.form->documents().puzzle(), before);
}

QTEST_MAIN(TestDocuments)
#include "TestDocuments.moc"
