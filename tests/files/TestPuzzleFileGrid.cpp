// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the grid's part of a puzzle file read from a device: a grid cut short.
#include "PuzzleFile.h"

#include "UserError.h"

#include <QBuffer>
#include <QtTest>

using namespace quorra;

class TestPuzzleFileGrid : public QObject
{
    Q_OBJECT

private slots:
    void streamShort();
};

void TestPuzzleFileGrid::streamShort()
{
    // A file whose grid ends one byte early is refused before anything of it is taken.
    TileGrid b;
    b.init(2, 2, false, false);
    const std::vector<std::uint8_t> header = puzzleHeaderBytes({1, 0, false, b});
    QByteArray cut(reinterpret_cast<const char *>(header.data()), qsizetype(header.size()) - 1);
    QBuffer buffer(&cut);
    buffer.open(QIODevice::ReadOnly);
    try {
        PuzzleFile::read(buffer, QStringLiteral("cut.nbq"));
        QFAIL("a grid cut short was read");
    } catch (const UserError &e) {
        QCOMPARE(e.message(), QStringLiteral("The puzzle file \"cut.nbq\" is damaged: it ends before its header is "
                                             "complete."));
    }
}

QTEST_GUILESS_MAIN(TestPuzzleFileGrid)
#include "TestPuzzleFileGrid.moc"
