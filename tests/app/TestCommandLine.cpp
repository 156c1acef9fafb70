// The command line: --help and --version without a window system, unknown options passed over, and a puzzle file
// whose name is not UTF-8 opened through its own bytes.
#include "TCommandLine.h"
#include "TFormFixture.h"
#include "TPuzzleArgument.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A Latin-1 "été", as an old archive or a Windows disk hands it over: not valid UTF-8.
const QByteArray Latin1Name = QByteArray("Urlaub-\xE9t\xE9.nbq");

QByteArray Bytes(const QString &Path)
{
    return QFile::encodeName(Path);
}

// QTemporaryDir cannot name such an entry to remove it, so it is removed by its bytes.
struct TRawEntry
{
    QByteArray Name;
    ~TRawEntry()
    {
        if (::unlink(Name.constData()) != 0)
            ::rmdir(Name.constData());
    }
};

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void parse_data();
    void parse();
    void printsWithoutDisplay_data();
    void printsWithoutDisplay();
    void nameNotUtf8_data();
    void nameNotUtf8();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QList<QByteArray>>("Arguments");
    QTest::addColumn<bool>("Help");
    QTest::addColumn<bool>("Version");
    QTest::addColumn<QStringList>("Unknown");
    QTest::addColumn<QByteArray>("Puzzle");

    QTest::newRow("nothing") << QList<QByteArray>{} << false << false << QStringList() << QByteArray();
    QTest::newRow("--help") << QList<QByteArray>{"--help"} << true << false << QStringList() << QByteArray();
    QTest::newRow("--version") << QList<QByteArray>{"--version"} << false << true << QStringList() << QByteArray();
    QTest::newRow("a puzzle") << QList<QByteArray>{"a b.nbq"} << false << false << QStringList() << QByteArray("a b.nbq");
    QTest::newRow("the first of two") << QList<QByteArray>{"one.nbq", "two.nbq"} << false << false << QStringList()
                                      << QByteArray("one.nbq");
    QTest::newRow("unknown option passed over")
        << QList<QByteArray>{"--fullscreen", "x.nbq"} << false << false << QStringList{"fullscreen"} << QByteArray("x.nbq");
    QTest::newRow("after --, a dash is a name")
        << QList<QByteArray>{"--", "--help.nbq"} << false << false << QStringList() << QByteArray("--help.nbq");
    QTest::newRow("bytes kept") << QList<QByteArray>{Latin1Name} << false << false << QStringList() << Latin1Name;
}

void TestCommandLine::parse()
{
    QFETCH(QList<QByteArray>, Arguments);
    QFETCH(bool, Help);
    QFETCH(bool, Version);
    QFETCH(QStringList, Unknown);
    QFETCH(QByteArray, Puzzle);

    const TCommandLine Line(QList<QByteArray>{"quorra"} + Arguments);
    QCOMPARE(Line.HelpRequested(), Help);
    QCOMPARE(Line.VersionRequested(), Version);
    QCOMPARE(Line.UnknownOptions(), Unknown);
    QCOMPARE(Line.PuzzleName(), Puzzle);
}

void TestCommandLine::printsWithoutDisplay_data()
{
    QTest::addColumn<QString>("Option");
    QTest::addColumn<QString>("Expected");
    QTest::newRow("--version") << "--version" << "quorra " QUORRA_VERSION "\n";
    QTest::newRow("--help") << "--help" << "Usage: ";
}

// The installed program answers in a terminal with no display at all, and ends.
void TestCommandLine::printsWithoutDisplay()
{
    QFETCH(QString, Option);
    QFETCH(QString, Expected);
    QProcess Program;
    QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
    Environment.remove(QStringLiteral("DISPLAY"));
    Environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    Environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    Program.setProcessEnvironment(Environment);
    Program.start(QStringLiteral(QUORRA_PROGRAM), {QStringLiteral("x.nbq"), Option});
    QVERIFY(Program.waitForFinished(20000));
    QCOMPARE(Program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(Program.exitCode(), 0);
    const QString Out = QString::fromLocal8Bit(Program.readAllStandardOutput());
    QVERIFY2(Out.startsWith(Expected), qPrintable(Out));
    if (Expected.startsWith(QLatin1String("Usage")))
        QVERIFY2(Out.contains(QLatin1String("--version")) && Out.contains(QLatin1String("puzzle")), qPrintable(Out));
}

void TestCommandLine::nameNotUtf8_data()
{
    QTest::addColumn<QString>("Kind"); // what stands under the name
    QTest::addColumn<bool>("Opens");
    QTest::addColumn<bool>("Told");

    QTest::newRow("a puzzle file") << "puzzle" << true << false;
    QTest::newRow("nothing: silence, as for any missing file") << "missing" << false << false;
    QTest::newRow("a folder") << "folder" << false << true;
    QTest::newRow("a FIFO, without waiting for a writer") << "fifo" << false << true;
}

void TestCommandLine::nameNotUtf8()
{
    QFETCH(QString, Kind);
    QFETCH(bool, Opens);
    QFETCH(bool, Told);

    TFormFixture F(790, 560, false);
    const QByteArray Name = Bytes(F.Folder.path()) + '/' + Latin1Name;
    const TRawEntry Entry{Name};
    if (Kind == QLatin1String("puzzle"))
        QCOMPARE(::rename(Bytes(F.MakePuzzleFile(QStringLiteral("p.nbq"), 400, 300, 3, 3)).constData(), Name.constData()), 0);
    else if (Kind == QLatin1String("folder"))
        QCOMPARE(::mkdir(Name.constData(), 0700), 0);
    else if (Kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(Name.constData(), 0600), 0);

    QElapsedTimer Clock;
    Clock.start();
    const TPuzzleArgument Argument(Name);
    QVERIFY(Clock.elapsed() < 1000);
    QCOMPARE(!Argument.Path().isEmpty(), Opens);
    QCOMPARE(!Argument.Problem().isEmpty(), Told);
    if (Told) {
        // Named as well as it can be shown: the folder in full, the odd bytes as replacement characters.
        QVERIFY2(Argument.Problem().contains(F.Folder.path() + QStringLiteral("/Urlaub-\uFFFDt\uFFFD.nbq")),
                 qPrintable(Argument.Problem()));
        return;
    }

    F.Form->CommandLinePuzzle = Argument.Path();
    F.Form->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.Form.get()));
    QTRY_COMPARE(F.Form->Puzzle != nullptr, Opens);
    QCOMPARE(F.Dialogs->Log, QStringList());
    if (Opens) {
        QCOMPARE(F.Form->Puzzle->Body.Rows, 3);
        QVERIFY(!F.Form->Puzzle->EditMode);
    }
}

QTEST_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
