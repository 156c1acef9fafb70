// The Help menu's commands and Send by E-Mail, through the main window.
#include "ProgramResources.h"
#include "TFormFixture.h"
#include "TMailSender.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

class TUrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> Urls;

public slots:
    void Open(const QUrl &Url) { Urls << Url; }
};

class TestHelpAndMail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();
    void helpContent();
    void helpWithoutBrowser();
    void showExample_data();
    void showExample();
    void sendByEMail_data();
    void sendByEMail();
    void sendOneAtATime();

private:
    QByteArray FOldPath;
    QTemporaryDir FBin; // the stand-in xdg-email and what it recorded, alone on PATH
    void WriteFakeMailer(int ExitCode);
    QList<QByteArray> RecordedArguments() const;
};

void TestHelpAndMail::init()
{
    FOldPath = qgetenv("PATH");
    qputenv("PATH", FBin.path().toLocal8Bit());
    QFile::remove(FBin.filePath(QStringLiteral("args")));
    QFile::remove(FBin.filePath(QStringLiteral("xdg-email")));
}

void TestHelpAndMail::cleanup()
{
    qputenv("PATH", FOldPath);
}

// Records its arguments NUL-separated beside itself and ends with ExitCode; only shell built-ins.
void TestHelpAndMail::WriteFakeMailer(int ExitCode)
{
    QFile Script(FBin.filePath(QStringLiteral("xdg-email")));
    QVERIFY(Script.open(QIODevice::WriteOnly));
    Script.write(QStringLiteral("#!/bin/sh\n"
                                "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"${0%/*}/args\"\n"
                                "exit %1\n")
                     .arg(ExitCode)
                     .toUtf8());
    Script.close();
    QVERIFY(Script.setPermissions(Script.permissions() | QFile::ExeOwner));
}

QList<QByteArray> TestHelpAndMail::RecordedArguments() const
{
    QFile Log(FBin.filePath(QStringLiteral("args")));
    if (!Log.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> Args = Log.readAll().split('\0');
    Args.removeLast();
    return Args;
}

void TestHelpAndMail::helpContent()
{
    TFormFixture F;
    TUrlCatcher Catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &Catcher, "Open");
    F.Run(F.Form->HelpAction);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(Catcher.Urls, QList<QUrl>{HelpAddress()});
    QCOMPARE(Catcher.Urls.first().fileName(), QStringLiteral("Nimbrel.html"));
}

// With nothing on PATH the desktop has no opener to start; the platform has none of its own offscreen either.
void TestHelpAndMail::helpWithoutBrowser()
{
    TFormFixture F;
    for (const char *Variable : {"BROWSER", "DEFAULT_BROWSER"})
        qunsetenv(Variable);
    F.Dialogs->Log.clear();
    F.Run(F.Form->HelpAction);
    QCOMPARE(F.Dialogs->Log.size(), 1);
    const QString Told = F.Dialogs->Log.first();
    QVERIFY2(Told.startsWith(QStringLiteral("Message|Quorra|")), qPrintable(Told));
    // The file is named so that it can be opened by hand.
    QVERIFY2(Told.contains(HelpAddress().toLocalFile()), qPrintable(Told));
    QVERIFY(Told.contains(QStringLiteral("Nimbrel.html")));
}

void TestHelpAndMail::showExample_data()
{
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<bool>("showAtStart");

    QTest::newRow("OK with the box cleared") << QList<bool>{false} << false;
    QTest::newRow("OK with the box kept") << QList<bool>{true} << true;
    QTest::newRow("closed another way") << QList<bool>{} << true;
}

void TestHelpAndMail::showExample()
{
    QFETCH(QList<bool>, answers);
    QFETCH(bool, showAtStart);

    TFormFixture F;
    QTRY_COMPARE(F.Dialogs->DemosShown, 1); // the one at start
    F.Dialogs->DemoAnswers = answers;
    F.Form->mShowexampe->trigger();
    QCOMPARE(F.Dialogs->DemosShown, 2);
    QCOMPARE(F.Form->ShowAtStartAction->isChecked(), showAtStart);
}

void TestHelpAndMail::sendByEMail_data()
{
    QTest::addColumn<int>("exitCode"); // -1: no xdg-email at all
    QTest::addColumn<bool>("told");

    QTest::newRow("mail program opens") << 0 << false;
    QTest::newRow("no method for mail") << 3 << true;
    QTest::newRow("no xdg-email") << -1 << true;
}

// The saved puzzle file goes over whole, comma and all; when nothing takes it, the person learns where it is.
void TestHelpAndMail::sendByEMail()
{
    QFETCH(int, exitCode);
    QFETCH(bool, told);

    TFormFixture F;
    if (exitCode >= 0)
        WriteFakeMailer(exitCode);
    QVERIFY(QDir(F.Folder.path()).mkpath(QStringLiteral("friends, family")));
    const QString Path = F.PathOf(QStringLiteral("friends, family/beach.nbq"));
    F.New(F.MakePicture(QStringLiteral("beach.bmp"), 300, 200));
    QVERIFY(!F.Form->SendByEMailAction->isEnabled()); // not saved yet
    F.Dialogs->SavePuzzleAnswers << Path;
    F.Run(F.Form->SaveAsAction);
    QVERIFY(F.Form->SendByEMailAction->isEnabled());

    QSignalSpy Finished(F.Form->MailSender, &TMailSender::Finished);
    F.Dialogs->Log.clear();
    F.Run(F.Form->SendByEMailAction);
    QVERIFY(Finished.wait(10000));

    if (exitCode >= 0) {
        const QList<QByteArray> Args = RecordedArguments();
        const qsizetype Attach = Args.indexOf("--attach");
        QVERIFY(Attach >= 0 && Attach + 1 < Args.size());
        QCOMPARE(QString::fromUtf8(Args.at(Attach + 1)), Path);
        QVERIFY(Args.contains(TMailSender::InvitationSubject().toUtf8()));
    }
    QCOMPARE(F.Dialogs->Log.size(), told ? 1 : 0);
    if (told) {
        QVERIFY(F.Dialogs->Log.first().startsWith(QStringLiteral("Message|")));
        QVERIFY2(F.Dialogs->Log.first().contains(Path), qPrintable(F.Dialogs->Log.first()));
    }
}

// While the mail program has not taken the message yet, the command is off, so a second click starts no second
// compose window; it comes back once xdg-email has ended.
void TestHelpAndMail::sendOneAtATime()
{
    QFile Script(FBin.filePath(QStringLiteral("xdg-email")));
    QVERIFY(Script.open(QIODevice::WriteOnly));
    Script.write("#!/bin/sh\necho run >> \"${0%/*}/runs\"\n/bin/sleep 0.5\n");
    Script.close();
    QVERIFY(Script.setPermissions(Script.permissions() | QFile::ExeOwner));

    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("beach.bmp"), 300, 200));
    F.Dialogs->SavePuzzleAnswers << F.PathOf(QStringLiteral("beach.nbq"));
    F.Run(F.Form->SaveAsAction);
    QSignalSpy Finished(F.Form->MailSender, &TMailSender::Finished);
    F.Run(F.Form->SendByEMailAction);
    QVERIFY(!F.Form->SendByEMailAction->isEnabled());
    F.Form->SendByEMailAction->trigger(); // as a script or a quick second click might
    QVERIFY(Finished.wait(10000));
    QTRY_VERIFY(F.Form->SendByEMailAction->isEnabled());

    QFile Runs(FBin.filePath(QStringLiteral("runs")));
    QVERIFY(Runs.open(QIODevice::ReadOnly));
    QCOMPARE(Runs.readAll(), QByteArray("run\n"));
}

QTEST_MAIN(TestHelpAndMail)
#include "TestHelpAndMail.moc"
