// The document flows of the main window: New, Open, Save As, Save Image As and the question that guards every
// flow that would discard an unsaved puzzle, closing the window included.
#include "TFormFixture.h"
#include "TPictureControl.h"
#include "../NonRegularFiles.h"

#include <QAction>
#include <QFile>
#include <QImageReader>
#include <QStandardPaths>
#include <QTest>

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
    void saveAsInEditModeTangles();
    void saveAsCancelledChangesNothing();
    void saveAsOntoAPipeIsRefused();
    void saveImageWritesTheWholeSource();
    void outOfMemoryIsToldPlainly_data();
    void outOfMemoryIsToldPlainly();
};

void TestDocuments::newWithoutAPuzzle()
{
    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("my.photo.bmp"), 400, 300));
    QCOMPARE(F.Dialogs->Log, QStringList{"OpenPicture"});
    QVERIFY(F.Form->Puzzle);
    QVERIFY(F.Form->Puzzle->EditMode);
    QVERIFY(F.Form->Puzzle->Modified);
    QCOMPARE(F.Form->Puzzle->Effect, 4);
    QCOMPARE(F.Form->windowTitle(), QStringLiteral("Quorra - my.photo"));
    QVERIFY(!F.Form->ImageMouseAttached());
    QCOMPARE(F.Form->Image->size(), QSize(400, 300));
}

void TestDocuments::newCancelledAtThePictureChangesNothing()
{
    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("a.bmp"), 400, 300));
    TPuzzle *Before = F.Form->Puzzle.get();
    F.Dialogs->Log.clear();
    F.Run(F.Form->NewAction); // no answer: the dialog is cancelled
    QCOMPARE(F.Dialogs->Log, QStringList{"OpenPicture"});
    QCOMPARE(F.Form->Puzzle.get(), Before);
}

void TestDocuments::confirmSave_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<TConfirmAnswer>("answer");
    QTest::addColumn<QString>("saveTo"); // "" cancels the Save As dialog, "bad" names an unwritable place
    QTest::addColumn<bool>("goesOn");

    for (const char *Command : {"New", "Open", "Close"}) {
        auto Row = [Command](const char *Case) -> QTestData & {
            return QTest::addRow("%s, %s", Command, Case) << QString::fromLatin1(Command);
        };
        Row("No") << TConfirmAnswer::No << "" << true;
        Row("Cancel") << TConfirmAnswer::Cancel << "" << false;
        Row("Yes, saved") << TConfirmAnswer::Yes << "saved.nbq" << true;
        // Yes means "keep my work": a Save As that did not happen must not let the work be thrown away.
        Row("Yes, Save As cancelled") << TConfirmAnswer::Yes << "" << false;
        Row("Yes, Save As failed") << TConfirmAnswer::Yes << "bad" << false;
    }
}

void TestDocuments::confirmSave()
{
    QFETCH(QString, command);
    QFETCH(TConfirmAnswer, answer);
    QFETCH(QString, saveTo);
    QFETCH(bool, goesOn);

    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("first.bmp"), 400, 300));
    TPuzzle *Unsaved = F.Form->Puzzle.get();
    const QString Second = F.MakePicture(QStringLiteral("second.bmp"), 300, 200);
    const QString Puzzle = F.MakePuzzleFile(QStringLiteral("other.nbq"), 300, 200);
    const QString SavePath = saveTo == QLatin1String("bad") ? F.PathOf(QStringLiteral("missing/folder/x.nbq"))
                             : saveTo.isEmpty()             ? QString()
                                                            : F.PathOf(saveTo);
    F.Dialogs->Log.clear();
    F.Dialogs->ConfirmAnswers << answer;
    if (!SavePath.isEmpty())
        F.Dialogs->SavePuzzleAnswers << SavePath;

    bool Closed = false;
    if (command == QLatin1String("New"))
        F.New(Second);
    else if (command == QLatin1String("Open"))
        F.Open(Puzzle);
    else
        Closed = F.Form->close();

    // The order of the questions: the file first (for New and Open), then whether to save.
    QStringList Expected;
    if (command == QLatin1String("New"))
        Expected << "OpenPicture";
    if (command == QLatin1String("Open"))
        Expected << "OpenPuzzle";
    Expected << Question;
    if (answer == TConfirmAnswer::Yes)
        Expected << "SavePuzzle";
    const QStringList Errors = F.Dialogs->Errors();
    for (const QString &Error : Errors)
        Expected << QStringLiteral("Error|") + Error;
    QCOMPARE(F.Dialogs->Log, Expected);
    QCOMPARE(Errors.size(), saveTo == QLatin1String("bad") ? 1 : 0);

    if (saveTo == QLatin1String("saved.nbq"))
        QVERIFY(QFile::exists(SavePath));
    if (command == QLatin1String("Close")) {
        QCOMPARE(Closed, goesOn);
        QCOMPARE(F.Form->isVisible(), !goesOn);
    } else {
        QCOMPARE(F.Form->Puzzle.get() != Unsaved, goesOn);
    }
    if (!goesOn) {
        QCOMPARE(F.Form->Puzzle.get(), Unsaved);
        QCOMPARE(F.Form->windowTitle(), QStringLiteral("Quorra - first"));
        QVERIFY(F.Form->Puzzle->Modified);
    }
}

void TestDocuments::tangledNewIsStillAsked()
{
    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("a.bmp"), 400, 300));
    F.Run(F.Form->TangleAction);
    F.Dialogs->Log.clear();
    F.Dialogs->ConfirmAnswers << TConfirmAnswer::No;
    F.New(F.MakePicture(QStringLiteral("b.bmp"), 400, 300));
    QCOMPARE(F.Dialogs->Log, (QStringList{"OpenPicture", Question}));
    QCOMPARE(F.Form->windowTitle(), QStringLiteral("Quorra - b"));
}

void TestDocuments::openedPuzzleIsNotAsked()
{
    TFormFixture F;
    F.Open(F.MakePuzzleFile(QStringLiteral("a.nbq"), 400, 300));
    F.Solve();
    F.Dialogs->Log.clear();
    F.New(F.MakePicture(QStringLiteral("b.bmp"), 400, 300));
    QCOMPARE(F.Dialogs->Log, QStringList{"OpenPicture"});
    QCOMPARE(F.Form->windowTitle(), QStringLiteral("Quorra - b"));
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

    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("kept.bmp"), 400, 300));
    TPuzzle *Before = F.Form->Puzzle.get();
    const QImage Screen = *F.Form->Image->Bitmap();
    const QPoint Where = F.Form->Image->pos();

    QFile File(F.PathOf(name));
    QVERIFY(File.open(QIODevice::WriteOnly));
    File.write(content);
    File.close();
    F.Dialogs->Log.clear();
    F.Dialogs->ConfirmAnswers << TConfirmAnswer::No;
    F.New(File.fileName());

    // Refused before the question: nothing was about to be discarded.
    QCOMPARE(F.Dialogs->Log.size(), 2);
    QCOMPARE(F.Dialogs->Log.at(0), QStringLiteral("OpenPicture"));
    QCOMPARE(F.Dialogs->Errors().size(), 1);
    QVERIFY2(F.Dialogs->Errors().at(0).contains(name), qPrintable(F.Dialogs->Errors().at(0)));
    QCOMPARE(F.Form->Puzzle.get(), Before);
    QCOMPARE(F.Form->windowTitle(), QStringLiteral("Quorra - kept"));
    QCOMPARE(*F.Form->Image->Bitmap(), Screen);
    QCOMPARE(F.Form->Image->pos(), Where);
}

void TestDocuments::openPlaysTheFile()
{
    TFormFixture F;
    const QString Path = F.MakePuzzleFile(QStringLiteral("three.nbq"), 360, 270, 3, 3);
    // The tangle is shown on screen, in the opened puzzle's own picture, with every command off as for Tangle.
    int Steps = 0;
    QStringList EnabledDuring;
    bool ShownDuring = true;
    connect(F.Form.get(), &TNimbrelMainForm::TangleStepped, this, [&] {
        ++Steps;
        EnabledDuring += F.EnabledCommands();
        ShownDuring &= F.Form->Puzzle && F.Form->Puzzle->FileName == Path &&
                       F.Form->Image->Bitmap() == F.Form->Puzzle->Display && F.Form->Image->width() == 360;
    });
    F.Open(Path);
    QCOMPARE(Steps, 5); // a 3 x 3 puzzle tangles in five shifts
    QCOMPARE(EnabledDuring, QStringList());
    QVERIFY(ShownDuring);
    QCOMPARE(F.Dialogs->Log, QStringList{"OpenPuzzle"});
    QVERIFY(F.Form->Puzzle);
    TPuzzle &P = *F.Form->Puzzle;
    QVERIFY(!P.Body.IsSolved());
    QVERIFY(!P.EditMode);
    QVERIFY(!P.Solved);
    QVERIFY(!P.Modified);
    QCOMPARE(P.Body.Rows, 3);
    QCOMPARE(P.FileName, Path);
    QCOMPARE(F.Form->windowTitle(), QStringLiteral("Quorra - "));
    QVERIFY(F.Form->ImageMouseAttached());
    QCOMPARE(F.Form->Image->size(), QSize(360, 270));
    QCOMPARE(F.Form->Image->Bitmap(), P.Display);
    QVERIFY(F.Form->SendByEMailAction->isEnabled());
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

    TFormFixture F;
    F.Open(F.MakePuzzleFile(QStringLiteral("current.nbq"), 400, 300));
    TPuzzle *Before = F.Form->Puzzle.get();
    const QImage Screen = *F.Form->Image->Bitmap();
    const QRect View = F.Form->Image->geometry();
    const QString Title = F.Form->windowTitle();

    QString Path = F.PathOf(QStringLiteral("absent.nbq"));
    if (kind == QLatin1String("pipe")) {
        Path = F.PathOf(QStringLiteral("pipe.nbq"));
        QVERIFY(MakeNonRegularFile(TNonRegularFile::Fifo, Path));
    } else if (kind != QLatin1String("missing")) {
        Path = F.MakePuzzleFile(QStringLiteral("other.nbq"), 300, 200, 3, 4);
        QFile File(Path);
        QVERIFY(File.open(QIODevice::ReadWrite));
        if (kind == QLatin1String("version 2")) {
            File.write(QByteArray("\x02\x00\x00\x00", 4));
        } else {
            const QByteArray Head = File.read(900);
            File.resize(0);
            File.seek(0);
            File.write(Head);
        }
        File.close();
    }
    F.Dialogs->Log.clear();
    int Steps = 0;
    connect(F.Form.get(), &TNimbrelMainForm::TangleStepped, this, [&Steps] { ++Steps; });
    F.Open(Path);

    QCOMPARE(Steps, 0);
    QCOMPARE(F.Dialogs->Log.size(), log.size());
    for (int I = 0; I < log.size(); ++I)
        if (log.at(I).endsWith(QLatin1Char('*')))
            QVERIFY(F.Dialogs->Log.at(I).startsWith(log.at(I).chopped(1)));
        else
            QCOMPARE(F.Dialogs->Log.at(I), log.at(I));
    QCOMPARE(F.Form->Puzzle.get(), Before);
    QCOMPARE(*F.Form->Image->Bitmap(), Screen);
    QCOMPARE(F.Form->Image->geometry(), View);
    QCOMPARE(F.Form->windowTitle(), Title);
    QVERIFY(F.Form->ImageMouseAttached());
}

void TestDocuments::saveAsInEditModeTangles()
{
    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("a.bmp"), 400, 300));
    const QString Path = F.PathOf(QStringLiteral("a.nbq"));
    QFile Old(Path);
    QVERIFY(Old.open(QIODevice::WriteOnly));
    Old.write("an older file of that name");
    Old.close();
    int Steps = 0;
    connect(F.Form.get(), &TNimbrelMainForm::TangleStepped, this, [&] {
        ++Steps;
        QVERIFY(!F.Form->NewAction->isEnabled());
    });
    F.Dialogs->SavePuzzleAnswers << Path;
    F.Run(F.Form->SaveAsAction);

    QVERIFY(Steps > 0);
    QVERIFY(F.Dialogs->Errors().isEmpty());
    TPuzzle &P = *F.Form->Puzzle;
    QVERIFY(!P.EditMode);
    QVERIFY(!P.Modified);
    QCOMPARE(P.FileName, Path);
    QVERIFY(F.Form->ImageMouseAttached());
    QVERIFY(F.Form->SendByEMailAction->isEnabled());
    QFile Saved(Path);
    QVERIFY(Saved.open(QIODevice::ReadOnly));
    QCOMPARE(Saved.read(4), QByteArray("\x01\x00\x00\x00", 4));
}

void TestDocuments::saveAsCancelledChangesNothing()
{
    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("a.bmp"), 400, 300));
    F.Run(F.Form->SaveAsAction);
    QCOMPARE(F.Dialogs->Log, (QStringList{"OpenPicture", "SavePuzzle"}));
    QVERIFY(F.Form->Puzzle->EditMode);
    QVERIFY(F.Form->Puzzle->Modified);
}

void TestDocuments::saveAsOntoAPipeIsRefused()
{
    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("a.bmp"), 400, 300));
    const QString Path = F.PathOf(QStringLiteral("pipe.nbq"));
    QVERIFY(MakeNonRegularFile(TNonRegularFile::Fifo, Path));
    F.Dialogs->SavePuzzleAnswers << Path;
    F.Run(F.Form->SaveAsAction);
    QCOMPARE(F.Dialogs->Errors(),
             QStringList{QStringLiteral("Cannot create file \"%1\". It is a named pipe, not a file.").arg(Path)});
    QCOMPARE(FileType(Path), mode_t(S_IFIFO));
    QVERIFY(F.Form->Puzzle->EditMode);
    QVERIFY(F.Form->Puzzle->Modified);
    QVERIFY(F.Form->Puzzle->FileName.isEmpty());
    QVERIFY(F.Form->NewAction->isEnabled());
}

void TestDocuments::saveImageWritesTheWholeSource()
{
    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("a.bmp"), 400, 300));
    F.Run(F.Form->TangleAction);
    F.Run(F.Form->SaveImageAsAction); // not offered before the puzzle is solved
    QVERIFY(!F.Dialogs->Log.contains(QStringLiteral("SaveImage")));
    F.Run(F.Form->ZoomInAction);
    F.Solve();
    const QString Path = F.PathOf(QStringLiteral("a.jpg"));
    F.Dialogs->SaveImageAnswers << Path;
    F.Run(F.Form->SaveImageAsAction);
    QVERIFY(F.Dialogs->Errors().isEmpty());
    QImageReader Reader(Path);
    QCOMPARE(Reader.format(), QByteArray("jpeg"));
    QCOMPARE(Reader.size(), QSize(400, 300));
    QVERIFY(F.Form->Puzzle->Solved);
}

void TestDocuments::outOfMemoryIsToldPlainly_data()
{
    QTest::addColumn<QString>("flow");
    QTest::addColumn<QString>("message");

    QTest::newRow("a command") << "command" << "There is not enough memory to complete this command.";
    QTest::newRow("opening a puzzle") << "open" << "There is not enough memory to open this picture.";
    QTest::newRow("saving before the window closes") << "close"
                                                      << "There is not enough memory to complete this command.";
}

// An allocation that fails ends the flow with a plain sentence, and the window goes on with what it had.
void TestDocuments::outOfMemoryIsToldPlainly()
{
    QFETCH(QString, flow);
    QFETCH(QString, message);

    TFormFixture F;
    F.Open(F.MakePuzzleFile(QStringLiteral("current.nbq"), 400, 300));
    TPuzzle *Before = F.Form->Puzzle.get();
    const QImage Screen = *F.Form->Image->Bitmap();
    F.Dialogs->Log.clear();
    connect(F.Form.get(), &TNimbrelMainForm::TangleStepped, this, [] { throw std::bad_alloc(); });

    if (flow == QLatin1String("command")) {
        F.Form->Guarded([] { throw std::bad_alloc(); });
    } else if (flow == QLatin1String("open")) {
        F.Open(F.MakePuzzleFile(QStringLiteral("other.nbq"), 300, 200, 3, 4));
    } else {
        F.Form->Puzzle->Modified = true;
        F.Dialogs->ConfirmAnswers << TConfirmAnswer::Yes;
        F.Dialogs->SavePuzzleAnswers << F.PathOf(QStringLiteral("saved.nbq"));
        QVERIFY(!F.Form->close());
    }

    QCOMPARE(F.Dialogs->Errors(), QStringList{message});
    QVERIFY(F.Form->isVisible());
    QCOMPARE(F.Form->Puzzle.get(), Before);
    if (flow == QLatin1String("open")) {
        QCOMPARE(F.Form->Puzzle->FileName, F.PathOf(QStringLiteral("current.nbq")));
        QCOMPARE(F.Form->Image->Bitmap()->size(), Screen.size());
    }
    // The commands are back on: the failure did not leave them suspended.
    F.Form->ActionListUpdate();
    QVERIFY(F.Form->UpdateHandlerInstalled());
    QVERIFY(F.Form->OpenAction->isEnabled());
    QVERIFY(F.Form->ImageMouseAttached());
}

QTEST_MAIN(TestDocuments)
#include "TestDocuments.moc"
