// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the INI reader and writer: lookups, in-place writes, order kept, and failed writes.
#include "../../NonRegularFiles.h"
#include "IniFile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace quorra;

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void write_data();
    void write();
    void saveRoundTrip();
    void saveCreatesFolder();
    void savedThroughALink();
    void unwritablePath();
    void unreadableFileIsNeverReplaced();
    void diskFullKeepsOldFile();
    void notASettingsFile_data();
    void notASettingsFile();
    void fileAtTheSizeLimitIsRead();

private:
    QTemporaryDir m_dir;
    QString writeText(const QString &name, const QByteArray &text);
};

QString TestIniFile::writeText(const QString &name, const QByteArray &text)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
    return path;
}

void TestIniFile::read_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // "<none>": the default comes back

    const QByteArray two = "[First]\nKey=1\n\n[Second]\nKey=2\nOther=x\n";
    QTest::newRow("plain") << two << "Second"
                           << "Key"
                           << "2";
    QTest::newRow("section of any case") << two << "sEcOnD"
                                         << "Key"
                                         << "2";
    QTest::newRow("key of any case") << two << "First"
                                     << "KEY"
                                     << "1";
    QTest::newRow("not in this section") << two << "First"
                                         << "Other"
                                         << "<none>";
    QTest::newRow("no such section") << two << "Third"
                                     << "Key"
                                     << "<none>";
    QTest::newRow("spaces around") << QByteArray("  [ S ]  \n  K  =  a value  \n") << "S"
                                   << "K"
                                   << "a value";
    QTest::newRow("quoted value") << QByteArray("[S]\nK=\" spaced \"\n") << "S"
                                  << "K"
                                  << " spaced ";
    QTest::newRow("lone quote kept") << QByteArray("[S]\nK=\"open\n") << "S"
                                     << "K"
                                     << "\"open";
    QTest::newRow("empty value") << QByteArray("[S]\nK=\n") << "S"
                                 << "K"
                                 << "";
    QTest::newRow("first of two keys") << QByteArray("[S]\nK=1\nK=2\n") << "S"
                                       << "K"
                                       << "1";
    QTest::newRow("first of two sections") << QByteArray("[S]\nK=1\n[S]\nK=2\n") << "S"
                                           << "K"
                                           << "1";
    QTest::newRow("commented key") << QByteArray("[S]\n;K=1\n#K=2\n") << "S"
                                   << "K"
                                   << "<none>";
    QTest::newRow("key before any section") << QByteArray("K=1\n[S]\n") << "S"
                                            << "K"
                                            << "<none>";
    QTest::newRow("value with equals sign") << QByteArray("[S]\nK=a=b\n") << "S"
                                            << "K"
                                            << "a=b";
    QTest::newRow("CR LF lines") << QByteArray("[S]\r\nK=1\r\nL=2\r\n") << "S"
                                 << "K"
                                 << "1";
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[S]\nK=1\n") << "S"
                                     << "K"
                                     << "1";
    QTest::newRow("key with brackets") << QByteArray("[S]\nMinMaxPos(1280x1024)=1,2,3,4\n") << "S"
                                       << "minmaxpos(1280X1024)"
                                       << "1,2,3,4";
    QTest::newRow("no end of line") << QByteArray("[S]\nK=last") << "S"
                                    << "K"
                                    << "last";
}

void TestIniFile::read()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    IniFile ini(writeText(QStringLiteral("read.ini"), text));
    QVERIFY(ini.load());
    QCOMPARE(ini.readString(section, key, QStringLiteral("<none>")), expected);
}

void TestIniFile::write_data()
{
    QTest::addColumn<QByteArray>("before"); // "<missing>": no file
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("into no file") << QByteArray("<missing>") << "S"
                                  << "K"
                                  << "v" << QByteArray("[S]\nK=v\n");
    QTest::newRow("into an empty file") << QByteArray() << "S"
                                        << "K"
                                        << "v" << QByteArray("[S]\nK=v\n");
    QTest::newRow("replaced in place") << QByteArray("[S]\na=1\nK=old\nb=2\n") << "S"
                                       << "K"
                                       << "new" << QByteArray("[S]\na=1\nK=new\nb=2\n");
    QTest::newRow("stored spelling kept") << QByteArray("[s]\n  mykey = 1\n") << "S"
                                          << "MyKey"
                                          << "2" << QByteArray("[s]\nmykey=2\n");
    QTest::newRow("new key after the section's last key") << QByteArray("[S]\na=1\n\n[T]\nb=2\n") << "S"
                                                          << "c"
                                                          << "3" << QByteArray("[S]\na=1\nc=3\n\n[T]\nb=2\n");
    QTest::newRow("comment of the next section stays with it") << QByteArray("[S]\na=1\n; about T\n[T]\n") << "S"
                                                               << "c"
                                                               << "3" << QByteArray("[S]\na=1\nc=3\n; about T\n[T]\n");
    QTest::newRow("section without keys") << QByteArray("[S]\n\n[T]\nx=1\n") << "S"
                                          << "K"
                                          << "v" << QByteArray("[S]\nK=v\n\n[T]\nx=1\n");
    QTest::newRow("new section at the end") << QByteArray("; settings\n[T]\nx=1\n") << "S"
                                            << "K"
                                            << "v" << QByteArray("; settings\n[T]\nx=1\n\n[S]\nK=v\n");
    QTest::newRow("new section after a blank line") << QByteArray("[T]\nx=1\n\n") << "S"
                                                    << "K"
                                                    << "v" << QByteArray("[T]\nx=1\n\n[S]\nK=v\n");
    QTest::newRow("other sections untouched") << QByteArray("[A]\nK=a\n[S]\nK=s\n[B]\nK=b\n") << "S"
                                              << "K"
                                              << "new" << QByteArray("[A]\nK=a\n[S]\nK=new\n[B]\nK=b\n");
    QTest::newRow("key with brackets verbatim") << QByteArray("[S]\n") << "S"
                                                << "NormPos(1280x1024)"
                                                << "1,2,3,4" << QByteArray("[S]\nNormPos(1280x1024)=1,2,3,4\n");
    QTest::newRow("line break in a value cannot forge a key")
        << QByteArray("[S]\n") << "S"
        << "K"
        << "1\n[Evil]\nX=2" << QByteArray("[S]\nK=1 [Evil] X=2\n");
    QTest::newRow("CR LF file stays CR LF") << QByteArray("[S]\r\na=1\r\n") << "S"
                                            << "b"
                                            << "2" << QByteArray("[S]\r\na=1\r\nb=2\r\n");
    QTest::newRow("missing last line end added") << QByteArray("[S]\na=1") << "S"
                                                 << "a"
                                                 << "2" << QByteArray("[S]\na=2\n");
    // A comment or section written in another encoding keeps its bytes.
    QTest::newRow("Latin-1 bytes elsewhere kept") << QByteArray("; \xE9t\xE9\n[T]\nx=\xFF\n[S]\na=1\n") << "S"
                                                  << "a"
                                                  << "2" << QByteArray("; \xE9t\xE9\n[T]\nx=\xFF\n[S]\na=2\n");
    QTest::newRow("byte-order mark kept") << QByteArray("\xEF\xBB\xBF[S]\na=1\n") << "S"
                                          << "a"
                                          << "2" << QByteArray("\xEF\xBB\xBF[S]\na=2\n");
    QTest::newRow("UTF-8 text elsewhere kept") << QByteArray("; \xC3\xA9t\xC3\xA9\n[S]\na=1\n") << "S"
                                               << "a"
                                               << "2" << QByteArray("; \xC3\xA9t\xC3\xA9\n[S]\na=2\n");
}

void TestIniFile::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    const QString path = m_dir.filePath(QStringLiteral("write.ini"));
    QFile::remove(path);
    if (before != "<missing>")
        writeText(QStringLiteral("write.ini"), before);

    IniFile ini(path);
    QVERIFY(ini.load());
    ini.writeString(section, key, value);
    QVERIFY2(ini.save(), qPrintable(ini.errorString()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), after);
}

void TestIniFile::saveRoundTrip()
{
    const QString path = m_dir.filePath(QStringLiteral("round.ini"));
    {
        IniFile ini(path);
        QVERIFY(ini.load());
        ini.writeString(QStringLiteral("S"), QStringLiteral("Name"), QStringLiteral("Grüße, Ünïcode"));
        ini.writeString(QStringLiteral("S"), QStringLiteral("Other"), QStringLiteral("x"));
        QVERIFY(ini.save());
    }
    IniFile again(path);
    QVERIFY(again.load());
    QCOMPARE(again.readString(QStringLiteral("s"), QStringLiteral("name")), QStringLiteral("Grüße, Ünïcode"));
    QVERIFY(again.hasKey(QStringLiteral("S"), QStringLiteral("Other")));
    QVERIFY(!again.hasKey(QStringLiteral("S"), QStringLiteral("Third")));
}

void TestIniFile::saveCreatesFolder()
{
    const QString path = m_dir.filePath(QStringLiteral("config/quorra/quorra.INI"));
    IniFile ini(path);
    QVERIFY(ini.load());
    ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"));
    QVERIFY2(ini.save(), qPrintable(ini.errorString()));
    QVERIFY(QFile::exists(path));
}

// A settings file that is a link to one kept elsewhere stays a link, and its target gets the new settings.
void TestIniFile::savedThroughALink()
{
    const QString kept = writeText(QStringLiteral("kept.ini"), "[S]\r\nK=old\r\n");
    const QString link = m_dir.filePath(QStringLiteral("linked.ini"));
    QVERIFY(QFile::link(kept, link));
    IniFile ini(link);
    QVERIFY(ini.load());
    ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("new"));
    QVERIFY2(ini.save(), qPrintable(ini.errorString()));
    QVERIFY(QFileInfo(link).isSymLink());
    IniFile again(kept);
    QVERIFY(again.load());
    QCOMPARE(again.readString(QStringLiteral("S"), QStringLiteral("K")), QStringLiteral("new"));
}

// The folder cannot be made (a file stands where it should be): refused, by name, whoever runs it.
void TestIniFile::unwritablePath()
{
    const QString blocker = writeText(QStringLiteral("blocker"), "not a folder");
    const QString path = blocker + QStringLiteral("/quorra.INI");
    IniFile ini(path);
    QVERIFY(ini.load()); // nothing there yet
    ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"));
    QVERIFY(!ini.save());
    QCOMPARE(ini.errorString(), QStringLiteral("Unable to write to ") + path);
}

// Something that exists but cannot be read (here a folder by that name) must not be replaced by
// a file holding only the new keys.
void TestIniFile::unreadableFileIsNeverReplaced()
{
    const QString path = m_dir.filePath(QStringLiteral("folder.ini"));
    QVERIFY(QDir().mkpath(path));
    IniFile ini(path);
    QVERIFY(!ini.load());
    ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"));
    QVERIFY(!ini.save());
    QCOMPARE(ini.errorString(), QStringLiteral("Unable to write to ") + path);
    QVERIFY(QFileInfo(path).isDir());
}

// A disk that fills up in the middle of the write: the save fails and the file that was there stays whole. A
// file-size limit stands in for the full disk, since root is not stopped by permissions.
void TestIniFile::diskFullKeepsOldFile()
{
    const QByteArray old = "[Other]\nKeep=1\n";
    const QString path = writeText(QStringLiteral("full.ini"), old);
    IniFile ini(path);
    QVERIFY(ini.load());
    for (int i = 0; i < 40; ++i)
        ini.writeString(QStringLiteral("S"), QStringLiteral("Key%1").arg(i), QStringLiteral("a long enough value"));

    rlimit before;
    getrlimit(RLIMIT_FSIZE, &before);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = before;
    limited.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &limited);
    const bool saved = ini.save();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!saved);
    QCOMPARE(ini.errorString(), QStringLiteral("Unable to write to ") + path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
}

// Kinds past the non-regular files: a sparse file of 4 GB, and one a byte over the limit.
constexpr int HugeSparse = 100;
constexpr int OneByteTooMany = 101;

// Never waited on, never read into memory, never replaced: the settings start from their defaults.
void TestIniFile::notASettingsFile_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("pipe without a writer") << int(NonRegularFile::Fifo);
    QTest::newRow("link to a pipe") << int(NonRegularFile::FifoLink);
    QTest::newRow("socket") << int(NonRegularFile::Socket);
    QTest::newRow("link to /dev/zero") << int(NonRegularFile::ZeroLink);
    QTest::newRow("4 GB sparse file") << HugeSparse;
    QTest::newRow("a byte over 1 MB") << OneByteTooMany;
}

void TestIniFile::notASettingsFile()
{
    QFETCH(int, kind);
    const QString path = m_dir.filePath(QStringLiteral("odd-%1.INI").arg(kind));
    if (kind >= HugeSparse) {
        writeText(QStringLiteral("odd-%1.INI").arg(kind), "[S]\nK=stored\n");
        QVERIFY(QFile::resize(path, kind == HugeSparse ? 4LL << 30 : IniFile::MaxFileSize + 1));
    } else {
        QVERIFY(makeNonRegularFile(NonRegularFile(kind), path));
    }
    const mode_t type = fileType(path);
    const qint64 size = QFileInfo(path).size();

    QElapsedTimer clock;
    clock.start();
    IniFile ini(path);
    QVERIFY(!ini.load());
    QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("default")),
             QStringLiteral("default"));
    ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("new"));
    QVERIFY(!ini.save());
    QVERIFY(clock.elapsed() < RefusalMilliseconds);
    QCOMPARE(ini.errorString(), QStringLiteral("Unable to write to ") + path);
    QCOMPARE(fileType(path), type);
    QCOMPARE(QFileInfo(path).size(), size);
}

void TestIniFile::fileAtTheSizeLimitIsRead()
{
    QByteArray text = "[S]\nK=stored\n;";
    text += QByteArray(IniFile::MaxFileSize - text.size() - 1, 'x') + '\n';
    QCOMPARE(text.size(), IniFile::MaxFileSize);
    IniFile ini(writeText(QStringLiteral("limit.ini"), text));
    QVERIFY(ini.load());
    QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("K")), QStringLiteral("stored"));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "TestIniFile.moc"
