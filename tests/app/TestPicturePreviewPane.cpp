// Tests of the picture preview in the real file dialogs: present in the picture dialogs only, following the
// selection.
#include "PicturePreviewPane.h"
#include "TQtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QTimer>
#include <QtTest>

#include <functional>

using TDialogCall = std::function<QString(TQtDialogs &)>;
Q_DECLARE_METATYPE(TDialogCall)

namespace {

// Makes Name in the dialog's folder the current file of its list, as a click on it does.
bool Choose(QFileDialog *Dialog, const QString &Name)
{
    auto *View = Dialog->findChild<QListView *>(QStringLiteral("listView"));
    auto *Model = View ? qobject_cast<QFileSystemModel *>(View->model()) : nullptr;
    if (!Model)
        return false;
    const QString Path = QDir(Dialog->directory()).filePath(Name);
    // The folder is read in the background.
    if (!QTest::qWaitFor([&] { return Model->index(Path).isValid(); }, 5000))
        return false;
    View->setCurrentIndex(Model->index(Path));
    return true;
}

} // namespace

class TestPicturePreviewPane : public QObject
{
    Q_OBJECT

private slots:
    void dialogs_data()
    {
        QTest::addColumn<TDialogCall>("call");
        QTest::addColumn<bool>("preview");
        QTest::newRow("open picture") << TDialogCall([](TQtDialogs &D) { return D.OpenPicture(); }) << true;
        QTest::newRow("save image") << TDialogCall([](TQtDialogs &D) { return D.SaveImage(); }) << true;
        QTest::newRow("open puzzle") << TDialogCall([](TQtDialogs &D) { return D.OpenPuzzle(); }) << false;
    }

    void dialogs()
    {
        QFETCH(TDialogCall, call);
        QFETCH(bool, preview);
        TQtDialogs Dialogs;
        bool Found = false, Shown = false, Cleared = false;
        QTimer::singleShot(0, this, [&] {
            auto *Dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!Dialog)
                return;
            auto *Pane = Dialog->findChild<PicturePreviewPane *>();
            Found = Pane && Pane->isVisible();
            if (Pane) {
                Dialog->setDirectory(QStringLiteral(QUORRA_TEST_DATA));
                Shown = Choose(Dialog, QStringLiteral("colour-420.jpg"))
                    && QTest::qWaitFor([&] { return !Pane->pixmap().isNull(); }, 5000)
                    && Pane->pixmap().deviceIndependentSize().toSize() == QSize(160, 120);
                // A file named as a JPEG that holds something else shows nothing.
                Cleared = Choose(Dialog, QStringLiteral("bmp-bytes-named.jpg"))
                    && QTest::qWaitFor([&] { return Pane->pixmap().isNull(); }, 5000);
            }
            Dialog->reject();
        });
        QCOMPARE(call(Dialogs), QString());
        QCOMPARE(Found, preview);
        QCOMPARE(Shown, preview);
        QCOMPARE(Cleared, preview);
    }
};

QTEST_MAIN(TestPicturePreviewPane)
#include "TestPicturePreviewPane.moc"
