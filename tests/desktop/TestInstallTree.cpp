// SPDX-License-Identifier: GPL-3.0-or-later
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
QMap<QString, QString> readGroup(const QString &path, const QString &group)
{
    QMap<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inside = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inside = line == QLatin1Char('[') + group + QLatin1Char(']');
        else if (inside && line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char('#')))
            keys.insert(line.section(QLatin1Char('='), 0, 0).trimmed(), line.section(QLatin1Char('='), 1).trimmed());
    }
    return keys;
}

QStringList listValue(const QString &value)
{
    return value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// The text of every element named name in an XML file, in document order.
QStringList elementTexts(const QString &path, const QString &name)
{
    QStringList texts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return texts;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == name)
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    return texts;
}

} // namespace

class TestInstallTree : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_prefix;

    QString installed(const QString &relative) const { return m_prefix.filePath(relative); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(QUORRA_CMAKE), {QStringLiteral("--install"), QStringLiteral(QUORRA_BUILD_DIR),
                                                     QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY(install.waitForFinished(300000));
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
                 install.readAll().constData());
    }

    void files_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("program");

        if (QUORRA_HAS_PROGRAM)
            QTest::newRow("program") << "bin/quorra" << true;
        if (QUORRA_HAS_THUMBNAILER) {
            QTest::newRow("thumbnailer") << "bin/quorra-thumbnailer" << true;
            QTest::newRow("thumbnailer entry") << "share/thumbnailers/quorra.thumbnailer" << false;
        }
        for (const char *sound : {"Move", "Advice", "Victory"})
            QTest::newRow(sound) << QStringLiteral("share/quorra/Sounds/%1.wav").arg(QLatin1String(sound)) << false;
        QTest::newRow("desktop entry") << "share/applications/quorra.desktop" << false;
        QTest::newRow("MIME type") << "share/mime/packages/quorra.xml" << false;
        QTest::newRow("AppStream") << "share/metainfo/quorra.metainfo.xml" << false;
        QTest::newRow("sample puzzle") << "share/quorra/samples/Sample.nbq" << false;
    }

    void files()
    {
        QFETCH(QString, path);
        QFETCH(bool, program);
        const QFileInfo file(installed(path));
        QVERIFY2(file.isFile(), qPrintable(path));
        QVERIFY(file.size() > 0);
        QCOMPARE(file.isExecutable(), program);
    }

    void icons_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("size");
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString folder = QStringLiteral("share/icons/hicolor/%1x%1/").arg(size);
            QTest::newRow(qPrintable(QStringLiteral("application %1").arg(size)))
                << folder + QStringLiteral("apps/quorra.png") << size;
            QTest::newRow(qPrintable(QStringLiteral("puzzle file %1").arg(size)))
                << folder + QStringLiteral("mimetypes/application-x-nbq.png") << size;
        }
    }

    // A PNG of its folder's size with a drawing on it, transparent around the drawing.
    void icons()
    {
        QFETCH(QString, path);
        QFETCH(int, size);
        const QImage icon(installed(path), "PNG");
        QVERIFY2(!icon.isNull(), qPrintable(path));
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
        int opaque = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                opaque += qAlpha(icon.pixel(x, y)) > 200;
        QVERIFY(opaque > size * size / 3);
        QVERIFY(opaque < size * size);
    }

    void desktopEntry_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("type") << "Type" << QStringList{"Application"};
        QTest::newRow("command") << "Exec" << QStringList{"quorra %f"};
        QTest::newRow("icon") << "Icon" << QStringList{"quorra"};
        QTest::newRow("puzzle files") << "MimeType" << QStringList{"application/x-nbq"};
        QTest::newRow("categories") << "Categories" << QStringList{"Game", "LogicGame"};
    }

    // What double-clicking a puzzle file relies on: the command with its file, the type, the menu's place.
    void desktopEntry()
    {
        QFETCH(QString, key);
        QFETCH(QStringList, expected);
        const auto entry =
            readGroup(installed(QStringLiteral("share/applications/quorra.desktop")), QStringLiteral("Desktop Entry"));
        QVERIFY(!entry.value(QStringLiteral("Name")).isEmpty());
        const QString value = entry.value(key);
        if (key == QLatin1String("Exec") || key == QLatin1String("Type") || key == QLatin1String("Icon"))
            QCOMPARE(QStringList{value}, expected);
        else
            QCOMPARE(listValue(value), expected);
        // The MIME type list must end in a separator, or some desktops read the last entry wrongly.
        if (key == QLatin1String("MimeType"))
            QVERIFY(value.endsWith(QLatin1Char(';')));
    }

    // The names the desktop files give each other all resolve inside the tree.
    void crossReferences()
    {
        const auto entry =
            readGroup(installed(QStringLiteral("share/applications/quorra.desktop")), QStringLiteral("Desktop Entry"));
        QVERIFY(QFile::exists(installed(
            QStringLiteral("share/icons/hicolor/48x48/apps/%1.png").arg(entry.value(QStringLiteral("Icon"))))));
        if (QUORRA_HAS_PROGRAM)
            QVERIFY(QFile::exists(
                installed(QStringLiteral("bin/") + entry.value(QStringLiteral("Exec")).section(' ', 0, 0))));

        const QString metainfo = installed(QStringLiteral("share/metainfo/quorra.metainfo.xml"));
        QCOMPARE(elementTexts(metainfo, QStringLiteral("id")), QStringList{"org.example.quorra"});
        const QStringList launchables = elementTexts(metainfo, QStringLiteral("launchable"));
        QCOMPARE(launchables.size(), 1);
        QVERIFY(QFile::exists(installed(QStringLiteral("share/applications/") + launchables.first())));
        QCOMPARE(elementTexts(metainfo, QStringLiteral("mediatype")), QStringList{"application/x-nbq"});

        QFile releases(metainfo);
        QVERIFY(releases.open(QIODevice::ReadOnly));
        QVERIFY(releases.readAll().contains(QByteArray("<release version=\"" QUORRA_VERSION "\"")));
    }

    void thumbnailerEntry()
    {
        if (!QUORRA_HAS_THUMBNAILER)
            QSKIP("the thumbnailer is not built");
        const auto entry = readGroup(installed(QStringLiteral("share/thumbnailers/quorra.thumbnailer")),
                                     QStringLiteral("Thumbnailer Entry"));
        QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("quorra-thumbnailer %i %o %s"));
        QCOMPARE(listValue(entry.value(QStringLiteral("MimeType"))), QStringList{"application/x-nbq"});
        const QString program = entry.value(QStringLiteral("TryExec"));
        QVERIFY(QFileInfo(installed(QStringLiteral("bin/") + program)).isExecutable());
    }

    // One type, known by its extension alone: the file has no signature, so there must be no magic rule.
    void mimeDefinition()
    {
        QFile file(installed(QStringLiteral("share/mime/packages/quorra.xml")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QStringList types, comments, globs, icons, others;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QString name = xml.name().toString();
            if (name == QLatin1String("mime-info"))
                QCOMPARE(xml.namespaceUri().toString(),
                         QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
            else if (name == QLatin1String("mime-type"))
                types << xml.attributes().value(QStringLiteral("type")).toString();
            else if (name == QLatin1String("comment"))
                comments << xml.readElementText();
            else if (name == QLatin1String("glob"))
                globs << xml.attributes().value(QStringLiteral("pattern")).toString();
            else if (name == QLatin1String("icon"))
                icons << xml.attributes().value(QStringLiteral("name")).toString();
            else if (name != QLatin1String("generic-icon"))
                others << name;
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(types, QStringList{"application/x-nbq"});
        QCOMPARE(comments, QStringList{"Quorra puzzle"});
        QCOMPARE(globs, QStringList{"*.nbq"});
        QCOMPARE(icons, QStringList{"application-x-nbq"});
        QVERIFY2(others.isEmpty(), qPrintable(others.join(' '))); // no magic, no sub-class
    }

    // The desktop's MIME database, built from the installed definition, names the type by its glob alone.
    void mimeDatabase()
    {
        const QString update = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
        if (update.isEmpty())
            QSKIP("update-mime-database is not installed");
        QTemporaryDir database;
        QVERIFY(database.isValid());
        QVERIFY(QDir().mkpath(database.filePath(QStringLiteral("packages"))));
        QVERIFY(QFile::copy(installed(QStringLiteral("share/mime/packages/quorra.xml")),
                            database.filePath(QStringLiteral("packages/quorra.xml"))));
        QCOMPARE(QProcess::execute(update, {database.path()}), 0);

        QFile globs(database.filePath(QStringLiteral("globs2")));
        QVERIFY(globs.open(QIODevice::ReadOnly));
        QVERIFY(globs.readAll().contains("application/x-nbq:*.nbq"));
        QFile magic(database.filePath(QStringLiteral("magic")));
        QVERIFY(magic.open(QIODevice::ReadOnly));
        QVERIFY(!magic.readAll().contains("x-nbq"));
    }

    void validators_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("desktop entry") << "desktop-file-validate"
                                       << QStringList{installed(QStringLiteral("share/applications/quorra.desktop"))};
        // Software centres want a reverse-domain component id; the desktop entry keeps the plain name "quorra".
        const QStringList appStream{"--no-net"};
        QTest::newRow("AppStream data") << "appstreamcli"
                                        << (QStringList{"validate"}
                                            << appStream
                                            << installed(QStringLiteral("share/metainfo/quorra.metainfo.xml")));
    }

    void validators()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, arguments);
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty())
            QSKIP(qPrintable(tool + QStringLiteral(" is not installed")));
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start(program, arguments);
        QVERIFY(validate.waitForFinished(120000));
        QVERIFY2(validate.exitStatus() == QProcess::NormalExit && validate.exitCode() == 0,
                 validate.readAll().constData());
    }

    // An install into a folder the desktop reads refreshes its MIME database, so puzzle files are known at once; a
    // staging tree (the package's, or this test's) gets no cache that would clash with the system's.
    void mimeDatabaseRefresh_data()
    {
        QTest::addColumn<bool>("desktopReads");
        QTest::newRow("a staging tree") << false;
        QTest::newRow("a user-local prefix") << true;
    }

    void mimeDatabaseRefresh()
    {
        QFETCH(bool, desktopReads);
        if (!desktopReads) {
            QVERIFY(!QFile::exists(installed(QStringLiteral("share/mime/mime.cache"))));
            QVERIFY(!QFile::exists(installed(QStringLiteral("share/applications/mimeinfo.cache"))));
            return;
        }
        if (QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
            QSKIP("update-mime-database is not installed");
        QTemporaryDir home;
        QProcess install;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("share")));
        environment.remove(QStringLiteral("DESTDIR"));
        install.setProcessEnvironment(environment);
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(QUORRA_CMAKE), {QStringLiteral("--install"), QStringLiteral(QUORRA_BUILD_DIR),
                                                     QStringLiteral("--prefix"), home.path()});
        QVERIFY(install.waitForFinished(300000));
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
                 install.readAll().constData());
        QFile globs(home.filePath(QStringLiteral("share/mime/globs2")));
        QVERIFY(globs.open(QIODevice::ReadOnly));
        QVERIFY(globs.readAll().contains("application/x-nbq:*.nbq"));
    }

    // Resources that arrive later (the demo video, the help) are installed as soon as they exist.
    void optionalResources_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("demo video") << "Res";
        QTest::newRow("help") << "Nimbrel.html";
        QTest::newRow("help in German") << "Nimbrel.de.html";
        QTest::newRow("help in French") << "Nimbrel.fr.html";
        QTest::newRow("help in Spanish") << "Nimbrel.es.html";
        QTest::newRow("help pictures") << "Help";
    }

    void optionalResources()
    {
        QFETCH(QString, name);
        if (!QFileInfo::exists(QStringLiteral(QUORRA_SOURCE_DIR "/resources/") + name))
            QSKIP("not made yet");
        QVERIFY(QFileInfo::exists(installed(QStringLiteral("share/quorra/") + name)));
    }
};

QTEST_GUILESS_MAIN(TestInstallTree)
#include "TestInstallTree.moc"
