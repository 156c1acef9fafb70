// The window's settings across a restart, when they are written and when they cannot be, and the demo at start.
#include "TFormFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

void WriteFile(const QString &Path, const QByteArray &Bytes)
{
    QFile File(Path);
    QVERIFY(File.open(QIODevice::WriteOnly));
    QCOMPARE(File.write(Bytes), Bytes.size());
}

QByteArray ReadFile(const QString &Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

void ShowAndWait(TFormFixture &F)
{
    F.Form->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.Form.get()));
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void restartKeepsChoices_data();
    void restartKeepsChoices();
    void closeAnswerDecidesTheWrite_data();
    void closeAnswerDecidesTheWrite();
    void unwritableFileIsReported();
    void demoAtStart_data();
    void demoAtStart();
};

void TestSettings::restartKeepsChoices_data()
{
    QTest::addColumn<QString>("split");
    QTest::addColumn<QString>("effect");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<bool>("autoFit");
    QTest::addColumn<bool>("showAtStart");
    QTest::addColumn<QRect>("geometry"); // within the offscreen screen of 800 x 800

    QTest::newRow("all changed") << "Action3x4" << "NegativeAction" << false << true << false
                                 << QRect(40, 30, 740, 700);
    QTest::newRow("defaults, other size") << "Action2x2" << "HiddenAction" << true << false << true
                                          << QRect(10, 20, 720, 560);
    QTest::newRow("last split and effect") << "Action4x4" << "LowResolutionAction" << true << true << true
                                           << QRect(12, 16, 780, 760);
}

// Two runs of the program in a row, sharing the user's configuration folder.
void TestSettings::restartKeepsChoices()
{
    QFETCH(QString, split);
    QFETCH(QString, effect);
    QFETCH(bool, sound);
    QFETCH(bool, autoFit);
    QFETCH(bool, showAtStart);
    QFETCH(QRect, geometry);

    const QString Ini = TNimbrelMainForm::SettingsFileName();
    QCOMPARE(QFileInfo(Ini).absolutePath(), QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    QVERIFY(Ini.endsWith(QStringLiteral("/app_TestSettings.INI")));
    QVERIFY(QDir(QFileInfo(Ini).absolutePath()).removeRecursively());

    {
        TFormFixture First(790, 560, false);
        First.Form->FormStorage.SetIniFileName(Ini);
        // The demo at start is where the person turns it off.
        First.Dialogs->DemoAnswers << showAtStart;
        ShowAndWait(First);
        QTRY_COMPARE(First.Dialogs->DemosShown, 1);
        QCOMPARE(First.Form->ShowAtStartAction->isChecked(), showAtStart);

        // With a puzzle in edit mode the Split and Effect commands are open to the person.
        First.New(First.MakePicture(QStringLiteral("p.bmp"), 300, 200));
        First.Run(First.Form->CheckMarkAction(split));
        First.Run(First.Form->CheckMarkAction(effect));
        if (First.Form->mSound->isChecked() != sound)
            First.Form->mSound->trigger();
        if (First.Form->AutoBestFitAction->isChecked() != autoFit)
            First.Run(First.Form->AutoBestFitAction);
        First.Form->setGeometry(geometry);
        QTRY_COMPARE(First.Form->geometry(), geometry);

        First.Dialogs->ConfirmAnswers << TConfirmAnswer::No;
        QVERIFY(First.Form->close());
        QVERIFY(QFile::exists(Ini));
    }

    TFormFixture Second(790, 560, false);
    Second.Form->FormStorage.SetIniFileName(Ini);
    ShowAndWait(Second);
    QCOMPARE(Second.Form->geometry(), geometry);
    QStringList Checked;
    for (const TCheckMark &Mark : Second.Form->CheckMarks())
        if (Mark.Checked)
            Checked << Mark.Name;
    QStringList Expected = {split, effect};
    if (sound)
        Expected << QStringLiteral("mSound");
    if (autoFit)
        Expected << QStringLiteral("AutoBestFitAction");
    if (showAtStart)
        Expected << QStringLiteral("ShowAtStartAction");
    Checked.sort();
    Expected.sort();
    QCOMPARE(Checked, Expected);
    if (showAtStart)
        QTRY_COMPARE(Second.Dialogs->DemosShown, 1);
    else
        QTest::qWait(100);
    QCOMPARE(Second.Dialogs->DemosShown, showAtStart ? 1 : 0);
}

void TestSettings::closeAnswerDecidesTheWrite_data()
{
    QTest::addColumn<TConfirmAnswer>("answer");
    QTest::addColumn<bool>("closes");

    QTest::newRow("Cancel") << TConfirmAnswer::Cancel << false;
    QTest::newRow("No") << TConfirmAnswer::No << true;
}

// Only a close that goes ahead writes the file; a cancelled one leaves it byte for byte.
void TestSettings::closeAnswerDecidesTheWrite()
{
    QFETCH(TConfirmAnswer, answer);
    QFETCH(bool, closes);

    TFormFixture F;
    const QByteArray Before = "[Other]\nKeep=1\n";
    WriteFile(F.SettingsFile(), Before);
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 300, 200));
    F.Dialogs->ConfirmAnswers << answer;
    QCOMPARE(F.Form->close(), closes);
    QCOMPARE(F.Dialogs->Log.filter(QStringLiteral("Save current puzzle?")).size(), 1);
    const QByteArray After = ReadFile(F.SettingsFile());
    if (!closes) {
        QCOMPARE(After, Before);
        QVERIFY(F.Form->isVisible());
        return;
    }
    QVERIFY(After.startsWith(Before + "\n[TNimbrelMainForm]\nFormVersion=0\n"));
    QVERIFY(After.contains("\nVisible=0\n"));
}

// Errors recorded where the test can still read them after the window and its dialogs have gone.
class TOutlivedDialogs : public TFakeDialogs
{
public:
    explicit TOutlivedDialogs(QStringList &Errors) : FErrors(Errors) {}
    void Error(const QString &Text) override { FErrors << Text; }

private:
    QStringList &FErrors;
};

// A file that cannot be written is reported as the window closes and again as it goes, and the program still
// ends.
void TestSettings::unwritableFileIsReported()
{
    QTemporaryDir Folder;
    const QString Blocker = Folder.filePath(QStringLiteral("blocker"));
    WriteFile(Blocker, "a file where the folder should be");
    const QString Ini = Blocker + QStringLiteral("/quorra.INI");
    const QString Message = QStringLiteral("Unable to write to ") + Ini;

    QStringList Errors;
    auto Form = std::make_unique<TNimbrelMainForm>(std::make_unique<TOutlivedDialogs>(Errors),
                                                   [] { return std::unique_ptr<TSoundPlayer>(); });
    Form->FormStorage.SetIniFileName(Ini);
    Form->show();
    QVERIFY(QTest::qWaitForWindowExposed(Form.get()));
    QVERIFY(Form->close());
    QCOMPARE(Errors, QStringList{Message});
    QVERIFY(!Form->isVisible());
    Form.reset();
    QCOMPARE(Errors, (QStringList{Message, Message}));
}

void TestSettings::demoAtStart_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("demos");

    QTest::newRow("no settings file") << QByteArray() << 1;
    QTest::newRow("stored True") << QByteArray("ShowAtStartAction_Checked=True\n") << 1;
    QTest::newRow("stored False") << QByteArray("ShowAtStartAction_Checked=False\n") << 0;
    QTest::newRow("stored false, lower case") << QByteArray("ShowAtStartAction_Checked= false \n") << 0;
    QTest::newRow("stored 0: no word, default") << QByteArray("ShowAtStartAction_Checked=0\n") << 1;
}

// The demo opens by itself once, after the window has been shown, while Show at Start is checked.
void TestSettings::demoAtStart()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, demos);

    TFormFixture F(790, 560, false);
    if (!stored.isEmpty())
        WriteFile(F.SettingsFile(), "[TNimbrelMainForm]\n" + stored);
    ShowAndWait(F);
    QVERIFY(QTest::qWaitForWindowActive(F.Form.get()));
    QTest::qWait(100);
    QCOMPARE(F.Dialogs->DemosShown, demos);
    // Coming back to the window later does not bring it again.
    F.Form->activateWindow();
    QTest::qWait(50);
    QCOMPARE(F.Dialogs->DemosShown, demos);
}

QTEST_MAIN(TestSettings)
#include "TestSettings.moc"
