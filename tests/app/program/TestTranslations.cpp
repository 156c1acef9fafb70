// SPDX-License-Identifier: GPL-3.0-or-later
// The translations: the language chosen from the person's list, the menus in each shipped language, and every
// entry of the translation files finished with the placeholders of its English source.
#include "ProgramTranslations.h"
#include "WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <QXmlStreamReader>

using namespace quorra;

namespace {

QList<QMenu *> menus(const MainWindow &window)
{
    QList<QMenu *> found;
    for (const QAction *title : window.menuBar()->actions())
        if (title->menu())
            found << title->menu();
    return found;
}

// Every menu title and menu item, by object name.
QMap<QString, QString> menuTexts(const MainWindow &window)
{
    QMap<QString, QString> texts;
    for (const QMenu *menu : menus(window)) {
        texts.insert(menu->objectName(), menu->title());
        for (const QAction *action : menu->actions())
            if (!action->isSeparator())
                texts.insert(menu->objectName() + QLatin1Char('/') + action->objectName(), action->text());
    }
    return texts;
}

QSet<QString> placeholders(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%\\d+"));
    QSet<QString> found;
    for (const QRegularExpressionMatch &match : marker.globalMatch(text))
        found.insert(match.captured());
    return found;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { installTranslations({QStringLiteral("en-US")}); }
    void languageChosen_data();
    void languageChosen();
    void menusTranslated_data();
    void menusTranslated();
    void translationFileComplete_data();
    void translationFileComplete();
};

void TestTranslations::languageChosen_data()
{
    QTest::addColumn<QStringList>("preferred");
    QTest::addColumn<QString>("loaded");

    QTest::newRow("German") << QStringList{"de-DE"} << "de";
    QTest::newRow("Canadian French") << QStringList{"fr-CA", "en-CA"} << "fr";
    // A language the program lacks passes to the next one the person reads.
    QTest::newRow("Portuguese, then Spanish") << QStringList{"pt-BR", "es-ES"} << "es";
    // English is the sources' own language: put first, it wins over a translation further down the list.
    QTest::newRow("English, then German") << QStringList{"en-GB", "de-DE"} << "";
    QTest::newRow("none of ours") << QStringList{"ja-JP"} << "";
}

void TestTranslations::languageChosen()
{
    QFETCH(QStringList, preferred);
    QFETCH(QString, loaded);
    QCOMPARE(installTranslations(preferred), loaded);
    const QString save = QCoreApplication::translate("Commands", "Save As...");
    QCOMPARE(save == QLatin1String("Save As..."), loaded.isEmpty());
}

void TestTranslations::menusTranslated_data()
{
    QTest::addColumn<QString>("language");
    // The texts that read the same in that language (the grid sizes read the same in all).
    QTest::addColumn<QStringList>("alike");

    QTest::newRow("de") << "de" << QStringList{"&Puzzle", "&Transparent"};
    QTest::newRow("fr") << "fr" << QStringList{"&Puzzle", "&Options", "&Transparent"};
    QTest::newRow("es") << "es" << QStringList{};
}

void TestTranslations::menusTranslated()
{
    QFETCH(QString, language);
    QFETCH(QStringList, alike);
    static const QRegularExpression gridSize(QStringLiteral("^\\dx\\d$"));

    installTranslations({QStringLiteral("en-US")});
    const QMap<QString, QString> english = menuTexts(*WindowFixture(790, 560, false).form);
    QCOMPARE(installTranslations({language}), language);
    WindowFixture fixture(790, 560, false);
    const QMap<QString, QString> translated = menuTexts(*fixture.form);

    QCOMPARE(translated.keys(), english.keys());
    for (auto it = english.cbegin(); it != english.cend(); ++it)
        if (!alike.contains(*it) && !gridSize.match(*it).hasMatch())
            QVERIFY2(translated.value(it.key()) != *it, qPrintable(it.key() + QLatin1String(": ") + *it));

    // Alt with a letter must reach one item: no two items of a menu, nor two menu titles, share an accelerator.
    auto accelerator = [](const QString &text) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
    };
    QSet<QChar> titles;
    for (const QMenu *menu : menus(*fixture.form)) {
        const QChar title = accelerator(menu->title());
        QVERIFY2(!title.isNull() && !titles.contains(title), qPrintable(menu->title()));
        titles.insert(title);
        QSet<QChar> items;
        for (const QAction *action : menu->actions()) {
            const QChar key = accelerator(action->text());
            if (key.isNull())
                continue;
            QVERIFY2(!items.contains(key), qPrintable(menu->title() + QLatin1String(": ") + action->text()));
            items.insert(key);
        }
    }
}

void TestTranslations::translationFileComplete_data()
{
    QTest::addColumn<QString>("path");
    const QDir folder(QStringLiteral(QUORRA_TRANSLATIONS_DIR));
    const QStringList files = folder.entryList({QStringLiteral("*.ts")}, QDir::Files);
    QVERIFY(files.size() >= 3);
    for (const QString &name : files)
        QTest::newRow(qPrintable(name)) << folder.filePath(name);
}

void TestTranslations::translationFileComplete()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString source;
    int messages = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            const QString translation = xml.readElementText();
            ++messages;
            QVERIFY2(type.isEmpty(), qPrintable(type + QLatin1String(": ") + source));
            QVERIFY2(!translation.isEmpty(), qPrintable(source));
            QVERIFY2(placeholders(translation) == placeholders(source), qPrintable(source + " / " + translation));
            // An ellipsis promises a dialog; an accelerator is either kept or not invented.
            QCOMPARE(translation.endsWith(QLatin1String("..")), source.endsWith(QLatin1String("..")));
            QCOMPARE(translation.contains(QLatin1Char('&')), source.contains(QLatin1Char('&')));
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(messages > 100);
}

QTEST_MAIN(TestTranslations)
#include "TestTranslations.moc"
