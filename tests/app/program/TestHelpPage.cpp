// SPDX-License-Identifier: GPL-3.0-or-later
// The help page chosen for the desktop's language, and the translated pages kept in step with the English one.
#include "ProgramResources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>

using namespace quorra;

namespace {

const QString Resources = QStringLiteral(QUORRA_RESOURCES "/");

QString readPage(const QString &name)
{
    QFile file(Resources + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// What a translation must keep as the English page has it: the anchors, the links and the pictures with their
// sizes, in order.
QStringList skeleton(const QString &html)
{
    static const QRegularExpression kept(
        QStringLiteral("<(?:h[1-3]|figure|table|ol|ul|nav)\\b|(?:id|href|src|width|height)=\"[^\"]*\""));
    QStringList found;
    for (auto match = kept.globalMatch(html); match.hasNext();)
        found << match.next().captured();
    return found;
}

} // namespace

class TestHelpPage : public QObject
{
    Q_OBJECT

private slots:
    void choice_data();
    void choice();
    void translation_data();
    void translation();
    void desktopLanguage();
};

void TestHelpPage::choice_data()
{
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<QStringList>("shipped");
    QTest::addColumn<QString>("expected");

    const QStringList all = {"Nimbrel.de.html", "Nimbrel.fr.html", "Nimbrel.es.html"};
    QTest::newRow("German desktop") << QStringList{"de-DE", "de"} << all << "Nimbrel.de.html";
    QTest::newRow("Austrian, underscore") << QStringList{"de_AT"} << all << "Nimbrel.de.html";
    QTest::newRow("French Swiss") << QStringList{"fr-CH", "fr"} << all << "Nimbrel.fr.html";
    QTest::newRow("Mexican Spanish, upper case") << QStringList{"ES-MX"} << all << "Nimbrel.es.html";
    QTest::newRow("untranslated language") << QStringList{"it-IT", "it"} << all << "Nimbrel.html";
    QTest::newRow("untranslated first, then French") << QStringList{"it-IT", "fr-FR"} << all << "Nimbrel.fr.html";
    QTest::newRow("English before German") << QStringList{"en-GB", "de-DE"} << all << "Nimbrel.html";
    QTest::newRow("C locale") << QStringList{"C"} << all << "Nimbrel.html";
    QTest::newRow("no languages") << QStringList{} << all << "Nimbrel.html";
    QTest::newRow("German page missing") << QStringList{"de-DE", "de"} << QStringList{"Nimbrel.fr.html"}
                                         << "Nimbrel.html";
    QTest::newRow("German missing, French next")
        << QStringList{"de-DE", "fr-FR"} << QStringList{"Nimbrel.fr.html"} << "Nimbrel.fr.html";
    // "des" is not German, nor "f" French.
    QTest::newRow("codes compared whole") << QStringList{"des", "f"} << all << "Nimbrel.html";
}

void TestHelpPage::choice()
{
    QFETCH(QStringList, languages);
    QFETCH(QStringList, shipped);
    QFETCH(QString, expected);
    QCOMPARE(helpPageResource(languages, [&](const QString &page) { return shipped.contains(page); }), expected);
}

void TestHelpPage::translation_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("German") << "de";
    QTest::newRow("French") << "fr";
    QTest::newRow("Spanish") << "es";
}

void TestHelpPage::translation()
{
    QFETCH(QString, language);
    const QString english = readPage(QStringLiteral("Nimbrel.html"));
    const QString translated = readPage(QStringLiteral("Nimbrel.%1.html").arg(language));
    QVERIFY(!english.isEmpty());
    QVERIFY(!translated.isEmpty());
    QVERIFY(translated.contains(QStringLiteral("<html lang=\"%1\">").arg(language)));
    QCOMPARE(skeleton(translated), skeleton(english));
    // The title and the headings are the first texts a reader sees; none may be left in English.
    static const QRegularExpression heading(QStringLiteral("<(?:title|h2|figcaption)[^>]*>([^<]+)<"));
    QStringList englishHeadings;
    for (auto match = heading.globalMatch(english); match.hasNext();)
        englishHeadings << match.next().captured(1);
    for (auto match = heading.globalMatch(translated); match.hasNext();) {
        const QString text = match.next().captured(1);
        QVERIFY2(!englishHeadings.contains(text), qPrintable(text));
    }
}

void TestHelpPage::desktopLanguage()
{
    // The page is looked for where the program looks for it, beside the program; the address and the message
    // about it name the German page on a German desktop that has one, and the English page when it has none.
    const QString german = QCoreApplication::applicationDirPath() + QStringLiteral("/Nimbrel.de.html");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(helpAddress().fileName(), QStringLiteral("Nimbrel.html"));
    QFile file(german);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QUrl address = helpAddress();
    const QString message = helpNotOpenedMessage(address);
    QFile::remove(german);
    QLocale::setDefault(QLocale::system());
    QCOMPARE(QDir::cleanPath(address.toLocalFile()), QDir::cleanPath(german));
    QVERIFY2(message.contains(address.toLocalFile()), qPrintable(message));
}

QTEST_GUILESS_MAIN(TestHelpPage)
#include "TestHelpPage.moc"
