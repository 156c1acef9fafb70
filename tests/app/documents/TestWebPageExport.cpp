// SPDX-License-Identifier: GPL-3.0-or-later
// quorra --export-web: the page written holds the puzzle file's own bytes, and every refusal is a message on
// stderr with status 1 that leaves the page that was there as it was.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestWebPageExport : public QObject
{
    Q_OBJECT

private slots:
    void exportWeb_data();
    void exportWeb();
};

void TestWebPageExport::exportWeb_data()
{
    QTest::addColumn<QString>("puzzle");
    QTest::addColumn<QString>("page"); // relative to a fresh folder, which holds "old.html" beforehand
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");

    const QString data = QStringLiteral(QUORRA_TEST_DATA "/");
    const QString sample = QStringLiteral(QUORRA_SAMPLE_PUZZLE);
    QTest::newRow("a puzzle") << sample << "Sample.html" << 0 << "";
    QTest::newRow("a puzzle over an old page") << sample << "old.html" << 0 << "";
    QTest::newRow("a page of another name") << data + "puzzle-3x4.nbq"
                                            << "friend.htm" << 0 << "";
    QTest::newRow("cut short") << data + "short-header.nbq"
                               << "old.html" << 1 << "is damaged: it ends before its header is complete.";
    QTest::newRow("scan bomb") << data + "picture-scan-bomb.nbq"
                               << "old.html" << 1 << "more than 100 scans";
    QTest::newRow("picture missing") << data + "picture-missing.nbq"
                                     << "old.html" << 1 << "JPEG error #";
    QTest::newRow("too new") << data + "version-two.nbq"
                             << "old.html" << 1 << "This puzzle requires Quorra version 2 or later.";
    QTest::newRow("a picture, not a puzzle") << data + "colour-420.jpg"
                                             << "old.html" << 1 << "its grid is not one that Quorra makes.";
    QTest::newRow("no such file") << data + "no-such.nbq"
                                  << "old.html" << 1 << "Cannot open file";
    QTest::newRow("a folder") << data << "old.html" << 1 << "Cannot open file";
    QTest::newRow("no page named") << sample << "" << 1 << "needs a puzzle file and the page to write";
    QTest::newRow("page in no folder") << sample << "missing/page.html" << 1 << "Cannot create file";
}

void TestWebPageExport::exportWeb()
{
    QFETCH(QString, puzzle);
    QFETCH(QString, page);
    QFETCH(int, status);
    QFETCH(QString, said);

    QTemporaryDir folder;
    const QString old = folder.filePath(QStringLiteral("old.html"));
    QFile oldPage(old);
    QVERIFY(oldPage.open(QIODevice::WriteOnly));
    oldPage.write("the page that was there");
    oldPage.close();

    QProcess program;
    // Exporting is a batch job: it must not need a window system.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(environment);
    QStringList arguments{QStringLiteral("--export-web"), puzzle};
    if (!page.isEmpty())
        arguments << folder.filePath(page);
    program.start(QStringLiteral(QUORRA_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(program.exitCode(), status);

    if (status != 0) {
        QVERIFY2(err.contains(said), qPrintable(err));
        QVERIFY(oldPage.open(QIODevice::ReadOnly));
        QCOMPARE(oldPage.readAll(), QByteArray("the page that was there"));
        return;
    }
    QVERIFY2(err.isEmpty(), qPrintable(err));
    QFile in(puzzle), out(folder.filePath(page));
    QVERIFY(in.open(QIODevice::ReadOnly));
    QVERIFY(out.open(QIODevice::ReadOnly));
    const QByteArray html = out.readAll();
    QVERIFY(html.contains(in.readAll().toBase64()));
    QVERIFY(!html.contains("@PUZZLE@"));
    QVERIFY(html.contains("<title>Quorra: " + QFileInfo(puzzle).completeBaseName().toUtf8() + "</title>"));
    // The policy that keeps the page off the network travels with it.
    QVERIFY(html.contains("connect-src 'none'"));
}

QTEST_GUILESS_MAIN(TestWebPageExport)
#include "TestWebPageExport.moc"
