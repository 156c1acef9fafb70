// The picture control paints exactly the bitmap's pixels, wherever it is asked to and after any change.
#include "TPictureControl.h"

#include <QTest>

#include <cstring>

class TestPictureControl : public QObject
{
    Q_OBJECT

private slots:
    void paintsTheBitmap_data();
    void paintsTheBitmap();
};

namespace {

const QRgb Untouched = 0xff123456u;

QImage Noise(QSize Size, quint32 Seed)
{
    QImage Bitmap(Size, QImage::Format_BGR888);
    for (int Y = 0; Y < Size.height(); ++Y) {
        uchar *P = Bitmap.scanLine(Y);
        for (int X = 0; X < Size.width() * 3; ++X) {
            Seed = Seed * 1664525u + 1013904223u;
            P[X] = uchar(Seed >> 24);
        }
    }
    return Bitmap;
}

// What the control shows of Area when rendered alone into an image filled with Untouched.
QImage Rendered(TPictureControl &Control, const QRect &Area)
{
    QImage Target(Control.size(), QImage::Format_RGB32);
    Target.fill(Untouched);
    Control.render(&Target, Area.topLeft(), QRegion(Area));
    return Target;
}

// Every pixel of Area is the bitmap's, every other one is untouched.
void CheckPixels(const QImage &Shown, const QImage &Bitmap, const QRect &Area)
{
    for (int Y = 0; Y < Shown.height(); ++Y)
        for (int X = 0; X < Shown.width(); ++X) {
            const QRgb Want = Area.contains(X, Y) ? Bitmap.pixel(X, Y) : Untouched;
            if (Shown.pixel(X, Y) != Want)
                QFAIL(qPrintable(QStringLiteral("pixel %1, %2 is %3 instead of %4")
                                     .arg(X).arg(Y).arg(Shown.pixel(X, Y), 8, 16).arg(Want, 8, 16)));
        }
}

} // namespace

void TestPictureControl::paintsTheBitmap_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("changed");
    QTest::addColumn<QRect>("painted");

    // Rows of fewer than six pixels and the last pixels of every row take the per-pixel conversion.
    QTest::newRow("one pixel") << QSize(1, 1) << QRect(0, 0, 1, 1) << QRect(0, 0, 1, 1);
    QTest::newRow("five wide") << QSize(5, 3) << QRect(1, 1, 4, 2) << QRect(0, 0, 5, 3);
    QTest::newRow("a band, painted as a band") << QSize(37, 40) << QRect(0, 10, 37, 10) << QRect(0, 10, 37, 10);
    QTest::newRow("part of a band inside a column") << QSize(37, 40) << QRect(0, 10, 37, 10)
                                                    << QRect(13, 5, 7, 30);
    // Wide enough that a paint goes through several strips of lines, the last one short.
    QTest::newRow("wide, whole") << QSize(3001, 157) << QRect(0, 0, 3001, 157) << QRect(0, 0, 3001, 157);
    QTest::newRow("wide, a column") << QSize(3001, 157) << QRect(2990, 3, 11, 150) << QRect(2989, 1, 12, 155);
}

// After a first paint, part of the bitmap changes: a paint of any area then shows the new pixels there and leaves
// the rest of the target alone.
void TestPictureControl::paintsTheBitmap()
{
    QFETCH(QSize, size);
    QFETCH(QRect, changed);
    QFETCH(QRect, painted);

    QImage Bitmap = Noise(size, 1);
    TPictureControl Control(&Bitmap);
    QVERIFY(Control.SizeToBitmap());
    CheckPixels(Rendered(Control, Control.rect()), Bitmap, Control.rect());

    const QImage Other = Noise(size, 2);
    for (int Y = changed.top(); Y <= changed.bottom(); ++Y)
        std::memcpy(Bitmap.scanLine(Y) + changed.left() * 3, Other.constScanLine(Y) + changed.left() * 3,
                    size_t(changed.width()) * 3);
    Control.BitmapChanged(changed);
    CheckPixels(Rendered(Control, painted), Bitmap, painted);
    // Painted again with no change in between: the same pixels.
    CheckPixels(Rendered(Control, Control.rect()), Bitmap, Control.rect());
}

QTEST_MAIN(TestPictureControl)
#include "TestPictureControl.moc"
