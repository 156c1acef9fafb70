// Tests of the install tree: what `cmake --install` lays out, and whether the desktop's own tools accept it.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// The keys of one group of a desktop-entry style file.
QMap<QString, QString> ReadGroup(const QString &Path, const QString &Group)
{
    QMap<QString, QString> Keys;
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly | QIODevice::Text))
        return Keys;
    bool Inside = false;
    while (!File.atEnd()) {
        const QString Line = QString::fromUtf8(File.readLine()).trimmed();
        if (Line.startsWith(QLatin1Char('[')))
            Inside = Line == QLatin1Char('[') + Group + QLatin1Char(']');
        else if (Inside && Line.contains(QLatin1Char('=')) && !Line.startsWith(QLatin1Char('#')))
            Keys.insert(Line.section(QLatin1Char('='), 0, 0).trimmed(), Line.section(QLatin1Char('='), 1).trimmed());
    }
    return Keys;
}

QStringList ListValue(const QString &Value)
{
    return Value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// The text of every element named Name in an XML file, in document order.
QStringList ElementTexts(const QString &Path, const QString &Name)
{
    QStringList Texts;
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        return Texts;
    QXmlStreamReader Xml(&File);
    while (!Xml.atEnd())
        if (Xml.readNext() == QXmlStreamReader::StartElement && Xml.name() == Name)
            Texts << Xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    return Texts;
}

} // namespace

class TestInstallTree : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir FPrefix;

    QString Installed(const QString &Relative) const { return FPrefix.filePath(Relative); }

private slots:
    void initTestCase()
    {
        QVERIFY(FPrefix.isValid());
        QProcess Install;
        Install.setProcessChannelMode(QProcess::MergedChannels);
        Install.start(QStringLiteral(QUORRA_CMAKE),
                      {QStringLiteral("--install"), QStringLiteral(QUORRA_BUILD_DIR), QStringLiteral("--prefix"),
                       FPrefix.path()});
        QVERIFY(Install.waitForFinished(300000));
        QVERIFY2(Install.exitStatus() == QProcess::NormalExit && Install.exitCode() == 0,
                 Install.readAll().constData());
    }

    void files_data()
    {
        QTest::addColumn<QString>("Path");
        QTest::addColumn<bool>("Program");

        if (QUORRA_HAS_PROGRAM)
            QTest::newRow("program") << "bin/quorra" << true;
        if (QUORRA_HAS_THUMBNAILER) {
            QTest::newRow("thumbnailer") << "bin/quorra-thumbnailer" << true;
            QTest::newRow("thumbnailer entry") << "share/thumbnailers/quorra.thumbnailer" << false;
        }
        for (const char *Sound : {"Move", "Advice", "Victory"})
            QTest::newRow(Sound) << QStringLiteral("share/quorra/Sounds/%1.wav").arg(QLatin1String(Sound)) << false;
        QTest::newRow("desktop entry") << "share/applications/quorra.desktop" << false;
        QTest::newRow("MIME type") << "share/mime/packages/quorra.xml" << false;
        QTest::newRow("AppStream") << "share/metainfo/quorra.metainfo.xml" << false;
        QTest::newRow("sample puzzle") << "share/quorra/samples/Sample.nbq" << false;
    }

    void files()
    {
        QFETCH(QString, Path);
        QFETCH(bool, Program);
        const QFileInfo File(Installed(Path));
        QVERIFY2(File.isFile(), qPrintable(Path));
        QVERIFY(File.size() > 0);
        QCOMPARE(File.isExecutable(), Program);
    }

    void icons_data()
    {
        QTest::addColumn<QString>("Path");
        QTest::addColumn<int>("Size");
        for (const int Size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString Folder = QStringLiteral("share/icons/hicolor/%1x%1/").arg(Size);
            QTest::newRow(qPrintable(QStringLiteral("application %1").arg(Size)))
                << Folder + QStringLiteral("apps/quorra.png") << Size;
            QTest::newRow(qPrintable(QStringLiteral("puzzle file %1").arg(Size)))
                << Folder + QStringLiteral("mimetypes/application-x-nbq.png") << Size;
        }
    }

    // A PNG of its folder's size with a drawing on it, transparent around the drawing.
    void icons()
    {
        QFETCH(QString, Path);
        QFETCH(int, Size);
        const QImage Icon(Installed(Path), "PNG");
        QVERIFY2(!Icon.isNull(), qPrintable(Path));
        QCOMPARE(Icon.size(), QSize(Size, Size));
        QVERIFY(Icon.hasAlphaChannel());
        int Opaque = 0;
        for (int y = 0; y < Size; ++y)
            for (int x = 0; x < Size; ++x)
                Opaque += qAlpha(Icon.pixel(x, y)) > 200;
        QVERIFY(Opaque > Size * Size / 3);
        QVERIFY(Opaque < Size * Size);
    }

    void desktopEntry_data()
    {
        QTest::addColumn<QString>("Key");
        QTest::addColumn<QStringList>("Expected");
        QTest::newRow("type") << "Type" << QStringList{"Application"};
        QTest::newRow("command") << "Exec" << QStringList{"quorra %f"};
        QTest::newRow("icon") << "Icon" << QStringList{"quorra"};
        QTest::newRow("puzzle files") << "MimeType" << QStringList{"application/x-nbq"};
        QTest::newRow("categories") << "Categories" << QStringList{"Game", "LogicGame"};
    }

    // What double-clicking a puzzle file relies on: the command with its file, the type, the menu's place.
    void desktopEntry()
    {
        QFETCH(QString, Key);
        QFETCH(QStringList, Expected);
        const auto Entry = ReadGroup(Installed(QStringLiteral("share/applications/quorra.desktop")),
                                     QStringLiteral("Desktop Entry"));
        QVERIFY(!Entry.value(QStringLiteral("Name")).isEmpty());
        const QString Value = Entry.value(Key);
        if (Key == QLatin1String("Exec") || Key == QLatin1String("Type") || Key == QLatin1String("Icon"))
            QCOMPARE(QStringList{Value}, Expected);
        else
            QCOMPARE(ListValue(Value), Expected);
        // The MIME type list must end in a separator, or some desktops read the last entry wrongly.
        if (Key == QLatin1String("MimeType"))
            QVERIFY(Value.endsWith(QLatin1Char(';')));
    }

    // The names the desktop files give each other all resolve inside the tree.
    void crossReferences()
    {
        const auto Entry = ReadGroup(Installed(QStringLiteral("share/applications/quorra.desktop")),
                                     QStringLiteral("Desktop Entry"));
        QVERIFY(QFile::exists(Installed(
            QStringLiteral("share/icons/hicolor/48x48/apps/%1.png").arg(Entry.value(QStringLiteral("Icon"))))));
        if (QUORRA_HAS_PROGRAM)
            QVERIFY(QFile::exists(Installed(QStringLiteral("bin/") + Entry.value(QStringLiteral("Exec")).section(' ', 0, 0))));

        const QString Metainfo = Installed(QStringLiteral("share/metainfo/quorra.metainfo.xml"));
        QCOMPARE(ElementTexts(Metainfo, QStringLiteral("id")), QStringList{"org.example.quorra"});
        const QStringList Launchables = ElementTexts(Metainfo, QStringLiteral("launchable"));
        QCOMPARE(Launchables.size(), 1);
        QVERIFY(QFile::exists(Installed(QStringLiteral("share/applications/") + Launchables.first())));
        QCOMPARE(ElementTexts(Metainfo, QStringLiteral("mediatype")), QStringList{"application/x-nbq"});

        QFile Releases(Metainfo);
        QVERIFY(Releases.open(QIODevice::ReadOnly));
        QVERIFY(Releases.readAll().contains(QByteArray("<release version=\"" QUORRA_VERSION "\"")));
    }

    void thumbnailerEntry()
    {
        if (!QUORRA_HAS_THUMBNAILER)
            QSKIP("the thumbnailer is not built");
        const auto Entry = ReadGroup(Installed(QStringLiteral("share/thumbnailers/quorra.thumbnailer")),
                                     QStringLiteral("Thumbnailer Entry"));
        QCOMPARE(Entry.value(QStringLiteral("Exec")), QStringLiteral("quorra-thumbnailer %i %o %s"));
        QCOMPARE(ListValue(Entry.value(QStringLiteral("MimeType"))), QStringList{"application/x-nbq"});
        const QString Program = Entry.value(QStringLiteral("TryExec"));
        QVERIFY(QFileInfo(Installed(QStringLiteral("bin/") + Program)).isExecutable());
    }

    // One type, known by its extension alone: the file has no signature, so there must be no magic rule.
    void mimeDefinition()
    {
        QFile File(Installed(QStringLiteral("share/mime/packages/quorra.xml")));
        QVERIFY(File.open(QIODevice::ReadOnly));
        QXmlStreamReader Xml(&File);
        QStringList Types, Comments, Globs, Icons, Others;
        while (!Xml.atEnd()) {
            if (Xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QString Name = Xml.name().toString();
            if (Name == QLatin1String("mime-info"))
                QCOMPARE(Xml.namespaceUri().toString(),
                         QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
            else if (Name == QLatin1String("mime-type"))
                Types << Xml.attributes().value(QStringLiteral("type")).toString();
            else if (Name == QLatin1String("comment"))
                Comments << Xml.readElementText();
            else if (Name == QLatin1String("glob"))
                Globs << Xml.attributes().value(QStringLiteral("pattern")).toString();
            else if (Name == QLatin1String("icon"))
                Icons << Xml.attributes().value(QStringLiteral("name")).toString();
            else if (Name != QLatin1String("generic-icon"))
                Others << Name;
        }
        QVERIFY2(!Xml.hasError(), qPrintable(Xml.errorString()));
        QCOMPARE(Types, QStringList{"application/x-nbq"});
        QCOMPARE(Comments, QStringList{"Quorra puzzle"});
        QCOMPARE(Globs, QStringList{"*.nbq"});
        QCOMPARE(Icons, QStringList{"application-x-nbq"});
        QVERIFY2(Others.isEmpty(), qPrintable(Others.join(' '))); // no magic, no sub-class
    }

    // The desktop's MIME database, built from the installed definition, names the type by its glob alone.
    void mimeDatabase()
    {
        const QString Update = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
        if (Update.isEmpty())
            QSKIP("update-mime-database is not installed");
        QTemporaryDir Database;
        QVERIFY(Database.isValid());
        QVERIFY(QDir().mkpath(Database.filePath(QStringLiteral("packages"))));
        QVERIFY(QFile::copy(Installed(QStringLiteral("share/mime/packages/quorra.xml")),
                            Database.filePath(QStringLiteral("packages/quorra.xml"))));
        QCOMPARE(QProcess::execute(Update, {Database.path()}), 0);

        QFile Globs(Database.filePath(QStringLiteral("globs2")));
        QVERIFY(Globs.open(QIODevice::ReadOnly));
        QVERIFY(Globs.readAll().contains("application/x-nbq:*.nbq"));
        QFile Magic(Database.filePath(QStringLiteral("magic")));
        QVERIFY(Magic.open(QIODevice::ReadOnly));
        QVERIFY(!Magic.readAll().contains("x-nbq"));
    }

    void validators_data()
    {
        QTest::addColumn<QString>("Tool");
        QTest::addColumn<QStringList>("Arguments");
        QTest::newRow("desktop entry") << "desktop-file-validate"
                                       << QStringList{Installed(QStringLiteral("share/applications/quorra.desktop"))};
        // Software centres want a reverse-domain component id; the desktop entry keeps the plain name "quorra".
        const QStringList AppStream{"--no-net"};
        QTest::newRow("AppStream data")
            << "appstreamcli"
            << (QStringList{"validate"} << AppStream << Installed(QStringLiteral("share/metainfo/quorra.metainfo.xml")));
    }

    void validators()
    {
        QFETCH(QString, Tool);
        QFETCH(QStringList, Arguments);
        const QString Program = QStandardPaths::findExecutable(Tool);
        if (Program.isEmpty())
            QSKIP(qPrintable(Tool + QStringLiteral(" is not installed")));
        QProcess Validate;
        Validate.setProcessChannelMode(QProcess::MergedChannels);
        Validate.start(Program, Arguments);
        QVERIFY(Validate.waitForFinished(120000));
        QVERIFY2(Validate.exitStatus() == QProcess::NormalExit && Validate.exitCode() == 0,
                 Validate.readAll().constData());
    }

    // An install into a folder the desktop reads refreshes its MIME database, so puzzle files are known at once; a
    // staging tree (the package's, or this test's) gets no cache that would clash with the system's.
    void mimeDatabaseRefresh_data()
    {
        QTest::addColumn<bool>("DesktopReads");
        QTest::newRow("a staging tree") << false;
        QTest::newRow("a user-local prefix") << true;
    }

    void mimeDatabaseRefresh()
    {
        QFETCH(bool, DesktopReads);
        if (!DesktopReads) {
            QVERIFY(!QFile::exists(Installed(QStringLiteral("share/mime/mime.cache"))));
            QVERIFY(!QFile::exists(Installed(QStringLiteral("share/applications/mimeinfo.cache"))));
            return;
        }
        if (QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
            QSKIP("update-mime-database is not installed");
        QTemporaryDir Home;
        QProcess Install;
        QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
        Environment.insert(QStringLiteral("XDG_DATA_HOME"), Home.filePath(QStringLiteral("share")));
        Environment.remove(QStringLiteral("DESTDIR"));
        Install.setProcessEnvironment(Environment);
        Install.setProcessChannelMode(QProcess::MergedChannels);
        Install.start(QStringLiteral(QUORRA_CMAKE), {QStringLiteral("--install"), QStringLiteral(QUORRA_BUILD_DIR),
                                                     QStringLiteral("--prefix"), Home.path()});
        QVERIFY(Install.waitForFinished(300000));
        QVERIFY2(Install.exitStatus() == QProcess::NormalExit && Install.exitCode() == 0, Install.readAll().constData());
        QFile Globs(Home.filePath(QStringLiteral("share/mime/globs2")));
        QVERIFY(Globs.open(QIODevice::ReadOnly));
        QVERIFY(Globs.readAll().contains("application/x-nbq:*.nbq"));
    }

    // Resources that arrive later (the demo video, the help) are installed as soon as they exist.
    void optionalResources_data()
    {
        QTest::addColumn<QString>("Name");
        QTest::newRow("demo video") << "Res";
        QTest::newRow("help") << "Nimbrel.html";
        QTest::newRow("help pictures") << "Help";
    }

    void optionalResources()
    {
        QFETCH(QString, Name);
        if (!QFileInfo::exists(QStringLiteral(QUORRA_SOURCE_DIR "/resources/") + Name))
            QSKIP("not made yet");
        QVERIFY(QFileInfo::exists(Installed(QStringLiteral("share/quorra/") + Name)));
    }
};

QTEST_GUILESS_MAIN(TestInstallTree)
#include "TestInstallTree.moc"
