// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the settings store: the keys a save writes, the reading rules, and failed writes.
#include "WindowSettings.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace quorra;

namespace {

const QString Section = QStringLiteral("TNimbrelMainForm");

// A window of 800 x 600 at (100, 50) on a 1280 x 1024 screen at 96 dots per inch.
WindowPlacement window()
{
    WindowPlacement p;
    p.flags = 0;
    p.showCmd = 1;
    p.minPosition = QPoint(-1, -1);
    p.maxPosition = QPoint(-1, -1);
    p.left = 100;
    p.top = 50;
    p.right = 900;
    p.bottom = 650;
    p.pixelsPerInch = 96;
    p.screenSize = QSize(1280, 1024);
    return p;
}

// The check marks a window hands in, in the order its command list keeps them, each at its default.
QList<CheckMark> storedMarks()
{
    return {{"AutoBestFitAction", false},
            {"DarkAction", false},
            {"EmptyColumnAction", false},
            {"EmptyRowAction", false},
            {"TransparentAction", false},
            {"NegativeAction", false},
            {"ObscureAction", false},
            {"SemiEffectAction", false},
            {"HiddenAction", true},
            {"TopSecretAction", false},
            {"mSound", true},
            {"Action2x2", true},
            {"Action2x3", false},
            {"Action2x4", false},
            {"Action3x2", false},
            {"Action3x3", false},
            {"Action3x4", false},
            {"Action4x2", false},
            {"Action4x3", false},
            {"Action4x4", false},
            {"ShowAtStartAction", true},
            {"LowResolutionAction", false}};
}

bool mark(const QList<CheckMark> &marks, const QString &name)
{
    for (const CheckMark &m : marks)
        if (m.name == name)
            return m.checked;
    qFatal("no check mark %s", qPrintable(name));
}

} // namespace

class TestWindowSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void firstExitWritesEveryKeyInOrder();
    void checkMarkRules_data();
    void checkMarkRules();
    void integers_data();
    void integers();
    void positions_data();
    void positions();
    void placement_data();
    void placement();
    void olderLayoutRestoresNothing();
    void nextSaveKeepsOtherScreensAndSections();
    void destroyWithoutCloseWritesVisible();
    void closeThenDestroyWritesOnce();
    void noSaveBeforeRestore();
    void unwritableFolderIsReported();

private:
    QTemporaryDir m_dir;
    QString m_path;
    void writeFile(const QByteArray &text);
    QByteArray readFile() const;
};

void TestWindowSettings::init()
{
    m_path = m_dir.filePath(QStringLiteral("quorra.INI"));
    QFile::remove(m_path);
}

void TestWindowSettings::writeFile(const QByteArray &text)
{
    QFile file(m_path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray TestWindowSettings::readFile() const
{
    QFile file(m_path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestWindowSettings::firstExitWritesEveryKeyInOrder()
{
    WindowSettings store(m_path);
    const RestoredWindow r = store.restore(window(), storedMarks());
    const QList<CheckMark> &marks = r.checkMarks;
    QVERIFY(r.restored);
    QVERIFY(!r.applyPlacement); // nothing stored: the window keeps its own place
    QCOMPARE(marks, storedMarks());
    QVERIFY(store.saveOnClose(window(), marks));
    QCOMPARE(readFile(), QByteArray("[TNimbrelMainForm]\n"
                                    "FormVersion=0\n"
                                    "Flags=0\n"
                                    "ShowCmd=1\n"
                                    "PixelsPerInch=96\n"
                                    "MinMaxPos(1280x1024)=-1,-1,-1,-1\n"
                                    "MinMaxPos=-1,-1,-1,-1\n"
                                    "NormPos(1280x1024)=100,50,900,650\n"
                                    "NormPos=100,50,900,650\n"
                                    "Visible=0\n"
                                    "AutoBestFitAction_Checked=False\n"
                                    "DarkAction_Checked=False\n"
                                    "EmptyColumnAction_Checked=False\n"
                                    "EmptyRowAction_Checked=False\n"
                                    "TransparentAction_Checked=False\n"
                                    "NegativeAction_Checked=False\n"
                                    "ObscureAction_Checked=False\n"
                                    "SemiEffectAction_Checked=False\n"
                                    "HiddenAction_Checked=True\n"
                                    "TopSecretAction_Checked=False\n"
                                    "mSound_Checked=True\n"
                                    "Action2x2_Checked=True\n"
                                    "Action2x3_Checked=False\n"
                                    "Action2x4_Checked=False\n"
                                    "Action3x2_Checked=False\n"
                                    "Action3x3_Checked=False\n"
                                    "Action3x4_Checked=False\n"
                                    "Action4x2_Checked=False\n"
                                    "Action4x3_Checked=False\n"
                                    "Action4x4_Checked=False\n"
                                    "ShowAtStartAction_Checked=True\n"
                                    "LowResolutionAction_Checked=False\n"));
}

void TestWindowSettings::checkMarkRules_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("expected");

    QTest::newRow("lower-case true") << "ShowAtStartAction"
                                     << "true" << true;
    QTest::newRow("1 leaves the default on") << "ShowAtStartAction"
                                             << "1" << true;
    QTest::newRow("False turns it off") << "ShowAtStartAction"
                                        << "False" << false;
    QTest::newRow("0 leaves sound on") << "mSound"
                                       << "0" << true;
    QTest::newRow("upper-case FALSE") << "mSound"
                                      << "FALSE" << false;
    QTest::newRow("spaces around") << "mSound"
                                   << "  false  " << false;
    QTest::newRow("empty leaves it") << "mSound"
                                     << "" << true;
    QTest::newRow("True sets an unchecked one") << "Action3x4"
                                                << "True" << true;
    QTest::newRow("yes leaves it off") << "Action3x4"
                                       << "yes" << false;
    QTest::newRow("-1 leaves it off") << "Action3x4"
                                      << "-1" << false;
    QTest::newRow("hidden option comes back") << "EmptyRowAction"
                                              << "True" << true;
    QTest::newRow("truth inside a word") << "DarkAction"
                                         << "Truely" << false;
}

void TestWindowSettings::checkMarkRules()
{
    QFETCH(QString, name);
    QFETCH(QString, stored);
    QFETCH(bool, expected);
    writeFile("[TNimbrelMainForm]\n" + WindowSettings::checkMarkKey(name).toUtf8() + "=" + stored.toUtf8()
              + "\nDarkAction_Checked=Truely\n");
    WindowSettings store(m_path);
    const QList<CheckMark> marks = store.restore(window(), storedMarks()).checkMarks;
    QCOMPARE(mark(marks, name), expected);
    // The other marks keep their defaults.
    QCOMPARE(mark(marks, QStringLiteral("HiddenAction")), true);
    QCOMPARE(mark(marks, QStringLiteral("Action2x2")), true);
    QCOMPARE(mark(marks, QStringLiteral("LowResolutionAction")), false);
}

void TestWindowSettings::integers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // default 7

    QTest::newRow("decimal") << "42" << 42;
    QTest::newRow("negative") << "-3" << -3;
    QTest::newRow("plus sign") << "+3" << 3;
    QTest::newRow("hex") << "0x1F" << 31;
    QTest::newRow("hex upper X") << "0X10" << 16;
    QTest::newRow("hex all bits") << "0xFFFFFFFF" << -1;
    QTest::newRow("spaces") << " 12 " << 12;
    QTest::newRow("empty") << "" << 7;
    QTest::newRow("word") << "abc" << 7;
    QTest::newRow("trailing letters") << "12px" << 7;
    QTest::newRow("bare 0x") << "0x" << 7;
    QTest::newRow("hex digits without 0x") << "1F" << 7;
    QTest::newRow("too large") << "2147483648" << 7;
    QTest::newRow("smallest") << "-2147483648" << int(std::numeric_limits<qint32>::min());
    QTest::newRow("far too large") << "99999999999999999999" << 7;
    QTest::newRow("hex too long") << "0x100000000" << 7;
    QTest::newRow("decimal point") << "1.5" << 7;
}

void TestWindowSettings::integers()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(WindowSettings::parseInteger(text, 7), expected);
}

void TestWindowSettings::positions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("expected"); // defaults 91, 92, 93, 94

    QTest::newRow("four") << "1,2,3,4" << QList<int>{1, 2, 3, 4};
    QTest::newRow("negative") << "-32000,-32000,-1,-1" << QList<int>{-32000, -32000, -1, -1};
    QTest::newRow("run of commas") << "1,,2,,,3,4" << QList<int>{1, 2, 3, 4};
    QTest::newRow("leading comma") << ",1,2,3,4" << QList<int>{1, 2, 3, 4};
    QTest::newRow("two words") << "5,6" << QList<int>{5, 6, 93, 94};
    QTest::newRow("bad word") << "1,x,3,4" << QList<int>{1, 92, 3, 4};
    QTest::newRow("five words") << "1,2,3,4,5" << QList<int>{1, 2, 3, 4};
    QTest::newRow("hex word") << "0x10,2,3,4" << QList<int>{16, 2, 3, 4};
}

void TestWindowSettings::positions()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, expected);
    QCOMPARE(WindowSettings::parsePosition(text, {91, 92, 93, 94}), expected);
}

void TestWindowSettings::placement_data()
{
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<bool>("apply");
    QTest::addColumn<QList<int>>("rect"); // left, top, right, bottom restored (or kept)
    QTest::addColumn<int>("showState");

    const QList<int> kept{100, 50, 900, 650};
    QTest::newRow("plain keys") << QByteArray("NormPos=10,20,610,420\nPixelsPerInch=96\n") << true
                                << QList<int>{10, 20, 610, 420} << int(ShowState::Normal);
    QTest::newRow("this screen's keys win") << QByteArray("NormPos(1280x1024)=1,2,301,202\nNormPos=10,20,610,420\n")
                                            << true << QList<int>{1, 2, 301, 202} << int(ShowState::Normal);
    QTest::newRow("another screen's keys ignored")
        << QByteArray("NormPos(1024x768)=1,2,301,202\nNormPos=10,20,610,420\n") << true << QList<int>{10, 20, 610, 420}
        << int(ShowState::Normal);
    QTest::newRow("only another screen's keys")
        << QByteArray("NormPos(1024x768)=1,2,301,202\n") << false << kept << int(ShowState::Normal);
    QTest::newRow("empty key for this screen") << QByteArray("NormPos(1280x1024)=\nNormPos=10,20,610,420\n") << true
                                               << QList<int>{10, 20, 610, 420} << int(ShowState::Normal);
    QTest::newRow("other dots per inch: only the state")
        << QByteArray("NormPos=10,20,610,420\nPixelsPerInch=120\nShowCmd=3\n") << false << kept
        << int(ShowState::Maximized);
    QTest::newRow("left not before right")
        << QByteArray("NormPos=600,20,600,420\n") << false << kept << int(ShowState::Normal);
    QTest::newRow("partial rectangle") << QByteArray("NormPos=5,6\n") << true << QList<int>{5, 6, 900, 650}
                                       << int(ShowState::Normal);
    QTest::newRow("MinMaxPos alone keeps the rectangle")
        << QByteArray("MinMaxPos=1,2,3,4\n") << true << kept << int(ShowState::Normal);
    QTest::newRow("ShowCmd 5") << QByteArray("ShowCmd=5\n") << false << kept << int(ShowState::Normal);
    QTest::newRow("ShowCmd 9") << QByteArray("ShowCmd=9\n") << false << kept << int(ShowState::Normal);
    QTest::newRow("ShowCmd 2") << QByteArray("ShowCmd=2\n") << false << kept << int(ShowState::Minimized);
    QTest::newRow("ShowCmd 6") << QByteArray("ShowCmd=6\n") << false << kept << int(ShowState::Minimized);
    QTest::newRow("ShowCmd 7") << QByteArray("ShowCmd=7\n") << false << kept << int(ShowState::Minimized);
    QTest::newRow("ShowCmd 3") << QByteArray("ShowCmd=3\n") << false << kept << int(ShowState::Maximized);
    QTest::newRow("ShowCmd 4") << QByteArray("ShowCmd=4\n") << false << kept << int(ShowState::Normal);
    QTest::newRow("ShowCmd word") << QByteArray("ShowCmd=max\n") << false << kept << int(ShowState::Normal);
}

void TestWindowSettings::placement()
{
    QFETCH(QByteArray, keys);
    QFETCH(bool, apply);
    QFETCH(QList<int>, rect);
    QFETCH(int, showState);
    writeFile("[TNimbrelMainForm]\n" + keys);
    WindowSettings store(m_path);
    const RestoredWindow r = store.restore(window(), storedMarks());
    QVERIFY(r.restored);
    QCOMPARE(r.applyPlacement, apply);
    QCOMPARE((QList<int>{r.placement.left, r.placement.top, r.placement.right, r.placement.bottom}), rect);
    QCOMPARE(int(r.showState), showState);
}

void TestWindowSettings::olderLayoutRestoresNothing()
{
    writeFile("[TNimbrelMainForm]\nFormVersion=-1\nNormPos=10,20,610,420\nShowCmd=3\nmSound_Checked=False\n");
    WindowSettings store(m_path);
    const RestoredWindow r = store.restore(window(), storedMarks());
    const QList<CheckMark> &marks = r.checkMarks;
    QVERIFY(!r.restored);
    QVERIFY(!r.applyPlacement);
    QCOMPARE(int(r.showState), int(ShowState::Normal));
    QCOMPARE(marks, storedMarks());
    // The next save writes the current layout anew.
    QVERIFY(store.saveOnClose(window(), marks));
    WindowSettings again(m_path);
    QVERIFY(again.restore(window(), storedMarks()).restored);
    QVERIFY(readFile().contains("FormVersion=0\n"));
}

void TestWindowSettings::nextSaveKeepsOtherScreensAndSections()
{
    writeFile("; written on the laptop\n"
              "[Other]\nKeep=me\n\n"
              "[TNimbrelMainForm]\nFormVersion=0\nNormPos(1024x768)=1,2,301,202\nNormPos=1,2,301,202\n"
              "mSound_Checked=False\n\n"
              "[Later]\nAlso=kept\n");
    WindowSettings store(m_path);
    const RestoredWindow r = store.restore(window(), storedMarks());
    const QList<CheckMark> &marks = r.checkMarks;
    QVERIFY(r.applyPlacement);
    QCOMPARE(mark(marks, QStringLiteral("mSound")), false);
    QVERIFY(store.saveOnClose(window(), marks));

    const QByteArray text = readFile();
    QVERIFY(text.startsWith("; written on the laptop\n[Other]\nKeep=me\n\n[TNimbrelMainForm]\nFormVersion=0\n"
                            "NormPos(1024x768)=1,2,301,202\nNormPos=100,50,900,650\nmSound_Checked=False\n"));
    QVERIFY(text.contains("NormPos(1280x1024)=100,50,900,650\n"));
    QVERIFY(text.endsWith("LowResolutionAction_Checked=False\n\n[Later]\nAlso=kept\n"));
    QCOMPARE(text.count("NormPos"), 3);
}

void TestWindowSettings::destroyWithoutCloseWritesVisible()
{
    WindowSettings store(m_path);
    const QList<CheckMark> marks = store.restore(window(), storedMarks()).checkMarks;
    QVERIFY(store.saveOnDestroy(window(), marks));
    QVERIFY(readFile().contains("\nVisible=1\n"));
    QVERIFY(store.isSaved());
}

void TestWindowSettings::closeThenDestroyWritesOnce()
{
    WindowSettings store(m_path);
    const QList<CheckMark> marks = store.restore(window(), storedMarks()).checkMarks;
    QVERIFY(store.saveOnClose(window(), marks));
    QVERIFY(readFile().contains("\nVisible=0\n"));
    QVERIFY(QFile::remove(m_path));
    QVERIFY(store.saveOnDestroy(window(), marks));
    QCOMPARE(readFile(), QByteArray("<missing>"));
}

// A window never shown has nothing worth keeping; the file stays as it was.
void TestWindowSettings::noSaveBeforeRestore()
{
    WindowSettings store(m_path);
    QVERIFY(store.saveOnClose(window(), storedMarks()));
    QVERIFY(store.saveOnDestroy(window(), storedMarks()));
    QCOMPARE(readFile(), QByteArray("<missing>"));
}

void TestWindowSettings::unwritableFolderIsReported()
{
    // A file where the settings folder should be: no user, root included, can write there.
    const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
    QFile b(blocker);
    QVERIFY(b.open(QIODevice::WriteOnly));
    b.close();
    const QString path = blocker + QStringLiteral("/quorra.INI");

    WindowSettings store(path);
    const QList<CheckMark> marks = store.restore(window(), storedMarks()).checkMarks;
    QVERIFY(!store.saveOnClose(window(), marks));
    QCOMPARE(store.errorString(), QStringLiteral("Unable to write to ") + path);
    QVERIFY(!store.isSaved());
    // Tried once more as the window goes, with the same outcome.
    QVERIFY(!store.saveOnDestroy(window(), marks));
    QCOMPARE(store.errorString(), QStringLiteral("Unable to write to ") + path);
}

QTEST_GUILESS_MAIN(TestWindowSettings)
#include "TestWindowSettings.moc"
