// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the text a given-up error is logged with.
#include "DamagedPictureError.h"
#include "LogCategory.h"

#include <QtTest>

#include <functional>
#include <stdexcept>

using namespace quorra;

Q_DECLARE_METATYPE(std::function<void()>)

class TestLogCategory : public QObject
{
    Q_OBJECT

private slots:
    void handledErrorText_data()
    {
        QTest::addColumn<std::function<void()>>("raise");
        QTest::addColumn<QString>("text");
        QTest::newRow("user error, not Latin-1")
            << std::function<void()>([] { throw UserError(QStringLiteral("Zu groß: 日本")); })
            << QStringLiteral("Zu groß: 日本");
        QTest::newRow("damaged picture") << std::function<void()>([] {
            throw DamagedPictureError(QStringLiteral("ends early."));
        }) << QStringLiteral("The picture is damaged: it ends early.");
        QTest::newRow("standard exception")
            << std::function<void()>([] { throw std::runtime_error("device gone"); }) << QStringLiteral("device gone");
        QTest::newRow("no exception class")
            << std::function<void()>([] { throw 42; }) << QStringLiteral("an error that carries no text");
    }

    void handledErrorText()
    {
        QFETCH(std::function<void()>, raise);
        QFETCH(QString, text);
        QString logged;
        try {
            raise();
        } catch (...) {
            logged = quorra::handledErrorText();
        }
        QCOMPARE(logged, text);
    }

    // Asked with nothing being handled, it must not rethrow (which would end the program).
    void outsideACatchBlock() { QCOMPARE(quorra::handledErrorText(), QStringLiteral("no error")); }
};

QTEST_GUILESS_MAIN(TestLogCategory)
#include "TestLogCategory.moc"
