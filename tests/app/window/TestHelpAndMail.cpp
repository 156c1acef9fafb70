// SPDX-License-Identifier: GPL-3.0-or-later
// The Help menu's commands and Send by E-Mail, through the main window.
#include "MailSender.h"
#include "ProgramResources.h"
#include "WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

using namespace quorra;

class TestHelpAndMail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();
    void help_data();
    void help();
    void showExample_data();
    void showExample();
    void sendByEMail_data();
    void sendByEMail();
    void sendOneAtATime();
    void saveAsWebPage_data();
    void saveAsWebPage();

private:
    QByteArray m_oldPath;
    QTemporaryDir m_bin; // the stand-in xdg-email or xdg-open and what it recorded, alone on PATH
    void writeFakeProgram(const char *name, int exitCode);
    QList<QByteArray> recordedArguments() const;
};

void TestHelpAndMail::init()
{
    m_oldPath = qgetenv("PATH");
    qputenv("PATH", m_bin.path().toLocal8Bit());
    QFile::remove(m_bin.filePath(QStringLiteral("args")));
    QFile::remove(m_bin.filePath(QStringLiteral("xdg-email")));
    QFile::remove(m_bin.filePath(QStringLiteral("xdg-open")));
}

void TestHelpAndMail::cleanup()
{
    qputenv("PATH", m_oldPath);
}

// Records its arguments NUL-separated beside itself and ends with ExitCode; only shell built-ins.
void TestHelpAndMail::writeFakeProgram(const char *name, int exitCode)
{
    QFile script(m_bin.filePath(QString::fromLatin1(name)));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\n"
                                "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"${0%/*}/args\"\n"
                                "exit %1\n")
                     .arg(exitCode)
                     .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
}

QList<QByteArray> TestHelpAndMail::recordedArguments() const
{
    QFile log(m_bin.filePath(QStringLiteral("args")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> args = log.readAll().split('\0');
    args.removeLast();
    return args;
}

void TestHelpAndMail::help_data()
{
    QTest::addColumn<int>("opener"); // the stand-in xdg-open's exit status; -1: there is none
    QTest::addColumn<bool>("told");
    QTest::newRow("a browser shows it") << 0 << false;
    // xdg-open starts, then finds no browser: the desktop's own service would call that a success.
    QTest::newRow("the opener finds no browser") << 3 << true;
    QTest::newRow("no opener at all") << -1 << true;
}

void TestHelpAndMail::help()
{
    QFETCH(int, opener);
    QFETCH(bool, told);
    if (opener >= 0)
        writeFakeProgram("xdg-open", opener);
    WindowFixture f;
    f.dialogs->log.clear();
    f.run(f.form->commands().action(Command::Help));
    if (opener >= 0)
        QTRY_COMPARE(recordedArguments(), QList<QByteArray>{helpAddress().toEncoded()});
    QCOMPARE(helpAddress().fileName(), QStringLiteral("Nimbrel.html"));
    if (!told) {
        QTest::qWait(200);
        QCOMPARE(f.dialogs->log, QStringList());
        return;
    }
    QTRY_COMPARE(f.dialogs->log.size(), 1);
    const QString message = f.dialogs->log.first();
    QVERIFY2(message.startsWith(QStringLiteral("Message|Quorra|")), qPrintable(message));
    // The file is named so that it can be opened by hand.
    QVERIFY2(message.contains(helpAddress().toLocalFile()), qPrintable(message));
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

    WindowFixture f;
    QTRY_COMPARE(f.dialogs->demosShown, 1); // the one at start
    f.dialogs->demoAnswers = answers;
    f.form->commands().showExampleItem()->trigger();
    QCOMPARE(f.dialogs->demosShown, 2);
    QCOMPARE(f.form->commands().action(Command::ShowAtStart)->isChecked(), showAtStart);
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

    WindowFixture f;
    if (exitCode >= 0)
        writeFakeProgram("xdg-email", exitCode);
    QVERIFY(QDir(f.folder.path()).mkpath(QStringLiteral("friends, family")));
    const QString path = f.pathOf(QStringLiteral("friends, family/beach.nbq"));
    f.New(f.makePicture(QStringLiteral("beach.bmp"), 300, 200));
    QVERIFY(!f.form->commands().action(Command::SendByEMail)->isEnabled()); // not saved yet
    f.dialogs->savePuzzleAnswers << path;
    f.run(f.form->commands().action(Command::SaveAs));
    QVERIFY(f.form->commands().action(Command::SendByEMail)->isEnabled());

    QSignalSpy finished(f.form->documents().mailSender(), &MailSender::finished);
    f.dialogs->log.clear();
    f.run(f.form->commands().action(Command::SendByEMail));
    QVERIFY(finished.wait(10000));

    if (exitCode >= 0) {
        const QList<QByteArray> args = recordedArguments();
        const qsizetype attach = args.indexOf("--attach");
        QVERIFY(attach >= 0 && attach + 1 < args.size());
        QCOMPARE(QString::fromUtf8(args.at(attach + 1)), path);
        QVERIFY(args.contains(MailSender::invitationSubject().toUtf8()));
    }
    QCOMPARE(f.dialogs->log.size(), told ? 1 : 0);
    if (told) {
        QVERIFY(f.dialogs->log.first().startsWith(QStringLiteral("Message|")));
        QVERIFY2(f.dialogs->log.first().contains(path), qPrintable(f.dialogs->log.first()));
    }
}

void TestHelpAndMail::saveAsWebPage_data()
{
    QTest::addColumn<QString>("answer"); // empty: the dialog is cancelled
    QTest::newRow("a page chosen") << "friends, family/beach.html";
    QTest::newRow("cancelled") << "";
}

// The page carries the file as it is on disk, as the mail does, and follows the mail's enabling.
void TestHelpAndMail::saveAsWebPage()
{
    QFETCH(QString, answer);

    WindowFixture f;
    QAction *command = f.form->commands().action(Command::SaveAsWebPage);
    QVERIFY(QDir(f.folder.path()).mkpath(QStringLiteral("friends, family")));
    const QString puzzle = f.pathOf(QStringLiteral("friends, family/beach.nbq"));
    f.New(f.makePicture(QStringLiteral("beach.bmp"), 300, 200));
    QVERIFY(!command->isEnabled()); // not saved yet
    f.dialogs->savePuzzleAnswers << puzzle;
    f.run(f.form->commands().action(Command::SaveAs));
    QVERIFY(command->isEnabled());

    const QString page = answer.isEmpty() ? QString() : f.pathOf(answer);
    f.dialogs->saveWebPageAnswers << page;
    f.dialogs->log.clear();
    f.run(command);
    QCOMPARE(f.dialogs->log, QStringList{QStringLiteral("SaveWebPage")});
    QCOMPARE(QDir(f.pathOf(QStringLiteral("friends, family"))).entryList({QStringLiteral("*.html")}).size(),
             answer.isEmpty() ? 0 : 1);
    if (answer.isEmpty())
        return;
    QFile saved(puzzle), written(page);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().contains(saved.readAll().toBase64()));
}

// While the mail program has not taken the message yet, the command is off, so a second click starts no second
// compose window; it comes back once xdg-email has ended.
void TestHelpAndMail::sendOneAtATime()
{
    QFile script(m_bin.filePath(QStringLiteral("xdg-email")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho run >> \"${0%/*}/runs\"\n/bin/sleep 0.5\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));

    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("beach.bmp"), 300, 200));
    f.dialogs->savePuzzleAnswers << f.pathOf(QStringLiteral("beach.nbq"));
    f.run(f.form->commands().action(Command::SaveAs));
    QSignalSpy finished(f.form->documents().mailSender(), &MailSender::finished);
    f.run(f.form->commands().action(Command::SendByEMail));
    QVERIFY(!f.form->commands().action(Command::SendByEMail)->isEnabled());
    f.form->commands().action(Command::SendByEMail)->trigger(); // as a script or a quick second click might
    QVERIFY(finished.wait(10000));
    QTRY_VERIFY(f.form->commands().action(Command::SendByEMail)->isEnabled());

    QFile runs(m_bin.filePath(QStringLiteral("runs")));
    QVERIFY(runs.open(QIODevice::ReadOnly));
    QCOMPARE(runs.readAll(), QByteArray("run\n"));
}

QTEST_MAIN(TestHelpAndMail)
#include "TestHelpAndMail.moc"
