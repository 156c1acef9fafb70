// Tests of the settings store: the keys a save writes, the reading rules, and failed writes.
#include "TFormStorage.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Section = QStringLiteral("TNimbrelMainForm");

// A window of 800 x 600 at (100, 50) on a 1280 x 1024 screen at 96 dots per inch.
TFormPlacement Window()
{
    TFormPlacement P;
    P.Flags = 0;
    P.ShowCmd = 1;
    P.MinPosition = QPoint(-1, -1);
    P.MaxPosition = QPoint(-1, -1);
    P.Left = 100;
    P.Top = 50;
    P.Right = 900;
    P.Bottom = 650;
    P.PixelsPerInch = 96;
    P.ScreenSize = QSize(1280, 1024);
    return P;
}

bool Mark(const QList<TCheckMark> &Marks, const QString &Name)
{
    for (const TCheckMark &M : Marks)
        if (M.Name == Name)
            return M.Checked;
    qFatal("no check mark %s", qPrintable(Name));
}

} // namespace

class TestTFormStorage : public QObject
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
    QTemporaryDir FDir;
    QString FPath;
    void WriteFile(const QByteArray &Text);
    QByteArray ReadFile() const;
};

void TestTFormStorage::init()
{
    FPath = FDir.filePath(QStringLiteral("quorra.INI"));
    QFile::remove(FPath);
}

void TestTFormStorage::WriteFile(const QByteArray &Text)
{
    QFile File(FPath);
    QVERIFY(File.open(QIODevice::WriteOnly));
    File.write(Text);
}

QByteArray TestTFormStorage::ReadFile() const
{
    QFile File(FPath);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}

void TestTFormStorage::firstExitWritesEveryKeyInOrder()
{
    TFormStorage Store(FPath);
    QList<TCheckMark> Marks = TFormStorage::DefaultCheckMarks();
    const TFormRestore R = Store.Restore(Window(), Marks);
    QVERIFY(R.Restored);
    QVERIFY(!R.ApplyPlacement); // nothing stored: the window keeps its own place
    QCOMPARE(Marks, TFormStorage::DefaultCheckMarks());
    QVERIFY(Store.SaveOnClose(Window(), Marks));
    QCOMPARE(ReadFile(), QByteArray("[TNimbrelMainForm]\n"
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

void TestTFormStorage::checkMarkRules_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QString>("Stored");
    QTest::addColumn<bool>("Expected");

    QTest::newRow("lower-case true") << "ShowAtStartAction" << "true" << true;
    QTest::newRow("1 leaves the default on") << "ShowAtStartAction" << "1" << true;
    QTest::newRow("False turns it off") << "ShowAtStartAction" << "False" << false;
    QTest::newRow("0 leaves sound on") << "mSound" << "0" << true;
    QTest::newRow("upper-case FALSE") << "mSound" << "FALSE" << false;
    QTest::newRow("spaces around") << "mSound" << "  false  " << false;
    QTest::newRow("empty leaves it") << "mSound" << "" << true;
    QTest::newRow("True sets an unchecked one") << "Action3x4" << "True" << true;
    QTest::newRow("yes leaves it off") << "Action3x4" << "yes" << false;
    QTest::newRow("-1 leaves it off") << "Action3x4" << "-1" << false;
    QTest::newRow("hidden option comes back") << "EmptyRowAction" << "True" << true;
    QTest::newRow("truth inside a word") << "DarkAction" << "Truely" << false;
}

void TestTFormStorage::checkMarkRules()
{
    QFETCH(QString, Name);
    QFETCH(QString, Stored);
    QFETCH(bool, Expected);
    WriteFile("[TNimbrelMainForm]\n" + TFormStorage::CheckMarkKey(Name).toUtf8() + "=" + Stored.toUtf8() +
              "\nDarkAction_Checked=Truely\n");
    TFormStorage Store(FPath);
    QList<TCheckMark> Marks = TFormStorage::DefaultCheckMarks();
    Store.Restore(Window(), Marks);
    QCOMPARE(Mark(Marks, Name), Expected);
    // The other marks keep their defaults.
    QCOMPARE(Mark(Marks, QStringLiteral("HiddenAction")), true);
    QCOMPARE(Mark(Marks, QStringLiteral("Action2x2")), true);
    QCOMPARE(Mark(Marks, QStringLiteral("LowResolutionAction")), false);
}

void TestTFormStorage::integers_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<int>("Expected"); // default 7

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

void TestTFormStorage::integers()
{
    QFETCH(QString, Text);
    QFETCH(int, Expected);
    QCOMPARE(TFormStorage::ParseInteger(Text, 7), Expected);
}

void TestTFormStorage::positions_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<QList<int>>("Expected"); // defaults 91, 92, 93, 94

    QTest::newRow("four") << "1,2,3,4" << QList<int>{1, 2, 3, 4};
    QTest::newRow("negative") << "-32000,-32000,-1,-1" << QList<int>{-32000, -32000, -1, -1};
    QTest::newRow("run of commas") << "1,,2,,,3,4" << QList<int>{1, 2, 3, 4};
    QTest::newRow("leading comma") << ",1,2,3,4" << QList<int>{1, 2, 3, 4};
    QTest::newRow("two words") << "5,6" << QList<int>{5, 6, 93, 94};
    QTest::newRow("bad word") << "1,x,3,4" << QList<int>{1, 92, 3, 4};
    QTest::newRow("five words") << "1,2,3,4,5" << QList<int>{1, 2, 3, 4};
    QTest::newRow("hex word") << "0x10,2,3,4" << QList<int>{16, 2, 3, 4};
}

void TestTFormStorage::positions()
{
    QFETCH(QString, Text);
    QFETCH(QList<int>, Expected);
    QCOMPARE(TFormStorage::ParsePosition(Text, {91, 92, 93, 94}), Expected);
}

void TestTFormStorage::placement_data()
{
    QTest::addColumn<QByteArray>("Keys");
    QTest::addColumn<bool>("Apply");
    QTest::addColumn<QList<int>>("Rect"); // left, top, right, bottom restored (or kept)
    QTest::addColumn<int>("ShowState");

    const QList<int> Kept{100, 50, 900, 650};
    QTest::newRow("plain keys") << QByteArray("NormPos=10,20,610,420\nPixelsPerInch=96\n") << true
                                << QList<int>{10, 20, 610, 420} << int(TShowState::Normal);
    QTest::newRow("this screen's keys win") << QByteArray("NormPos(1280x1024)=1,2,301,202\nNormPos=10,20,610,420\n")
                                            << true << QList<int>{1, 2, 301, 202} << int(TShowState::Normal);
    QTest::newRow("another screen's keys ignored")
        << QByteArray("NormPos(1024x768)=1,2,301,202\nNormPos=10,20,610,420\n") << true
        << QList<int>{10, 20, 610, 420} << int(TShowState::Normal);
    QTest::newRow("only another screen's keys") << QByteArray("NormPos(1024x768)=1,2,301,202\n") << false << Kept
                                                << int(TShowState::Normal);
    QTest::newRow("empty key for this screen") << QByteArray("NormPos(1280x1024)=\nNormPos=10,20,610,420\n") << true
                                               << QList<int>{10, 20, 610, 420} << int(TShowState::Normal);
    QTest::newRow("other dots per inch: only the state")
        << QByteArray("NormPos=10,20,610,420\nPixelsPerInch=120\nShowCmd=3\n") << false << Kept << int(TShowState::Maximized);
    QTest::newRow("left not before right") << QByteArray("NormPos=600,20,600,420\n") << false << Kept << int(TShowState::Normal);
    QTest::newRow("partial rectangle") << QByteArray("NormPos=5,6\n") << true << QList<int>{5, 6, 900, 650}
                                       << int(TShowState::Normal);
    QTest::newRow("MinMaxPos alone keeps the rectangle") << QByteArray("MinMaxPos=1,2,3,4\n") << true << Kept
                                                         << int(TShowState::Normal);
    QTest::newRow("ShowCmd 5") << QByteArray("ShowCmd=5\n") << false << Kept << int(TShowState::Normal);
    QTest::newRow("ShowCmd 9") << QByteArray("ShowCmd=9\n") << false << Kept << int(TShowState::Normal);
    QTest::newRow("ShowCmd 2") << QByteArray("ShowCmd=2\n") << false << Kept << int(TShowState::Minimized);
    QTest::newRow("ShowCmd 6") << QByteArray("ShowCmd=6\n") << false << Kept << int(TShowState::Minimized);
    QTest::newRow("ShowCmd 7") << QByteArray("ShowCmd=7\n") << false << Kept << int(TShowState::Minimized);
    QTest::newRow("ShowCmd 3") << QByteArray("ShowCmd=3\n") << false << Kept << int(TShowState::Maximized);
    QTest::newRow("ShowCmd 4") << QByteArray("ShowCmd=4\n") << false << Kept << int(TShowState::Normal);
    QTest::newRow("ShowCmd word") << QByteArray("ShowCmd=max\n") << false << Kept << int(TShowState::Normal);
}

void TestTFormStorage::placement()
{
    QFETCH(QByteArray, Keys);
    QFETCH(bool, Apply);
    QFETCH(QList<int>, Rect);
    QFETCH(int, ShowState);
    WriteFile("[TNimbrelMainForm]\n" + Keys);
    TFormStorage Store(FPath);
    QList<TCheckMark> Marks = TFormStorage::DefaultCheckMarks();
    const TFormRestore R = Store.Restore(Window(), Marks);
    QVERIFY(R.Restored);
    QCOMPARE(R.ApplyPlacement, Apply);
    QCOMPARE((QList<int>{R.Placement.Left, R.Placement.Top, R.Placement.Right, R.Placement.Bottom}), Rect);
    QCOMPARE(int(R.ShowState), ShowState);
}

void TestTFormStorage::olderLayoutRestoresNothing()
{
    WriteFile("[TNimbrelMainForm]\nFormVersion=-1\nNormPos=10,20,610,420\nShowCmd=3\nmSound_Checked=False\n");
    TFormStorage Store(FPath);
    QList<TCheckMark> Marks = TFormStorage::DefaultCheckMarks();
    const TFormRestore R = Store.Restore(Window(), Marks);
    QVERIFY(!R.Restored);
    QVERIFY(!R.ApplyPlacement);
    QCOMPARE(int(R.ShowState), int(TShowState::Normal));
    QCOMPARE(Marks, TFormStorage::DefaultCheckMarks());
    // The next save writes the current layout anew.
    QVERIFY(Store.SaveOnClose(Window(), Marks));
    TFormStorage Again(FPath);
    QList<TCheckMark> Marks2 = TFormStorage::DefaultCheckMarks();
    QVERIFY(Again.Restore(Window(), Marks2).Restored);
    QVERIFY(ReadFile().contains("FormVersion=0\n"));
}

void TestTFormStorage::nextSaveKeepsOtherScreensAndSections()
{
    WriteFile("; written on the laptop\n"
              "[Other]\nKeep=me\n\n"
              "[TNimbrelMainForm]\nFormVersion=0\nNormPos(1024x768)=1,2,301,202\nNormPos=1,2,301,202\n"
              "mSound_Checked=False\n\n"
              "[Later]\nAlso=kept\n");
    TFormStorage Store(FPath);
    QList<TCheckMark> Marks = TFormStorage::DefaultCheckMarks();
    const TFormRestore R = Store.Restore(Window(), Marks);
    QVERIFY(R.ApplyPlacement);
    QCOMPARE(Mark(Marks, QStringLiteral("mSound")), false);
    QVERIFY(Store.SaveOnClose(Window(), Marks));

    const QByteArray Text = ReadFile();
    QVERIFY(Text.startsWith("; written on the laptop\n[Other]\nKeep=me\n\n[TNimbrelMainForm]\nFormVersion=0\n"
                            "NormPos(1024x768)=1,2,301,202\nNormPos=100,50,900,650\nmSound_Checked=False\n"));
    QVERIFY(Text.contains("NormPos(1280x1024)=100,50,900,650\n"));
    QVERIFY(Text.endsWith("LowResolutionAction_Checked=False\n\n[Later]\nAlso=kept\n"));
    QCOMPARE(Text.count("NormPos"), 3);
}

void TestTFormStorage::destroyWithoutCloseWritesVisible()
{
    TFormStorage Store(FPath);
    QList<TCheckMark> Marks = TFormStorage::DefaultCheckMarks();
    Store.Restore(Window(), Marks);
    QVERIFY(Store.SaveOnDestroy(Window(), Marks));
    QVERIFY(ReadFile().contains("\nVisible=1\n"));
    QVERIFY(Store.IsSaved());
}

void TestTFormStorage::closeThenDestroyWritesOnce()
{
    TFormStorage Store(FPath);
    QList<TCheckMark> Marks = TFormStorage::DefaultCheckMarks();
    Store.Restore(Window(), Marks);
    QVERIFY(Store.SaveOnClose(Window(), Marks));
    QVERIFY(ReadFile().contains("\nVisible=0\n"));
    QVERIFY(QFile::remove(FPath));
    QVERIFY(Store.SaveOnDestroy(Window(), Marks));
    QCOMPARE(ReadFile(), QByteArray("<missing>"));
}

// A window never shown has nothing worth keeping; the file stays as it was.
void TestTFormStorage::noSaveBeforeRestore()
{
    TFormStorage Store(FPath);
    QVERIFY(Store.SaveOnClose(Window(), TFormStorage::DefaultCheckMarks()));
    QVERIFY(Store.SaveOnDestroy(Window(), TFormStorage::DefaultCheckMarks()));
    QCOMPARE(ReadFile(), QByteArray("<missing>"));
}

void TestTFormStorage::unwritableFolderIsReported()
{
    // A file where the settings folder should be: no user, root included, can write there.
    const QString Blocker = FDir.filePath(QStringLiteral("blocker"));
    QFile B(Blocker);
    QVERIFY(B.open(QIODevice::WriteOnly));
    B.close();
    const QString Path = Blocker + QStringLiteral("/quorra.INI");

    TFormStorage Store(Path);
    QList<TCheckMark> Marks = TFormStorage::DefaultCheckMarks();
    Store.Restore(Window(), Marks);
    QVERIFY(!Store.SaveOnClose(Window(), Marks));
    QCOMPARE(Store.ErrorString(), QStringLiteral("Unable to write to ") + Path);
    QVERIFY(!Store.IsSaved());
    // Tried once more as the window goes, with the same outcome.
    QVERIFY(!Store.SaveOnDestroy(Window(), Marks));
    QCOMPARE(Store.ErrorString(), QStringLiteral("Unable to write to ") + Path);
}

QTEST_GUILESS_MAIN(TestTFormStorage)
#include "TestTFormStorage.moc"
