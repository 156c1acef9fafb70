// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of Save As and Save Image As from the window: what is tangled, cancelled, refused and written.
#include "../../NonRegularFiles.h"
#include "PlayControllerProbe.h"
#include "WindowFixture.h"

#include <QFile>
#include <QImageReader>
#include <QStandardPaths>
#include <QTest>

using namespace quorra;

class TestSaveAs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void saveAsInEditModeTangles();
    void savedOnTheWayIsTangledFirst_data();
    void savedOnTheWayIsTangledFirst();
    void saveAsCancelledChangesNothing();
    void saveAsOntoAPipeIsRefused();
    void saveImageWritesTheWholeSource();
};

void TestSaveAs::saveAsInEditModeTangles()
{
    WindowFixture F;
    F.New(F.makePicture(QStringLiteral("a.bmp"), 400, 300));
    const QString path = F.pathOf(QStringLiteral("b.nbq"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older file of that name");
    old.close();
    int steps = 0;
    connect(F.form.get(), &MainWindow::tangleStepped, this, [&] {
        ++steps;
        QVERIFY(!F.form->commands().action(Command::New)->isEnabled());
    });
    F.dialogs->savePuzzleAnswers << path;
    F.run(F.form->commands().action(Command::SaveAs));

    QVERIFY(steps > 0);
    QVERIFY(F.dialogs->errors().isEmpty());
    Puzzle &p = *F.form->documents().puzzle();
    QVERIFY(!p.isEditMode());
    QVERIFY(!F.form->documents().document()->isModified());
    QCOMPARE(F.form->documents().document()->fileName(), path);
    QCOMPARE(F.form->windowTitle(), QStringLiteral("Quorra - b")); // the file's name, no longer the picture's
    QVERIFY(PlayControllerProbe(F.form->play()).isMouseAttached());
    QVERIFY(F.form->commands().action(Command::SendByEMail)->isEnabled());
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.read(4), QByteArray("\x01\x00\x00\x00", 4));
}

void TestSaveAs::savedOnTheWayIsTangledFirst_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("New") << "New";
    QTest::newRow("Open") << "Open";
}

void TestSaveAs::savedOnTheWayIsTangledFirst()
{
    // The first save of a new puzzle, asked for before another takes its place, ends as Save As does: the saved
    // puzzle is tangled on screen before the next one is shown.
    QFETCH(QString, command);
    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("first.bmp"), 400, 300));
    const QString next = command == QLatin1String("New") ? f.makePicture(QStringLiteral("second.bmp"), 300, 200)
                                                         : f.makePuzzleFile(QStringLiteral("second.nbq"), 300, 200);
    const QString saved = f.pathOf(QStringLiteral("first.nbq"));
    int savedSteps = 0;
    connect(f.form.get(), &MainWindow::tangleStepped, this,
            [&] { savedSteps += f.form->documents().document()->fileName() == saved; });
    f.dialogs->confirmAnswers << ConfirmAnswer::Yes;
    f.dialogs->savePuzzleAnswers << saved;
    if (command == QLatin1String("New"))
        f.New(next);
    else
        f.open(next);
    QVERIFY(savedSteps > 0);
    QVERIFY(f.form->documents().document()->fileName() != saved);
}

void TestSaveAs::saveAsCancelledChangesNothing()
{
    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("a.bmp"), 400, 300));
    f.run(f.form->commands().action(Command::SaveAs));
    QCOMPARE(f.dialogs->log, (QStringList{"OpenPicture", "SavePuzzle"}));
    QVERIFY(f.form->documents().puzzle()->isEditMode());
    QVERIFY(f.form->documents().document()->isModified());
}

void TestSaveAs::saveAsOntoAPipeIsRefused()
{
    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("a.bmp"), 400, 300));
    const QString path = f.pathOf(QStringLiteral("pipe.nbq"));
    QVERIFY(makeNonRegularFile(NonRegularFile::Fifo, path));
    f.dialogs->savePuzzleAnswers << path;
    f.run(f.form->commands().action(Command::SaveAs));
    QCOMPARE(f.dialogs->errors(),
             QStringList{QStringLiteral("Cannot create file \"%1\". It is a named pipe, not a file.").arg(path)});
    QCOMPARE(fileType(path), mode_t(S_IFIFO));
    QVERIFY(f.form->documents().puzzle()->isEditMode());
    QVERIFY(f.form->documents().document()->isModified());
    QVERIFY(f.form->documents().document()->fileName().isEmpty());
    QVERIFY(f.form->commands().action(Command::New)->isEnabled());
}

void TestSaveAs::saveImageWritesTheWholeSource()
{
    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("a.bmp"), 400, 300));
    f.run(f.form->commands().action(Command::Tangle));
    f.run(f.form->commands().action(Command::SaveImageAs)); // not offered before the puzzle is solved
    QVERIFY(!f.dialogs->log.contains(QStringLiteral("SaveImage")));
    f.run(f.form->commands().action(Command::ZoomIn));
    f.solve();
    const QString path = f.pathOf(QStringLiteral("a.jpg"));
    f.dialogs->saveImageAnswers << path;
    f.run(f.form->commands().action(Command::SaveImageAs));
    QVERIFY(f.dialogs->errors().isEmpty());
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    QCOMPARE(reader.size(), QSize(400, 300));
    QVERIFY(f.form->documents().puzzle()->isSolved());
}

QTEST_MAIN(TestSaveAs)
#include "TestSaveAs.moc"
