// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: --help and --version without a window system, unknown options passed over, and a puzzle file
// whose name is not UTF-8 opened through its own bytes.
#include "CommandLine.h"
#include "PuzzleArgument.h"
#include "Version.h"
#include "WindowFixture.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorra;

namespace {

// A Latin-1 "été", as an old archive or a Windows disk hands it over: not valid UTF-8.
const QByteArray Latin1Name = QByteArray("Urlaub-\xE9t\xE9.nbq");

QByteArray bytes(const QString &path)
{
    return QFile::encodeName(path);
}

// QTemporaryDir cannot name such an entry to remove it, so it is removed by its bytes.
struct RawEntry {
    QByteArray name;
    ~RawEntry()
    {
        if (::unlink(name.constData()) != 0)
            ::rmdir(name.constData());
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
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::addColumn<bool>("help");
    QTest::addColumn<bool>("version");
    QTest::addColumn<QStringList>("unknown");
    QTest::addColumn<QByteArray>("puzzle");

    QTest::newRow("nothing") << QList<QByteArray>{} << false << false << QStringList() << QByteArray();
    QTest::newRow("--help") << QList<QByteArray>{"--help"} << true << false << QStringList() << QByteArray();
    QTest::newRow("--version") << QList<QByteArray>{"--version"} << false << true << QStringList() << QByteArray();
    QTest::newRow("a puzzle") << QList<QByteArray>{"a b.nbq"} << false << false << QStringList()
                              << QByteArray("a b.nbq");
    QTest::newRow("the first of two") << QList<QByteArray>{"one.nbq", "two.nbq"} << false << false << QStringList()
                                      << QByteArray("one.nbq");
    QTest::newRow("unknown option passed over") << QList<QByteArray>{"--fullscreen", "x.nbq"} << false << false
                                                << QStringList{"fullscreen"} << QByteArray("x.nbq");
    QTest::newRow("after --, a dash is a name")
        << QList<QByteArray>{"--", "--help.nbq"} << false << false << QStringList() << QByteArray("--help.nbq");
    QTest::newRow("bytes kept") << QList<QByteArray>{Latin1Name} << false << false << QStringList() << Latin1Name;
}

void TestCommandLine::parse()
{
    QFETCH(QList<QByteArray>, arguments);
    QFETCH(bool, help);
    QFETCH(bool, version);
    QFETCH(QStringList, unknown);
    QFETCH(QByteArray, puzzle);

    const CommandLine line(QList<QByteArray>{"quorra"} + arguments);
    QCOMPARE(line.helpRequested(), help);
    QCOMPARE(line.versionRequested(), version);
    QCOMPARE(line.unknownOptions(), unknown);
    QCOMPARE(line.puzzleName(), puzzle);
}

void TestCommandLine::printsWithoutDisplay_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected");
    QTest::newRow("--version") << "--version"
                               << "quorra " QUORRA_VERSION "\n";
    QTest::newRow("--help") << "--help"
                            << "Usage: ";
}

// The installed program answers in a terminal with no display at all, and ends.
void TestCommandLine::printsWithoutDisplay()
{
    QFETCH(QString, option);
    QFETCH(QString, expected);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUORRA_PROGRAM), {QStringLiteral("x.nbq"), option});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    QVERIFY2(out.startsWith(expected), qPrintable(out));
    if (expected.startsWith(QLatin1String("Usage")))
        QVERIFY2(out.contains(QLatin1String("--version")) && out.contains(QLatin1String("puzzle")), qPrintable(out));
}

void TestCommandLine::nameNotUtf8_data()
{
    QTest::addColumn<QString>("kind"); // what stands under the name
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("told");

    QTest::newRow("a puzzle file") << "puzzle" << true << false;
    QTest::newRow("nothing: silence, as for any missing file") << "missing" << false << false;
    QTest::newRow("a folder") << "folder" << false << true;
    QTest::newRow("a FIFO, without waiting for a writer") << "fifo" << false << true;
}

void TestCommandLine::nameNotUtf8()
{
    QFETCH(QString, kind);
    QFETCH(bool, opens);
    QFETCH(bool, told);

    WindowFixture f(790, 560, false);
    const QByteArray name = bytes(f.folder.path()) + '/' + Latin1Name;
    const RawEntry entry{name};
    if (kind == QLatin1String("puzzle"))
        QCOMPARE(
            ::rename(bytes(f.makePuzzleFile(QStringLiteral("p.nbq"), 400, 300, 3, 3)).constData(), name.constData()),
            0);
    else if (kind == QLatin1String("folder"))
        QCOMPARE(::mkdir(name.constData(), 0700), 0);
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);

    QElapsedTimer clock;
    clock.start();
    const PuzzleArgument argument(name);
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(!argument.path().isEmpty(), opens);
    QCOMPARE(!argument.problem().isEmpty(), told);
    if (told) {
        // Named as well as it can be shown: the folder in full, the odd bytes as replacement characters.
        QVERIFY2(argument.problem().contains(f.folder.path() + QStringLiteral("/Urlaub-\uFFFDt\uFFFD.nbq")),
                 qPrintable(argument.problem()));
        return;
    }

    f.form->setCommandLinePuzzle(argument.path());
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QTRY_COMPARE(f.form->documents().puzzle() != nullptr, opens);
    QCOMPARE(f.dialogs->log, QStringList());
    if (opens) {
        QCOMPARE(f.form->documents().puzzle()->grid().rows(), 3);
        QVERIFY(!f.form->documents().puzzle()->isEditMode());
    }
}

QTEST_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
