// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a file after saves that were killed half-way: what they left beside it goes once it is stale, and
// nothing else in the folder does.
#include "ReplacingFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorra;

namespace {

enum class Kind { File, Link, Folder, OtherUsersFile };

bool exists(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestReplacingFile : public QObject
{
    Q_OBJECT

private slots:
    void staleTemporaryFiles_data();
    void staleTemporaryFiles();
    void writeWholeTellsWhy();
};

void TestReplacingFile::staleTemporaryFiles_data()
{
    QTest::addColumn<QString>("target");
    // What stands beside the target before the save, how long ago it was last written, and whether it must go.
    QTest::addColumn<QString>("name");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("minutesOld");
    QTest::addColumn<bool>("removed");

    const QString target = QStringLiteral("chosen.nbq");
    const QString left = QStringLiteral(".chosen.nbq.Ab3dE6g8");
    QTest::newRow("a killed save's file") << target << left << Kind::File << 11 << true;
    QTest::newRow("a killed save's file of yesterday") << target << left << Kind::File << 24 * 60 << true;
    QTest::newRow("a save under way") << target << left << Kind::File << 1 << false;
    QTest::newRow("another file's save") << target << QStringLiteral(".other.nbq.Ab3dE6g8") << Kind::File << 60
                                         << false;
    QTest::newRow("a letter short") << target << QStringLiteral(".chosen.nbq.Ab3dE6g") << Kind::File << 60 << false;
    QTest::newRow("a letter more") << target << QStringLiteral(".chosen.nbq.Ab3dE6g89") << Kind::File << 60 << false;
    QTest::newRow("not a letter") << target << QStringLiteral(".chosen.nbq.Ab3dE6-8") << Kind::File << 60 << false;
    QTest::newRow("not hidden") << target << QStringLiteral("chosen.nbq.Ab3dE6g8") << Kind::File << 60 << false;
    QTest::newRow("a link") << target << left << Kind::Link << 60 << false;
    QTest::newRow("a folder") << target << left << Kind::Folder << 60 << false;
    QTest::newRow("another user's file") << target << left << Kind::OtherUsersFile << 60 << false;
    const QString longName(250, QLatin1Char('n'));
    QTest::newRow("a long name, cut short")
        << longName << QLatin1Char('.') + longName.left(200) + QStringLiteral(".zZ09aB12") << Kind::File << 60 << true;
}

void TestReplacingFile::staleTemporaryFiles()
{
    QFETCH(QString, target);
    QFETCH(QString, name);
    QFETCH(Kind, kind);
    QFETCH(int, minutesOld);
    QFETCH(bool, removed);

    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const QByteArray encoded = QFile::encodeName(path);
    const QString linkTarget = dir.filePath(QStringLiteral("linked"));
    switch (kind) {
    case Kind::File:
    case Kind::OtherUsersFile: {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("half a save");
        break;
    }
    case Kind::Link:
        QFile(linkTarget).open(QIODevice::WriteOnly);
        QVERIFY(QFile::link(linkTarget, path));
        break;
    case Kind::Folder:
        QVERIFY(QDir().mkdir(path));
        break;
    }
    if (kind == Kind::OtherUsersFile && ::lchown(encoded.constData(), 65534, 65534) != 0)
        QSKIP("this user cannot give a file away");
    const timespec when[2] = {{::time(nullptr) - minutesOld * 60, 0}, {::time(nullptr) - minutesOld * 60, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, encoded.constData(), when, AT_SYMLINK_NOFOLLOW), 0);

    ReplacingFile file(dir.filePath(target));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write("saved"), qint64(5));
    QVERIFY2(file.commit(), qPrintable(file.errorString()));

    QCOMPARE(exists(path), !removed);
    if (kind == Kind::Link)
        QVERIFY(exists(linkTarget));
    QFile saved(dir.filePath(target));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("saved"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
             (removed ? 1 : 2) + (kind == Kind::Link ? 1 : 0));
}

// A refused path must come back as a reason, never as an empty string a caller would take for success.
void TestReplacingFile::writeWholeTellsWhy()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("a folder"));
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(!ReplacingFile::writeWhole(folder, "bytes").isEmpty());
    QVERIFY(QFileInfo(folder).isDir());

    const QString path = dir.filePath(QStringLiteral("whole"));
    QCOMPARE(ReplacingFile::writeWhole(path, "bytes"), QString());
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("bytes"));
}

QTEST_GUILESS_MAIN(TestReplacingFile)
#include "TestReplacingFile.moc"
