// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the picture dialogs' preview pane: there in the real dialogs, showing the file clicked in the list.
#include "../../HostilePictures.h"
#include "PicturePreviewPane.h"
#include "QtDialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace quorra;

class TestPicturePreviewPane : public QObject
{
    Q_OBJECT

private slots:
    void dialogs_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("typed"); // the name typed in the name field instead of clicked in the list
        QTest::newRow("open picture") << false << false;
        QTest::newRow("save image") << true << false;
        QTest::newRow("open picture, name typed") << false << true;
    }

    void dialogs()
    {
        QFETCH(bool, save);
        QFETCH(bool, typed);
        QtDialogs dialogs;
        QSize shown;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            auto *pane = dialog ? dialog->findChild<PicturePreviewPane *>() : nullptr;
            auto *view = dialog ? dialog->findChild<QListView *>(QStringLiteral("listView")) : nullptr;
            auto *model = view ? qobject_cast<QFileSystemModel *>(view->model()) : nullptr;
            if (pane && pane->isVisible() && model) {
                const QString Path = QStringLiteral(QUORRA_TEST_DATA "/colour-420.jpg");
                dialog->setDirectory(QStringLiteral(QUORRA_TEST_DATA));
                // The folder is read in the background; then the file is clicked.
                auto *nameField = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                if (typed && nameField)
                    nameField->setText(QStringLiteral("colour-420.jpg"));
                else if (QTest::qWaitFor([&] { return model->index(Path).isValid(); }, 5000))
                    view->setCurrentIndex(model->index(Path));
                // The preview is decoded on a worker thread.
                if (QTest::qWaitFor([&] { return !pane->pixmap().isNull(); }, 10000))
                    shown = pane->pixmap().deviceIndependentSize().toSize();
            }
            if (dialog)
                dialog->reject();
        });
        QCOMPARE(save ? dialogs.saveImage() : dialogs.openPicture(), QString());
        QCOMPARE(shown, QSize(160, 120));
    }

    // A picture that would take seconds and gigabytes to decode whole gets no preview, decided from its header
    // on a worker thread while the dialog keeps turning (each kind's refusal is the readers' test).
    void hostilePictureGetsNone()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("deep.png"));
        QVERIFY(HostilePictures::writeFile(path, HostilePictures::zeroPng(16384, 16384, 16, 4, false)));
        PicturePreviewPane pane;
        QSignalSpy shown(&pane, &PicturePreviewPane::pictureShown);
        pane.showPicture(path);
        QVERIFY(pane.isDecoding());
        QVERIFY(shown.wait(5000));
        QVERIFY(pane.pixmap().isNull());
    }

    // The person clicks one file and then another before the first is shown: only the second may show, and the
    // first one's late result must not replace it.
    void anotherFileGivesUpTheFirst()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("wide.png"));
        QVERIFY(HostilePictures::writeFile(first, HostilePictures::zeroPng(2000, 500, 8, 1, true)));
        PicturePreviewPane pane;
        QSignalSpy shown(&pane, &PicturePreviewPane::pictureShown);
        pane.showPicture(first);
        pane.showPicture(QStringLiteral(QUORRA_TEST_DATA "/colour-420.jpg"));
        QVERIFY(shown.wait(5000));
        QCOMPARE(pane.pixmap().deviceIndependentSize().toSize(), QSize(160, 120));
        // Long enough for the first decode to have ended, had it gone on.
        QTest::qWait(300);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(pane.pixmap().deviceIndependentSize().toSize(), QSize(160, 120));
    }

    // The dialog closes while its preview is decoded: the outcome has nowhere to go and must go nowhere.
    void closedWhileDecoding()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("wide.png"));
        QVERIFY(HostilePictures::writeFile(path, HostilePictures::zeroPng(2000, 2000, 8, 1, true)));
        auto pane = std::make_unique<PicturePreviewPane>();
        pane->showPicture(path);
        QVERIFY(pane->isDecoding());
        pane.reset();
        QTest::qWait(300);
    }

    // A name chosen while its completion list shows: the list must not stay open after the dialog, where it would
    // hold the keyboard and leave the window's keys dead.
    void choosingByNameLeavesNoCompletionList()
    {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QtDialogs dialogs(&window);
        bool listShown = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            auto *nameField = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
            auto *model = dialog ? dialog->findChild<QFileSystemModel *>() : nullptr;
            if (!nameField || !model) {
                if (dialog)
                    dialog->reject();
                return;
            }
            dialog->setDirectory(QStringLiteral(QUORRA_TEST_DATA));
            const QString path = QStringLiteral(QUORRA_TEST_DATA "/colour-420.jpg");
            if (!QTest::qWaitFor([&] { return model->index(path).isValid(); }, 5000)) {
                dialog->reject();
                return;
            }
            QTest::keyClicks(nameField, QStringLiteral("colour-42"));
            QCompleter *completer = nameField->completer();
            listShown = completer && QTest::qWaitFor([&] { return completer->popup()->isVisible(); }, 5000);
            // Chosen while the list still shows, as Return does on some desktops.
            nameField->setText(QStringLiteral("colour-420.jpg"));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QCOMPARE(QFileInfo(dialogs.openPicture()).fileName(), QStringLiteral("colour-420.jpg"));
        if (!listShown)
            QSKIP("the completion list did not show on this platform");
        QVERIFY(!QApplication::activePopupWidget());
    }
};

QTEST_MAIN(TestPicturePreviewPane)
#include "TestPicturePreviewPane.moc"
