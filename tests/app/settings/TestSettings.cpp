// SPDX-License-Identifier: GPL-3.0-or-later
// The window's settings across a restart, when they are written and when they cannot be, and the demo at start.
#include "WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace quorra;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void showAndWait(WindowFixture &f)
{
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
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
    QTest::addColumn<QRect>("geometry");      // within the offscreen screen of 800 x 800
    QTest::addColumn<QStringList>("options"); // the Edit menu's options turned on

    QTest::newRow("all changed") << "Action3x4"
                                 << "NegativeAction" << false << true << false << QRect(40, 30, 740, 700)
                                 << QStringList{"EmptyRowAction", "SemiEffectAction"};
    QTest::newRow("defaults, other size")
        << "Action2x2"
        << "HiddenAction" << true << false << true << QRect(10, 20, 720, 560) << QStringList();
    QTest::newRow("last split and effect")
        << "Action4x4"
        << "LowResolutionAction" << true << true << true << QRect(12, 16, 780, 760) << QStringList{"EmptyColumnAction"};
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
    QFETCH(QStringList, options);

    const QString ini = SettingsKeeper::settingsFileName();
    QCOMPARE(QFileInfo(ini).absolutePath(), QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    QVERIFY(ini.endsWith(QStringLiteral("/app_TestSettings.INI")));
    QVERIFY(QDir(QFileInfo(ini).absolutePath()).removeRecursively());

    {
        WindowFixture first(790, 560, false);
        first.form->settings().storage().setIniFileName(ini);
        // The demo at start is where the person turns it off.
        first.dialogs->demoAnswers << showAtStart;
        showAndWait(first);
        QTRY_COMPARE(first.dialogs->demosShown, 1);
        QCOMPARE(first.form->commands().action(Command::ShowAtStart)->isChecked(), showAtStart);

        // With a puzzle in edit mode the Split, Effect and Edit commands are open to the person.
        first.New(first.makePicture(QStringLiteral("p.bmp"), 300, 200));
        first.run(first.form->commands().checkMarkAction(split));
        first.run(first.form->commands().checkMarkAction(effect));
        for (const QString &option : options)
            first.run(first.form->commands().checkMarkAction(option));
        if (first.form->commands().soundItem()->isChecked() != sound)
            first.form->commands().soundItem()->trigger();
        if (first.form->commands().action(Command::AutoBestFit)->isChecked() != autoFit)
            first.run(first.form->commands().action(Command::AutoBestFit));
        first.form->setGeometry(geometry);
        QTRY_COMPARE(first.form->geometry(), geometry);

        first.dialogs->confirmAnswers << ConfirmAnswer::No;
        QVERIFY(first.form->close());
        QVERIFY(QFile::exists(ini));
    }

    WindowFixture second(790, 560, false);
    second.form->settings().storage().setIniFileName(ini);
    showAndWait(second);
    QCOMPARE(second.form->geometry(), geometry);
    QStringList checked;
    for (const CheckMark &mark : second.form->settings().checkMarks())
        if (mark.checked)
            checked << mark.name;
    QStringList expected = QStringList{split, effect} + options;
    if (sound)
        expected << QStringLiteral("mSound");
    if (autoFit)
        expected << QStringLiteral("AutoBestFitAction");
    if (showAtStart)
        expected << QStringLiteral("ShowAtStartAction");
    checked.sort();
    expected.sort();
    QCOMPARE(checked, expected);
    if (showAtStart)
        QTRY_COMPARE(second.dialogs->demosShown, 1);
    else
        QTest::qWait(100);
    QCOMPARE(second.dialogs->demosShown, showAtStart ? 1 : 0);
}

void TestSettings::closeAnswerDecidesTheWrite_data()
{
    QTest::addColumn<ConfirmAnswer>("answer");
    QTest::addColumn<bool>("closes");

    QTest::newRow("Cancel") << ConfirmAnswer::Cancel << false;
    QTest::newRow("No") << ConfirmAnswer::No << true;
}

// Only a close that goes ahead writes the file; a cancelled one leaves it byte for byte.
void TestSettings::closeAnswerDecidesTheWrite()
{
    QFETCH(ConfirmAnswer, answer);
    QFETCH(bool, closes);

    WindowFixture f;
    const QByteArray before = "[Other]\nKeep=1\n";
    writeFile(f.settingsFile(), before);
    f.New(f.makePicture(QStringLiteral("p.bmp"), 300, 200));
    f.dialogs->confirmAnswers << answer;
    QCOMPARE(f.form->close(), closes);
    QCOMPARE(f.dialogs->log.filter(QStringLiteral("Save current puzzle?")).size(), 1);
    const QByteArray after = readFile(f.settingsFile());
    if (!closes) {
        QCOMPARE(after, before);
        QVERIFY(f.form->isVisible());
        return;
    }
    QVERIFY(after.startsWith(before + "\n[TNimbrelMainForm]\nFormVersion=0\n"));
    QVERIFY(after.contains("\nVisible=0\n"));
}

// Errors recorded where the test can still read them after the window and its dialogs have gone.
class OutlivedDialogs : public FakeDialogs
{
public:
    explicit OutlivedDialogs(QStringList &errors) : m_errors(errors) {}
    void error(const QString &text) override { m_errors << text; }

private:
    QStringList &m_errors;
};

// A file that cannot be written is reported as the window closes and again as it goes, and the program still
// ends.
void TestSettings::unwritableFileIsReported()
{
    QTemporaryDir folder;
    const QString blocker = folder.filePath(QStringLiteral("blocker"));
    writeFile(blocker, "a file where the folder should be");
    const QString ini = blocker + QStringLiteral("/quorra.INI");
    const QString message = QStringLiteral("Unable to write to ") + ini;

    QStringList errors;
    auto form = std::make_unique<MainWindow>(std::make_unique<OutlivedDialogs>(errors),
                                             [] { return std::unique_ptr<SoundPlayer>(); });
    form->settings().storage().setIniFileName(ini);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QVERIFY(form->close());
    QCOMPARE(errors, QStringList{message});
    QVERIFY(!form->isVisible());
    form.reset();
    QCOMPARE(errors, (QStringList{message, message}));
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

    WindowFixture f(790, 560, false);
    if (!stored.isEmpty())
        writeFile(f.settingsFile(), "[TNimbrelMainForm]\n" + stored);
    showAndWait(f);
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    QTest::qWait(100);
    QCOMPARE(f.dialogs->demosShown, demos);
    // Coming back to the window later does not bring it again.
    f.form->activateWindow();
    QTest::qWait(50);
    QCOMPARE(f.dialogs->demosShown, demos);
}

QTEST_MAIN(TestSettings)
#include "TestSettings.moc"
