// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the mail hand-over: the exact xdg-email arguments, whole paths and the failure reports.
#include "MailSender.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorra;

namespace {

const QString WebAddress = QStringLiteral("https://example.org/quorra/");

// Writes a stand-in xdg-email into Dir that records its arguments (NUL-separated, bytes as given)
// beside itself and ends with exitCode. Only shell built-ins: PATH holds nothing else.
void writeFakeMailer(const QString &dir, int exitCode)
{
    QFile script(dir + QStringLiteral("/xdg-email"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\n"
                                "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"${0%/*}/args\"\n"
                                "exit %1\n")
                     .arg(exitCode)
                     .toUtf8());
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
}

QList<QByteArray> recordedArguments(const QString &dir)
{
    QFile log(dir + QStringLiteral("/args"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> args = log.readAll().split('\0');
    args.removeLast(); // after the last terminator
    return args;
}

} // namespace

class TestMailSender : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void invitationBody();
    void handsOverEveryPart_data();
    void handsOverEveryPart();
    void reportsFailure_data();
    void reportsFailure();
    void noMailerOnPath();
    void realXdgEmailBuildsTheMessage();
    void refusesOptionLikeRecipient();
    void refusesUnattachablePath_data();
    void refusesUnattachablePath();
    void oneHandOverAtATime_data();
    void oneHandOverAtATime();

private:
    QByteArray m_oldPath;
    QTemporaryDir m_bin;   // holds the fake xdg-email and what it recorded; alone on PATH
    QTemporaryDir m_files; // the puzzles being sent
    QString makePuzzle(const QString &name);
    void send(MailSender &sender, const QStringList &recipients, const QStringList &attachments);
};

void TestMailSender::init()
{
    m_oldPath = qgetenv("PATH");
    qputenv("PATH", m_bin.path().toLocal8Bit());
    QFile::remove(m_bin.path() + QStringLiteral("/args"));
    QFile::remove(m_bin.path() + QStringLiteral("/xdg-email"));
}

void TestMailSender::cleanup()
{
    qputenv("PATH", m_oldPath);
}

QString TestMailSender::makePuzzle(const QString &name)
{
    const QString path = m_files.path() + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("NBQ");
    return path;
}

// Sends and waits until xdg-email has ended.
void TestMailSender::send(MailSender &sender, const QStringList &recipients, const QStringList &attachments)
{
    QSignalSpy finished(&sender, &MailSender::finished);
    QVERIFY(sender.sendMailWithAttachments(recipients, MailSender::invitationSubject(),
                                           MailSender::invitationBody(WebAddress), attachments));
    QVERIFY(finished.wait(10000));
}

void TestMailSender::invitationBody()
{
    const QString body = MailSender::invitationBody(WebAddress);
    const QStringList lines = body.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines.at(0), QStringLiteral("Hello!"));
    QCOMPARE(lines.at(5), WebAddress);
    QCOMPARE(lines.at(9), QStringLiteral("as to solve the puzzles that were made for you!"));
    // No bare line feeds or carriage returns: every line end is the pair.
    QCOMPARE(body.count(QLatin1Char('\n')), 9);
    QCOMPARE(body.count(QLatin1Char('\r')), 9);
    QCOMPARE(MailSender::invitationSubject(), QStringLiteral("Photo Puzzle"));
}

void TestMailSender::handsOverEveryPart_data()
{
    QTest::addColumn<QStringList>("recipients");
    QTest::addColumn<QString>("puzzleName");

    QTest::newRow("no recipient") << QStringList() << QStringLiteral("puzzle.nbq");
    QTest::newRow("comma in the path") << QStringList() << QStringLiteral("Anna, Bob's puzzle.nbq");
    QTest::newRow("spaces and non-ASCII") << QStringList() << QStringLiteral("Übung  eins.nbq");
    QTest::newRow("two recipients") << QStringList{QStringLiteral("anna@example.org"),
                                                   QStringLiteral("bob@example.org")}
                                    << QStringLiteral("puzzle.nbq");
    QTest::newRow("comma inside a recipient")
        << QStringList{QStringLiteral("Anna, Bob <ab@example.org>")} << QStringLiteral("puzzle.nbq");
}

void TestMailSender::handsOverEveryPart()
{
    QFETCH(QStringList, recipients);
    QFETCH(QString, puzzleName);
    writeFakeMailer(m_bin.path(), 0);
    const QString path = makePuzzle(puzzleName);

    MailSender sender;
    QSignalSpy failed(&sender, &MailSender::failed);
    send(sender, recipients, {path});

    QList<QByteArray> expected = {"--utf8", "--subject", "Photo Puzzle", "--body",
                                  // bare line feeds: xdg-email turns each into CR LF itself
                                  "Hello!\nI created for you puzzle that contain picture! If you\n"
                                  "want to see the real picture, you should solve the puzzle!\n"
                                  "To solve the puzzle, you will need the Quorra\n"
                                  "program. You can download it for free:\n"
                                  "https://example.org/quorra/\n"
                                  "After you install the program, open the attached file\n"
                                  "by double clicking it. With this software you will be\n"
                                  "able to create new puzzles for your friends as well\n"
                                  "as to solve the puzzles that were made for you!",
                                  "--attach", path.toUtf8()};
    for (const QString &recipient : recipients)
        expected << recipient.toUtf8();
    QCOMPARE(recordedArguments(m_bin.path()), expected);
    QCOMPARE(failed.count(), 0);
}

void TestMailSender::reportsFailure_data()
{
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("noMailProgram"); // else the attachment could not be read

    QTest::newRow("3: no method for mail") << 3 << true;
    QTest::newRow("4: the action failed") << 4 << true;
    QTest::newRow("2: file missing") << 2 << false;
    QTest::newRow("5: no permission") << 5 << false;
}

void TestMailSender::reportsFailure()
{
    QFETCH(int, exitCode);
    QFETCH(bool, noMailProgram);
    writeFakeMailer(m_bin.path(), exitCode);
    const QString path = makePuzzle(QStringLiteral("Anna, Bob.nbq"));

    MailSender sender;
    QSignalSpy failed(&sender, &MailSender::failed);
    send(sender, {}, {path});

    QCOMPARE(failed.count(), 1);
    const QString message = failed.at(0).at(0).toString();
    QVERIFY2(message.contains(path), qPrintable(message));
    QCOMPARE(message.startsWith(QStringLiteral("No mail program")), noMailProgram);
}

void TestMailSender::noMailerOnPath()
{
    // PATH holds only the empty folder: there is no xdg-email to start.
    const QString path = makePuzzle(QStringLiteral("puzzle.nbq"));
    MailSender sender;
    QSignalSpy failed(&sender, &MailSender::failed);
    QVERIFY(sender.sendMailWithAttachments({}, MailSender::invitationSubject(), MailSender::invitationBody(WebAddress),
                                           {path}));
    QVERIFY(failed.count() == 1 || failed.wait(10000));
    QCOMPARE(failed.at(0).at(0).toString(), MailSender::noMailProgramMessage({path}));
    QVERIFY(MailSender::noMailProgramMessage({path}).contains(path));
}

void TestMailSender::refusesOptionLikeRecipient()
{
    writeFakeMailer(m_bin.path(), 0);
    MailSender sender;
    QSignalSpy failed(&sender, &MailSender::failed);
    QSignalSpy finished(&sender, &MailSender::finished);
    QVERIFY(!sender.sendMailWithAttachments({QStringLiteral("--attach"), QStringLiteral("/etc/passwd")},
                                            MailSender::invitationSubject(), QString(),
                                            {makePuzzle(QStringLiteral("p.nbq"))}));
    QCOMPARE(failed.count(), 1);
    QVERIFY(!finished.wait(300)); // nothing was started
    QVERIFY(!QFile::exists(m_bin.path() + QStringLiteral("/args")));
}

void TestMailSender::refusesUnattachablePath_data()
{
    QTest::addColumn<QString>("puzzleName");
    QTest::addColumn<bool>("descriptor"); // handed over as this process's descriptor of the file
    QTest::newRow("line feed") << QStringLiteral("two\nlines.nbq") << false;
    QTest::newRow("carriage return") << QStringLiteral("two\rlines.nbq") << false;
    QTest::newRow("/proc/self/fd") << QStringLiteral("p.nbq") << true;
}

// The mailto address would end at the line break and the mail program would attach another file, or none; a
// descriptor under /proc/self names the mail program's own file. The person is told to attach the file by hand,
// under the name it can be found by, and xdg-email is not started.
void TestMailSender::refusesUnattachablePath()
{
    QFETCH(QString, puzzleName);
    QFETCH(bool, descriptor);
    writeFakeMailer(m_bin.path(), 0);
    const QString path = makePuzzle(puzzleName);
    QFile held(path);
    QVERIFY(held.open(QIODevice::ReadOnly));
    const QString attachment = descriptor ? QStringLiteral("/proc/self/fd/%1").arg(held.handle()) : path;

    MailSender sender;
    QSignalSpy failed(&sender, &MailSender::failed);
    QVERIFY(!sender.sendMailWithAttachments({}, MailSender::invitationSubject(), QString(), {attachment}));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), MailSender::unattachableMessage({attachment}));
    QVERIFY(failed.at(0).at(0).toString().endsWith(QLatin1Char('\n') + path));
    QVERIFY(!sender.isHandingOver());
    QTest::qWait(200);
    QVERIFY(!QFile::exists(m_bin.path() + QStringLiteral("/args")));
}

void TestMailSender::oneHandOverAtATime_data()
{
    QTest::addColumn<QString>("mailer");  // the stand-in's script after its first line
    QTest::addColumn<bool>("endsItself"); // else the hand-over is taken as done after HandOverMs

    // Each run leaves a line, so the test counts how many were started.
    QTest::newRow("mail program takes it") << "echo run >> \"${0%/*}/runs\"; /bin/sleep 0.5\n" << true;
    QTest::newRow("no mail program") << "echo run >> \"${0%/*}/runs\"; /bin/sleep 0.5; exit 3\n" << true;
    // xdg-email waits for a mail program it had to start, until the person closes it.
    QTest::newRow("xdg-email waits for the mail program") << "echo run >> \"${0%/*}/runs\"; exec /bin/sleep 2\n"
                                                          << false;
}

void TestMailSender::oneHandOverAtATime()
{
    QFETCH(QString, mailer);
    QFETCH(bool, endsItself);
    QFile script(m_bin.path() + QStringLiteral("/xdg-email"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(("#!/bin/sh\n" + mailer).toUtf8());
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
    QFile::remove(m_bin.path() + QStringLiteral("/runs"));
    const QStringList puzzle{makePuzzle(QStringLiteral("p.nbq"))};

    MailSender sender;
    sender.setHandOverMs(endsItself ? 20000 : 500);
    QSignalSpy finished(&sender, &MailSender::finished);
    QVERIFY(!sender.isHandingOver());
    QVERIFY(sender.sendMailWithAttachments({}, MailSender::invitationSubject(), QString(), puzzle));
    QVERIFY(sender.isHandingOver());
    // A second send meanwhile starts nothing.
    QVERIFY(!sender.sendMailWithAttachments({}, MailSender::invitationSubject(), QString(), puzzle));
    if (endsItself)
        QVERIFY(finished.wait(10000));
    QTRY_VERIFY_WITH_TIMEOUT(!sender.isHandingOver(), 3000);
    QCOMPARE(finished.count(), endsItself ? 1 : 0);

    QFile runs(m_bin.path() + QStringLiteral("/runs"));
    QVERIFY(runs.open(QIODevice::ReadOnly));
    QCOMPARE(runs.readAll().count('\n'), 1);
    // Let the stand-in end and its process object go, so that nothing is left running or allocated.
    QVERIFY(finished.count() == 1 || finished.wait(10000));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Through the real xdg-email, whose MAILER hook hands the finished mailto address to a recorder:
// the message the mail program gets has CR LF line ends (not doubled) and the whole path.
void TestMailSender::realXdgEmailBuildsTheMessage()
{
    const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"),
                                                            QString::fromLocal8Bit(m_oldPath).split(QLatin1Char(':')));
    if (xdgEmail.isEmpty())
        QSKIP("xdg-email is not installed");
    qputenv("PATH", m_oldPath);

    QFile recorder(m_bin.path() + QStringLiteral("/mailer"));
    QVERIFY(recorder.open(QIODevice::WriteOnly));
    recorder.write("#!/bin/sh\nprintf '%s' \"$1\" > \"${0%/*}/args\"\n");
    recorder.close();
    QVERIFY(recorder.setPermissions(recorder.permissions() | QFile::ExeOwner));
    qputenv("MAILER", recorder.fileName().toLocal8Bit());
    const QString path = makePuzzle(QStringLiteral("Anna, Bob's puzzle.nbq"));

    MailSender sender;
    QSignalSpy failed(&sender, &MailSender::failed);
    send(sender, {}, {path});
    qunsetenv("MAILER");
    QCOMPARE(failed.count(), 0);

    QFile log(m_bin.path() + QStringLiteral("/args"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray mailTo = log.readAll();
    QVERIFY2(mailTo.startsWith("mailto:?"), mailTo.constData());
    QMap<QString, QString> fields;
    for (const QByteArray &field : mailTo.mid(8).split('&')) {
        const qsizetype eq = field.indexOf('=');
        fields[QString::fromLatin1(field.left(eq))] = QUrl::fromPercentEncoding(field.mid(eq + 1));
    }
    QCOMPARE(fields.value(QStringLiteral("subject")), QStringLiteral("Photo Puzzle"));
    QCOMPARE(fields.value(QStringLiteral("body")), MailSender::invitationBody(WebAddress));
    QCOMPARE(fields.value(QStringLiteral("attach")), path);
}

QTEST_GUILESS_MAIN(TestMailSender)
#include "TestMailSender.moc"
