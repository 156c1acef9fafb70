// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the save dialog: a name is taken as typed, and whatever stands at the path is asked about first.
#include "SaveFileDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace quorra;

enum Standing { NothingThere, PlainFile, DanglingLink };
Q_DECLARE_METATYPE(Standing)

class TestSaveDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void chosenPath_data();
    void chosenPath();
};

void TestSaveDialog::chosenPath_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Standing>("standing"); // what stands at the path chosen names
    QTest::addColumn<bool>("replace");      // the answer to the question, if it comes
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("chosen"); // the name accepted in the folder; empty: the dialog stays open

    QTest::newRow("new name") << "new" << NothingThere << true << false << "new.nbq";
    QTest::newRow("file, replaced") << "old" << PlainFile << true << true << "old.nbq";
    QTest::newRow("file, kept") << "old" << PlainFile << false << true << "";
    QTest::newRow("link to nothing, replaced") << "gone.nbq" << DanglingLink << true << true << "gone.nbq";
    QTest::newRow("link to nothing, kept") << "gone" << DanglingLink << false << true << "";
    QTest::newRow("quoted word inside") << "my \"best\" puzzle" << NothingThere << true << false
                                        << "my \"best\" puzzle.nbq";
    QTest::newRow("quoted name of a file, replaced") << "\"best\"" << PlainFile << true << true << "\"best\".nbq";
    QTest::newRow("quoted name of a file, kept") << "\"best\".nbq" << PlainFile << false << true << "";
    QTest::newRow("quoted home folder stays a name") << "\"~\" x" << NothingThere << true << false << "\"~\" x.nbq";
}

void TestSaveDialog::chosenPath()
{
    QFETCH(QString, typed);
    QFETCH(Standing, standing);
    QFETCH(bool, replace);
    QFETCH(bool, asked);
    QFETCH(QString, chosen);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString name =
        chosen.isEmpty() ? (typed.contains(QLatin1Char('.')) ? typed : typed + QStringLiteral(".nbq")) : chosen;
    const QString path = dir.filePath(name);
    if (standing == PlainFile) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (standing == DanglingLink) {
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), path));
    }

    SaveFileDialog dialog(nullptr, QStringLiteral("Save As"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(QStringLiteral("nbq"));
    dialog.setDirectory(dir.path());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setText(typed);

    QString question;
    QTimer::singleShot(0, &dialog, [&] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible()) {
                question = box->text();
                box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
            }
    });
    dialog.accept();
    QCoreApplication::processEvents();

    QCOMPARE(question, asked ? QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(name) : QString());
    if (chosen.isEmpty()) {
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
    } else {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.chosenFile(), path);
    }
}

QTEST_MAIN(TestSaveDialog)
#include "TestSaveDialog.moc"
