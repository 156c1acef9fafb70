// SPDX-License-Identifier: GPL-3.0-or-later
// Files dropped on the main window: puzzles open, pictures make new puzzles, the rest is refused.
#include "PictureView.h"
#include "WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

#include <cstdio>

using namespace quorra;

namespace {

// Drags the files over the window and lets go; true when the window took the drop.
bool dropFiles(MainWindow &form, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = form.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
    return enter.isAccepted() && drop.isAccepted();
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
    void takenOnceTheAdviceEnds();
};

void TestDrop::kinds_data()
{
    QTest::addColumn<QString>("file");   // made by the fixture, or copied from the test data
    QTest::addColumn<QString>("result"); // "open", "new", "message", "unreadable" or "refused"

    QTest::newRow("puzzle file") << "made.nbq"
                                 << "open";
    QTest::newRow("BMP picture") << "made.bmp"
                                 << "new";
    QTest::newRow("JPEG, upper-case extension") << "UPPER-CASE.JPG"
                                                << "new";
    QTest::newRow("GIF picture") << "gif87a.gif"
                                 << "new";
    QTest::newRow("PNG picture") << "png-extension.png"
                                 << "new";
    QTest::newRow("JPEG named .jpeg") << "jpeg-extension.jpeg"
                                      << "new";
    QTest::newRow("JPEG named .JPE") << "jpe-extension.JPE"
                                     << "new";
    QTest::newRow("JPEG named .Jfif") << "jfif-extension.Jfif"
                                      << "new";
    QTest::newRow("WebP picture") << "lossless.webp"
                                  << "new";
    QTest::newRow("TIFF picture") << "lzw.tif"
                                  << "new";
    QTest::newRow("video") << "loop-one-second.avi"
                           << "message";
    QTest::newRow("damaged PNG") << "truncated.png"
                                 << "unreadable";
    // Bytes that are not UTF-8 in the name, as files from old archives have.
    QTest::newRow("puzzle file, name not UTF-8") << "foreign.nbq"
                                                 << "open";
    QTest::newRow("picture, name not UTF-8") << "foreign.bmp"
                                             << "new";
    QTest::newRow("two files") << "made.nbq+made.bmp"
                               << "refused";
    QTest::newRow("web address") << "https://example.org/a.nbq"
                                 << "refused";
}

void TestDrop::kinds()
{
    QFETCH(QString, file);
    QFETCH(QString, result);

    WindowFixture f;
    QList<QUrl> urls;
    QByteArray foreign;
    // Qt cannot remove a file under a name that is not UTF-8 along with its folder.
    const auto removeForeign = qScopeGuard([&foreign] {
        if (!foreign.isEmpty())
            std::remove(foreign.constData());
    });
    for (const QString &name : file.split(QLatin1Char('+'))) {
        if (name.startsWith(QLatin1String("https:"))) {
            urls << QUrl(name);
        } else if (name == QLatin1String("made.nbq")) {
            urls << QUrl::fromLocalFile(f.makePuzzleFile(name, 300, 200, 3, 2));
        } else if (name == QLatin1String("made.bmp")) {
            urls << QUrl::fromLocalFile(f.makePicture(name, 300, 200));
        } else if (name.startsWith(QLatin1String("foreign."))) {
            const QString made = name.endsWith(QLatin1String(".nbq")) ? f.makePuzzleFile(name, 300, 200, 3, 2)
                                                                      : f.makePicture(name, 300, 200);
            foreign =
                QFile::encodeName(f.pathOf(QStringLiteral("caf"))) + "\xe9." + QFileInfo(name).suffix().toLatin1();
            QCOMPARE(::rename(QFile::encodeName(made).constData(), foreign.constData()), 0);
            urls << QUrl::fromEncoded("file://" + foreign.toPercentEncoding("/"));
        } else {
            const QString copy = f.pathOf(name);
            QVERIFY(QFile::copy(QStringLiteral(QUORRA_TEST_DATA "/") + name, copy));
            urls << QUrl::fromLocalFile(copy);
        }
    }

    QCOMPARE(dropFiles(*f.form, urls), result != QLatin1String("refused"));
    QTest::qWait(20); // the dropped file is taken up once the drop has ended
    QVERIFY(f.waitForLoad());
    if (result == QLatin1String("open")) {
        QVERIFY(f.form->documents().puzzle());
        const QString opened = f.form->documents().document()->fileName();
        // A name that is not UTF-8 is reached through a link that shows it as well as it can.
        if (file.startsWith(QLatin1String("foreign")))
            QCOMPARE(QFileInfo(opened).fileName(), QFileInfo(urls.first().toLocalFile()).fileName());
        else
            QCOMPARE(opened, urls.first().toLocalFile());
        QVERIFY(!f.form->documents().puzzle()->isEditMode());
    } else if (result == QLatin1String("new")) {
        QVERIFY(f.form->documents().puzzle());
        QVERIFY(f.form->documents().puzzle()->isEditMode());
        QVERIFY(f.form->documents().document()->isModified());
    } else {
        QVERIFY(!f.form->documents().puzzle());
    }
    if (result == QLatin1String("message")) {
        QCOMPARE(f.dialogs->log.size(), 1);
        QVERIFY2(f.dialogs->log.first().startsWith(QStringLiteral("Message|Information|\"") + urls.first().toLocalFile()
                                                   + QStringLiteral("\" cannot be opened")),
                 qPrintable(f.dialogs->log.first()));
    } else if (result == QLatin1String("unreadable")) {
        // The picture's own reader says what is wrong, under the file's name.
        QCOMPARE(f.dialogs->log.size(), 1);
        QVERIFY2(f.dialogs->log.first().contains(QStringLiteral("The picture \"") + urls.first().toLocalFile()
                                                 + QStringLiteral("\" cannot be read.\nPNG image is not valid")),
                 qPrintable(f.dialogs->log.first()));
    } else {
        QVERIFY2(f.dialogs->log.isEmpty(), qPrintable(f.dialogs->log.join(QLatin1Char('\n'))));
    }
}

void TestDrop::pictureAsksToSaveFirst_data()
{
    QTest::addColumn<ConfirmAnswer>("answer");
    QTest::addColumn<bool>("replaced");

    QTest::newRow("No") << ConfirmAnswer::No << true;
    QTest::newRow("Cancel") << ConfirmAnswer::Cancel << false;
}

// A dropped picture takes the place of the picture dialog only; an unsaved puzzle is asked about as always.
void TestDrop::pictureAsksToSaveFirst()
{
    QFETCH(ConfirmAnswer, answer);
    QFETCH(bool, replaced);

    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("first.bmp"), 300, 200));
    const Puzzle *first = f.form->documents().puzzle();
    f.dialogs->log.clear();
    f.dialogs->confirmAnswers << answer;
    QVERIFY(dropFiles(*f.form, {QUrl::fromLocalFile(f.makePicture(QStringLiteral("second.bmp"), 200, 300))}));
    QTRY_COMPARE(f.dialogs->log, QStringList{QStringLiteral("Confirm|Confirm|Save current puzzle?")});
    QCOMPARE(f.form->documents().puzzle() != first, replaced);
    QCOMPARE(f.form->documents().puzzle()->source().width(), replaced ? 200 : 300);
}

// While a tangle is shown nothing may take the puzzle away, dropped files included.
void TestDrop::refusedWhileTangling()
{
    WindowFixture F;
    const QString picture = F.makePicture(QStringLiteral("p.bmp"), 300, 200);
    const QString Other = F.makePuzzleFile(QStringLiteral("other.nbq"), 200, 200);
    F.New(picture);
    F.dialogs->log.clear();
    F.form->setTangleStepMs(1);
    QList<bool> taken;
    QObject::connect(F.form.get(), &MainWindow::tangleStepped, F.form.get(), [&] {
        if (taken.isEmpty())
            taken << dropFiles(*F.form, {QUrl::fromLocalFile(Other)});
    });
    F.run(F.form->commands().action(Command::Tangle));
    QCOMPARE(taken, QList<bool>{false});
    QTest::qWait(100);
    QVERIFY(F.form->documents().document()->fileName().isEmpty()); // still the new puzzle, now tangled
    QVERIFY(!F.form->documents().puzzle()->isEditMode());
    QVERIFY(F.dialogs->log.isEmpty());
}

// A file dropped while the advice flashes waits for the flash to end, and is then taken without being dropped
// again.
void TestDrop::takenOnceTheAdviceEnds()
{
    WindowFixture f;
    f.open(f.makePuzzleFile(QStringLiteral("a.nbq"), 300, 200, 2, 3));
    f.dialogs->log.clear();
    f.form->setAdviceMs(300);
    const Puzzle *first = f.form->documents().puzzle();
    bool ended = false;
    bool replacedDuring = false;
    QObject::connect(&f.form->documents().animator(), &PuzzleAnimator::finished, f.form.get(), [&] { ended = true; });
    QObject::connect(&f.form->documents(), &Documents::puzzleReplaced, f.form.get(), [&] { replacedDuring |= !ended; });
    QVERIFY(f.form->play().key(Qt::Key_Space, Qt::NoModifier));
    QVERIFY(f.form->documents().isAnimating());
    QVERIFY(dropFiles(*f.form, {QUrl::fromLocalFile(f.makePicture(QStringLiteral("b.bmp"), 200, 300))}));
    // Space is let go at once: the flash then lasts its own time.
    QKeyEvent letGo(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier);
    QApplication::sendEvent(f.form->pictureView(), &letGo);
    QTest::qWait(100);
    QCOMPARE(f.form->documents().puzzle(), first);
    QTRY_VERIFY(f.form->documents().puzzle() != first);
    QVERIFY(ended);
    QVERIFY(!replacedDuring);
    QVERIFY(f.form->documents().puzzle()->isEditMode());
    QVERIFY(f.dialogs->log.isEmpty());
}

QTEST_MAIN(TestDrop)
#include "TestDrop.moc"
