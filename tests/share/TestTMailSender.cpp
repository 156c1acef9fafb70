// Tests of the mail hand-over: the exact xdg-email arguments, whole paths and the failure reports.
#include "TMailSender.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString WebAddress = QStringLiteral("https://example.org/quorra/");

// Writes a stand-in xdg-email into Dir that records its arguments (NUL-separated, bytes as given)
// beside itself and ends with ExitCode. Only shell built-ins: PATH holds nothing else.
void WriteFakeMailer(const QString &Dir, int ExitCode)
{
    QFile Script(Dir + QStringLiteral("/xdg-email"));
    QVERIFY(Script.open(QIODevice::WriteOnly));
    Script.write(QStringLiteral("#!/bin/sh\n"
                                "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"${0%/*}/args\"\n"
                                "exit %1\n")
                     .arg(ExitCode)
                     .toUtf8());
    Script.close();
    QVERIFY(Script.setPermissions(Script.permissions() | QFile::ExeOwner));
}

QList<QByteArray> RecordedArguments(const QString &Dir)
{
    QFile Log(Dir + QStringLiteral("/args"));
    if (!Log.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> Args = Log.readAll().split('\0');
    Args.removeLast(); // after the last terminator
    return Args;
}

} // namespace

class TestTMailSender : public QObject
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
    QByteArray FOldPath;
    QTemporaryDir FBin;   // holds the fake xdg-email and what it recorded; alone on PATH
    QTemporaryDir FFiles; // the puzzles being sent
    QString MakePuzzle(const QString &Name);
    void Send(TMailSender &Sender, const QStringList &Recipients, const QStringList &Attachments);
};

void TestTMailSender::init()
{
    FOldPath = qgetenv("PATH");
    qputenv("PATH", FBin.path().toLocal8Bit());
    QFile::remove(FBin.path() + QStringLiteral("/args"));
    QFile::remove(FBin.path() + QStringLiteral("/xdg-email"));
}

void TestTMailSender::cleanup()
{
    qputenv("PATH", FOldPath);
}

QString TestTMailSender::MakePuzzle(const QString &Name)
{
    const QString Path = FFiles.path() + QLatin1Char('/') + Name;
    QFile File(Path);
    if (File.open(QIODevice::WriteOnly))
        File.write("NBQ");
    return Path;
}

// Sends and waits until xdg-email has ended.
void TestTMailSender::Send(TMailSender &Sender, const QStringList &Recipients,
                           const QStringList &Attachments)
{
    QSignalSpy Finished(&Sender, &TMailSender::Finished);
    QVERIFY(Sender.SendMailWithAttachments(Recipients, TMailSender::InvitationSubject(),
                                           TMailSender::InvitationBody(WebAddress), Attachments));
    QVERIFY(Finished.wait(10000));
}

void TestTMailSender::invitationBody()
{
    const QString Body = TMailSender::InvitationBody(WebAddress);
    const QStringList Lines = Body.split(QStringLiteral("\r\n"));
    QCOMPARE(Lines.size(), 10);
    QCOMPARE(Lines.at(0), QStringLiteral("Hello!"));
    QCOMPARE(Lines.at(5), WebAddress);
    QCOMPARE(Lines.at(9), QStringLiteral("as to solve the puzzles that were made for you!"));
    // No bare line feeds or carriage returns: every line end is the pair.
    QCOMPARE(Body.count(QLatin1Char('\n')), 9);
    QCOMPARE(Body.count(QLatin1Char('\r')), 9);
    QCOMPARE(TMailSender::InvitationSubject(), QStringLiteral("Photo Puzzle"));
}

void TestTMailSender::handsOverEveryPart_data()
{
    QTest::addColumn<QStringList>("Recipients");
    QTest::addColumn<QString>("PuzzleName");

    QTest::newRow("no recipient") << QStringList() << QStringLiteral("puzzle.nbq");
    QTest::newRow("comma in the path") << QStringList() << QStringLiteral("Anna, Bob's puzzle.nbq");
    QTest::newRow("spaces and non-ASCII") << QStringList() << QStringLiteral("Übung  eins.nbq");
    QTest::newRow("two recipients") << QStringList{QStringLiteral("anna@example.org"),
                                                   QStringLiteral("bob@example.org")}
                                    << QStringLiteral("puzzle.nbq");
    QTest::newRow("comma inside a recipient") << QStringList{QStringLiteral("Anna, Bob <ab@example.org>")}
                                              << QStringLiteral("puzzle.nbq");
}

void TestTMailSender::handsOverEveryPart()
{
    QFETCH(QStringList, Recipients);
    QFETCH(QString, PuzzleName);
    WriteFakeMailer(FBin.path(), 0);
    const QString Path = MakePuzzle(PuzzleName);

    TMailSender Sender;
    QSignalSpy Failed(&Sender, &TMailSender::Failed);
    Send(Sender, Recipients, {Path});

    QList<QByteArray> Expected = {"--utf8", "--subject", "Photo Puzzle", "--body",
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
                                  "--attach", Path.toUtf8()};
    for (const QString &Recipient : Recipients)
        Expected << Recipient.toUtf8();
    QCOMPARE(RecordedArguments(FBin.path()), Expected);
    QCOMPARE(Failed.count(), 0);
}

void TestTMailSender::reportsFailure_data()
{
    QTest::addColumn<int>("ExitCode");
    QTest::addColumn<bool>("NoMailProgram"); // else the attachment could not be read

    QTest::newRow("3: no method for mail") << 3 << true;
    QTest::newRow("4: the action failed") << 4 << true;
    QTest::newRow("2: file missing") << 2 << false;
    QTest::newRow("5: no permission") << 5 << false;
}

void TestTMailSender::reportsFailure()
{
    QFETCH(int, ExitCode);
    QFETCH(bool, NoMailProgram);
    WriteFakeMailer(FBin.path(), ExitCode);
    const QString Path = MakePuzzle(QStringLiteral("Anna, Bob.nbq"));

    TMailSender Sender;
    QSignalSpy Failed(&Sender, &TMailSender::Failed);
    Send(Sender, {}, {Path});

    QCOMPARE(Failed.count(), 1);
    const QString Message = Failed.at(0).at(0).toString();
    QVERIFY2(Message.contains(Path), qPrintable(Message));
    QCOMPARE(Message.startsWith(QStringLiteral("No mail program")), NoMailProgram);
}

void TestTMailSender::noMailerOnPath()
{
    // PATH holds only the empty folder: there is no xdg-email to start.
    const QString Path = MakePuzzle(QStringLiteral("puzzle.nbq"));
    TMailSender Sender;
    QSignalSpy Failed(&Sender, &TMailSender::Failed);
    QVERIFY(Sender.SendMailWithAttachments({}, TMailSender::InvitationSubject(),
                                           TMailSender::InvitationBody(WebAddress), {Path}));
    QVERIFY(Failed.count() == 1 || Failed.wait(10000));
    QCOMPARE(Failed.at(0).at(0).toString(), TMailSender::NoMailProgramMessage({Path}));
    QVERIFY(TMailSender::NoMailProgramMessage({Path}).contains(Path));
}

void TestTMailSender::refusesOptionLikeRecipient()
{
    WriteFakeMailer(FBin.path(), 0);
    TMailSender Sender;
    QSignalSpy Failed(&Sender, &TMailSender::Failed);
    QSignalSpy Finished(&Sender, &TMailSender::Finished);
    QVERIFY(!Sender.SendMailWithAttachments({QStringLiteral("--attach"), QStringLiteral("/etc/passwd")},
                                            TMailSender::InvitationSubject(), QString(),
                                            {MakePuzzle(QStringLiteral("p.nbq"))}));
    QCOMPARE(Failed.count(), 1);
    QVERIFY(!Finished.wait(300)); // nothing was started
    QVERIFY(!QFile::exists(FBin.path() + QStringLiteral("/args")));
}

void TestTMailSender::refusesUnattachablePath_data()
{
    QTest::addColumn<QString>("PuzzleName");
    QTest::addColumn<bool>("Descriptor"); // handed over as this process's descriptor of the file
    QTest::newRow("line feed") << QStringLiteral("two\nlines.nbq") << false;
    QTest::newRow("carriage return") << QStringLiteral("two\rlines.nbq") << false;
    QTest::newRow("/proc/self/fd") << QStringLiteral("p.nbq") << true;
}

// The mailto address would end at the line break and the mail program would attach another file, or none; a
// descriptor under /proc/self names the mail program's own file. The person is told to attach the file by hand,
// under the name it can be found by, and xdg-email is not started.
void TestTMailSender::refusesUnattachablePath()
{
    QFETCH(QString, PuzzleName);
    QFETCH(bool, Descriptor);
    WriteFakeMailer(FBin.path(), 0);
    const QString Path = MakePuzzle(PuzzleName);
    QFile Held(Path);
    QVERIFY(Held.open(QIODevice::ReadOnly));
    const QString Attachment = Descriptor ? QStringLiteral("/proc/self/fd/%1").arg(Held.handle()) : Path;

    TMailSender Sender;
    QSignalSpy Failed(&Sender, &TMailSender::Failed);
    QVERIFY(!Sender.SendMailWithAttachments({}, TMailSender::InvitationSubject(), QString(), {Attachment}));
    QCOMPARE(Failed.count(), 1);
    QCOMPARE(Failed.at(0).at(0).toString(), TMailSender::UnattachableMessage({Attachment}));
    QVERIFY(Failed.at(0).at(0).toString().endsWith(QLatin1Char('\n') + Path));
    QVERIFY(!Sender.HandOverUnderWay());
    QTest::qWait(200);
    QVERIFY(!QFile::exists(FBin.path() + QStringLiteral("/args")));
}

void TestTMailSender::oneHandOverAtATime_data()
{
    QTest::addColumn<QString>("Mailer");   // the stand-in's script after its first line
    QTest::addColumn<bool>("EndsItself"); // else the hand-over is taken as done after HandOverMs

    // Each run leaves a line, so the test counts how many were started.
    QTest::newRow("mail program takes it") << "echo run >> \"${0%/*}/runs\"; /bin/sleep 0.5\n" << true;
    QTest::newRow("no mail program") << "echo run >> \"${0%/*}/runs\"; /bin/sleep 0.5; exit 3\n" << true;
    // xdg-email waits for a mail program it had to start, until the person closes it.
    QTest::newRow("xdg-email waits for the mail program")
        << "echo run >> \"${0%/*}/runs\"; exec /bin/sleep 2\n" << false;
}

void TestTMailSender::oneHandOverAtATime()
{
    QFETCH(QString, Mailer);
    QFETCH(bool, EndsItself);
    QFile Script(FBin.path() + QStringLiteral("/xdg-email"));
    QVERIFY(Script.open(QIODevice::WriteOnly));
    Script.write(("#!/bin/sh\n" + Mailer).toUtf8());
    Script.close();
    QVERIFY(Script.setPermissions(Script.permissions() | QFile::ExeOwner));
    QFile::remove(FBin.path() + QStringLiteral("/runs"));
    const QStringList Puzzle{MakePuzzle(QStringLiteral("p.nbq"))};

    TMailSender Sender;
    Sender.SetHandOverMs(EndsItself ? 20000 : 500);
    QSignalSpy Finished(&Sender, &TMailSender::Finished);
    QVERIFY(!Sender.HandOverUnderWay());
    QVERIFY(Sender.SendMailWithAttachments({}, TMailSender::InvitationSubject(), QString(), Puzzle));
    QVERIFY(Sender.HandOverUnderWay());
    // A second send meanwhile starts nothing.
    QVERIFY(!Sender.SendMailWithAttachments({}, TMailSender::InvitationSubject(), QString(), Puzzle));
    if (EndsItself)
        QVERIFY(Finished.wait(10000));
    QTRY_VERIFY_WITH_TIMEOUT(!Sender.HandOverUnderWay(), 3000);
    QCOMPARE(Finished.count(), EndsItself ? 1 : 0);

    QFile Runs(FBin.path() + QStringLiteral("/runs"));
    QVERIFY(Runs.open(QIODevice::ReadOnly));
    QCOMPARE(Runs.readAll().count('\n'), 1);
    // Let the stand-in end and its process object go, so that nothing is left running or allocated.
    QVERIFY(Finished.count() == 1 || Finished.wait(10000));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Through the real xdg-email, whose MAILER hook hands the finished mailto address to a recorder:
// the message the mail program gets has CR LF line ends (not doubled) and the whole path.
void TestTMailSender::realXdgEmailBuildsTheMessage()
{
    const QString XdgEmail = QStandardPaths::findExecutable(
        QStringLiteral("xdg-email"), QString::fromLocal8Bit(FOldPath).split(QLatin1Char(':')));
    if (XdgEmail.isEmpty())
        QSKIP("xdg-email is not installed");
    qputenv("PATH", FOldPath);

    QFile Recorder(FBin.path() + QStringLiteral("/mailer"));
    QVERIFY(Recorder.open(QIODevice::WriteOnly));
    Recorder.write("#!/bin/sh\nprintf '%s' \"$1\" > \"${0%/*}/args\"\n");
    Recorder.close();
    QVERIFY(Recorder.setPermissions(Recorder.permissions() | QFile::ExeOwner));
    qputenv("MAILER", Recorder.fileName().toLocal8Bit());
    const QString Path = MakePuzzle(QStringLiteral("Anna, Bob's puzzle.nbq"));

    TMailSender Sender;
    QSignalSpy Failed(&Sender, &TMailSender::Failed);
    Send(Sender, {}, {Path});
    qunsetenv("MAILER");
    QCOMPARE(Failed.count(), 0);

    QFile Log(FBin.path() + QStringLiteral("/args"));
    QVERIFY(Log.open(QIODevice::ReadOnly));
    const QByteArray MailTo = Log.readAll();
    QVERIFY2(MailTo.startsWith("mailto:?"), MailTo.constData());
    QMap<QString, QString> Fields;
    for (const QByteArray &Field : MailTo.mid(8).split('&')) {
        const qsizetype Eq = Field.indexOf('=');
        Fields[QString::fromLatin1(Field.left(Eq))] = QUrl::fromPercentEncoding(Field.mid(Eq + 1));
    }
    QCOMPARE(Fields.value(QStringLiteral("subject")), QStringLiteral("Photo Puzzle"));
    QCOMPARE(Fields.value(QStringLiteral("body")), TMailSender::InvitationBody(WebAddress));
    QCOMPARE(Fields.value(QStringLiteral("attach")), Path);
}

QTEST_GUILESS_MAIN(TestTMailSender)
#include "TestTMailSender.moc"
