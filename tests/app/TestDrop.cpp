// Files dropped on the main window: puzzles open, pictures make new puzzles, the rest is refused.
#include "TFormFixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

namespace {

// Drags the files over the window and lets go; true when the window took the drop.
bool DropFiles(TNimbrelMainForm &Form, const QList<QUrl> &Urls)
{
    QMimeData Data;
    Data.setUrls(Urls);
    const QPoint At = Form.rect().center();
    QDragEnterEvent Enter(At, Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Form, &Enter);
    QDropEvent Drop(QPointF(At), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Form, &Drop);
    return Enter.isAccepted() && Drop.isAccepted();
}

} // namespace

class TestDrop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void kinds_data();
    void kinds();
    void pictureAsksToSaveFirst_data();
    void pictureAsksToSaveFirst();
    void refusedWhileTangling();
};

void TestDrop::kinds_data()
{
    QTest::addColumn<QString>("file");  // made by the fixture, or copied from the test data
    QTest::addColumn<QString>("result"); // "open", "new", "message" or "refused"

    QTest::newRow("puzzle file") << "made.nbq" << "open";
    QTest::newRow("BMP picture") << "made.bmp" << "new";
    QTest::newRow("JPEG, upper-case extension") << "UPPER-CASE.JPG" << "new";
    QTest::newRow("GIF picture") << "gif87a.gif" << "new";
    QTest::newRow("PNG picture") << "png-extension.png" << "message";
    QTest::newRow("JPEG named .jpeg") << "jpeg-extension.jpeg" << "message";
    QTest::newRow("two files") << "made.nbq+made.bmp" << "refused";
    QTest::newRow("web address") << "https://example.org/a.nbq" << "refused";
}

void TestDrop::kinds()
{
    QFETCH(QString, file);
    QFETCH(QString, result);

    TFormFixture F;
    QList<QUrl> Urls;
    for (const QString &Name : file.split(QLatin1Char('+'))) {
        if (Name.startsWith(QLatin1String("https:"))) {
            Urls << QUrl(Name);
        } else if (Name == QLatin1String("made.nbq")) {
            Urls << QUrl::fromLocalFile(F.MakePuzzleFile(Name, 300, 200, 3, 2));
        } else if (Name == QLatin1String("made.bmp")) {
            Urls << QUrl::fromLocalFile(F.MakePicture(Name, 300, 200));
        } else {
            const QString Copy = F.PathOf(Name);
            QVERIFY(QFile::copy(QStringLiteral(QUORRA_TEST_DATA "/") + Name, Copy));
            Urls << QUrl::fromLocalFile(Copy);
        }
    }

    QCOMPARE(DropFiles(*F.Form, Urls), result != QLatin1String("refused"));
    QTest::qWait(20); // the dropped file is taken up once the drop has ended
    if (result == QLatin1String("open")) {
        QVERIFY(F.Form->Puzzle);
        QCOMPARE(F.Form->Puzzle->FileName, Urls.first().toLocalFile());
        QVERIFY(!F.Form->Puzzle->EditMode);
    } else if (result == QLatin1String("new")) {
        QVERIFY(F.Form->Puzzle);
        QVERIFY(F.Form->Puzzle->EditMode);
        QVERIFY(F.Form->Puzzle->Modified);
    } else {
        QVERIFY(!F.Form->Puzzle);
    }
    if (result == QLatin1String("message")) {
        QCOMPARE(F.Dialogs->Log.size(), 1);
        QVERIFY2(F.Dialogs->Log.first().startsWith(QStringLiteral("Message|Information|\"") +
                                                    Urls.first().toLocalFile() + QStringLiteral("\" cannot be opened")),
                 qPrintable(F.Dialogs->Log.first()));
    } else {
        QVERIFY2(F.Dialogs->Log.isEmpty(), qPrintable(F.Dialogs->Log.join(QLatin1Char('\n'))));
    }
}

void TestDrop::pictureAsksToSaveFirst_data()
{
    QTest::addColumn<TConfirmAnswer>("answer");
    QTest::addColumn<bool>("replaced");

    QTest::newRow("No") << TConfirmAnswer::No << true;
    QTest::newRow("Cancel") << TConfirmAnswer::Cancel << false;
}

// A dropped picture takes the place of the picture dialog only; an unsaved puzzle is asked about as always.
void TestDrop::pictureAsksToSaveFirst()
{
    QFETCH(TConfirmAnswer, answer);
    QFETCH(bool, replaced);

    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("first.bmp"), 300, 200));
    const TPuzzle *First = F.Form->Puzzle.get();
    F.Dialogs->Log.clear();
    F.Dialogs->ConfirmAnswers << answer;
    QVERIFY(DropFiles(*F.Form, {QUrl::fromLocalFile(F.MakePicture(QStringLiteral("second.bmp"), 200, 300))}));
    QTRY_COMPARE(F.Dialogs->Log, QStringList{QStringLiteral("Confirm|Confirm|Save current puzzle?")});
    QCOMPARE(F.Form->Puzzle.get() != First, replaced);
    QCOMPARE(F.Form->Puzzle->Source.width(), replaced ? 200 : 300);
}

// While a tangle is shown nothing may take the puzzle away, dropped files included.
void TestDrop::refusedWhileTangling()
{
    TFormFixture F;
    const QString Picture = F.MakePicture(QStringLiteral("p.bmp"), 300, 200);
    const QString Other = F.MakePuzzleFile(QStringLiteral("other.nbq"), 200, 200);
    F.New(Picture);
    F.Dialogs->Log.clear();
    F.Form->TangleStepMs = 1;
    QList<bool> Taken;
    QObject::connect(F.Form.get(), &TNimbrelMainForm::TangleStepped, F.Form.get(), [&] {
        if (Taken.isEmpty())
            Taken << DropFiles(*F.Form, {QUrl::fromLocalFile(Other)});
    });
    F.Run(F.Form->TangleAction);
    QCOMPARE(Taken, QList<bool>{false});
    QTest::qWait(100);
    QVERIFY(F.Form->Puzzle->FileName.isEmpty()); // still the new puzzle, now tangled
    QVERIFY(!F.Form->Puzzle->EditMode);
    QVERIFY(F.Dialogs->Log.isEmpty());
}

QTEST_MAIN(TestDrop)
#include "TestDrop.moc"
