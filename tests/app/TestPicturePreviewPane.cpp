// Tests of the picture dialogs' preview pane: there in the real dialogs, showing the file clicked in the list.
#include "PicturePreviewPane.h"
#include "TQtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QTimer>
#include <QtTest>

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
        TQtDialogs Dialogs;
        QSize Shown;
        QTimer::singleShot(0, this, [&] {
            auto *Dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            auto *Pane = Dialog ? Dialog->findChild<PicturePreviewPane *>() : nullptr;
            auto *View = Dialog ? Dialog->findChild<QListView *>(QStringLiteral("listView")) : nullptr;
            auto *Model = View ? qobject_cast<QFileSystemModel *>(View->model()) : nullptr;
            if (Pane && Pane->isVisible() && Model) {
                const QString Path = QStringLiteral(QUORRA_TEST_DATA "/colour-420.jpg");
                Dialog->setDirectory(QStringLiteral(QUORRA_TEST_DATA));
                // The folder is read in the background; then the file is clicked.
                auto *NameField = Dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                if (typed && NameField)
                    NameField->setText(QStringLiteral("colour-420.jpg"));
                else if (QTest::qWaitFor([&] { return Model->index(Path).isValid(); }, 5000))
                    View->setCurrentIndex(Model->index(Path));
                Shown = Pane->pixmap().deviceIndependentSize().toSize();
            }
            if (Dialog)
                Dialog->reject();
        });
        QCOMPARE(save ? Dialogs.SaveImage() : Dialogs.OpenPicture(), QString());
        QCOMPARE(Shown, QSize(160, 120));
    }
};

QTEST_MAIN(TestPicturePreviewPane)
#include "TestPicturePreviewPane.moc"
