// Decoding JPEG streams with libjpeg straight into a bitmap, turned upright by the EXIF orientation.
#include "JpegReader.h"

#include "PictureLoader.h"
#include "TError.h"

#include <QIODevice>
#include <QTransform>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

struct TJpegErrorManager
{
    jpeg_error_mgr Public;
    std::jmp_buf Jump;
};

[[noreturn]] void ExitOnError(j_common_ptr Info)
{
    std::longjmp(reinterpret_cast<TJpegErrorManager *>(Info->err)->Jump, 1);
}

// Warnings (a stream that ends early, damaged data that libjpeg mends) are not errors and go unreported.
void IgnoreMessage(j_common_ptr) {}

quint32 Read16(const uchar *P, bool BigEndian)
{
    return BigEndian ? (quint32(P[0]) << 8 | P[1]) : (quint32(P[1]) << 8 | P[0]);
}

quint32 Read32(const uchar *P, bool BigEndian)
{
    return BigEndian ? (Read16(P, true) << 16 | Read16(P + 2, true)) : (Read16(P + 2, false) << 16 | Read16(P, false));
}

// Adobe CMYK files store inverted ink amounts; plain ones store the amounts themselves.
void CmykToBgr(const uchar *Cmyk, uchar *Bgr, JDIMENSION Width, bool Inverted)
{
    for (JDIMENSION X = 0; X < Width; ++X, Cmyk += 4, Bgr += 3) {
        const int C = Inverted ? Cmyk[0] : 255 - Cmyk[0];
        const int M = Inverted ? Cmyk[1] : 255 - Cmyk[1];
        const int Y = Inverted ? Cmyk[2] : 255 - Cmyk[2];
        const int K = Inverted ? Cmyk[3] : 255 - Cmyk[3];
        Bgr[0] = uchar((Y * K + 127) / 255);
        Bgr[1] = uchar((M * K + 127) / 255);
        Bgr[2] = uchar((C * K + 127) / 255);
    }
}

} // namespace

QSize JpegFrameSize(const QByteArray &Data)
{
    const auto *P = reinterpret_cast<const uchar *>(Data.constData());
    const qsizetype N = Data.size();
    if (N < 4 || P[0] != 0xFF || P[1] != 0xD8)
        return QSize();
    qsizetype I = 2;
    while (I + 4 <= N) {
        if (P[I] != 0xFF)
            return QSize();
        while (I < N && P[I] == 0xFF)
            ++I;
        if (I + 3 > N)
            return QSize();
        const uchar Marker = P[I++];
        if (Marker == 0x01 || (Marker >= 0xD0 && Marker <= 0xD7))
            continue;
        if (Marker == 0xD9 || Marker == 0xDA)
            return QSize();
        const qsizetype Length = Read16(P + I, true);
        const bool Frame = Marker >= 0xC0 && Marker <= 0xCF && Marker != 0xC4 && Marker != 0xC8 && Marker != 0xCC;
        if (Frame && Length >= 7 && I + 7 <= N)
            return QSize(int(Read16(P + I + 5, true)), int(Read16(P + I + 3, true)));
        if (Length < 2)
            return QSize();
        I += Length;
    }
    return QSize();
}

int ExifOrientation(const QByteArray &App1)
{
    const auto *P = reinterpret_cast<const uchar *>(App1.constData());
    const qsizetype N = App1.size();
    if (N < 14 || !App1.startsWith(QByteArrayLiteral("Exif\0\0")))
        return 1;
    const uchar *Tiff = P + 6;
    const qsizetype TiffSize = N - 6;
    bool BigEndian;
    if (Tiff[0] == 'M' && Tiff[1] == 'M')
        BigEndian = true;
    else if (Tiff[0] == 'I' && Tiff[1] == 'I')
        BigEndian = false;
    else
        return 1;
    if (Read16(Tiff + 2, BigEndian) != 42)
        return 1;
    const quint32 Directory = Read32(Tiff + 4, BigEndian);
    if (Directory > quint32(TiffSize) - 2)
        return 1;
    const quint32 Count = Read16(Tiff + Directory, BigEndian);
    for (quint32 E = 0; E < Count; ++E) {
        const quint64 At = quint64(Directory) + 2 + quint64(E) * 12;
        if (At + 12 > quint64(TiffSize))
            return 1;
        const uchar *Entry = Tiff + At;
        // Tag 0x0112, one SHORT held in the first half of the value field.
        if (Read16(Entry, BigEndian) == 0x0112 && Read16(Entry + 2, BigEndian) == 3) {
            const quint32 Value = Read16(Entry + 8, BigEndian);
            return Value >= 1 && Value <= 8 ? int(Value) : 1;
        }
    }
    return 1;
}

QImage OrientUpright(const QImage &Picture, int Orientation)
{
    const QTransform Quarter = QTransform().rotate(90);
    const QTransform ThreeQuarters = QTransform().rotate(270);
    switch (Orientation) {
    case 2:
        return Picture.mirrored(true, false);
    case 3:
        return Picture.mirrored(true, true);
    case 4:
        return Picture.mirrored(false, true);
    case 5:
        return Picture.mirrored(false, true).transformed(Quarter);
    case 6:
        return Picture.transformed(Quarter);
    case 7:
        return Picture.mirrored(true, false).transformed(Quarter);
    case 8:
        return Picture.transformed(ThreeQuarters);
    default:
        return Picture;
    }
}

void ReadJpeg(const QByteArray &Data, QImage &Target)
{
    // The declared size is checked before libjpeg sees the stream, so a hostile header never costs memory.
    const QSize Declared = JpegFrameSize(Data);
    if (Declared.isValid())
        CheckPictureSize(Declared.width(), Declared.height());

    // Everything that lives across the jump is made before setjmp and only changed after it.
    jpeg_decompress_struct Info;
    TJpegErrorManager Errors;
    QImage Picture;
    QByteArray CmykRow;
    int Orientation = 1;
    QSize Size;

    Info.err = jpeg_std_error(&Errors.Public);
    Errors.Public.error_exit = ExitOnError;
    Errors.Public.output_message = IgnoreMessage;
    jpeg_create_decompress(&Info);
    if (setjmp(Errors.Jump)) {
        const int Code = Errors.Public.msg_code;
        jpeg_destroy_decompress(&Info);
        throw TError(QStringLiteral("JPEG error #%1").arg(Code));
    }
    jpeg_mem_src(&Info, reinterpret_cast<const unsigned char *>(Data.constData()),
                 static_cast<unsigned long>(Data.size()));
    jpeg_save_markers(&Info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&Info, TRUE);

    Size = QSize(int(Info.image_width), int(Info.image_height));
    for (jpeg_saved_marker_ptr M = Info.marker_list; M; M = M->next)
        if (M->marker == JPEG_APP0 + 1) {
            const int Found = ExifOrientation(
                QByteArray::fromRawData(reinterpret_cast<const char *>(M->data), qsizetype(M->data_length)));
            if (Found != 1) {
                Orientation = Found;
                break;
            }
        }

    const bool Grey = Info.jpeg_color_space == JCS_GRAYSCALE;
    const bool Cmyk = Info.jpeg_color_space == JCS_CMYK || Info.jpeg_color_space == JCS_YCCK;
    Info.out_color_space = Grey ? JCS_GRAYSCALE : Cmyk ? JCS_CMYK : JCS_EXT_BGR;
    try {
        CheckPictureSize(Size.width(), Size.height());
    } catch (...) {
        jpeg_destroy_decompress(&Info);
        throw;
    }
    jpeg_start_decompress(&Info);

    Picture = QImage(int(Info.output_width), int(Info.output_height),
                     Grey ? QImage::Format_Grayscale8 : QImage::Format_BGR888);
    if (Picture.isNull()) {
        jpeg_destroy_decompress(&Info);
        throw TError(QStringLiteral("Not enough memory for a picture of %1 x %2 pixels.")
                         .arg(Size.width())
                         .arg(Size.height()));
    }
    if (Cmyk)
        CmykRow.resize(qsizetype(Info.output_width) * 4);
    while (Info.output_scanline < Info.output_height) {
        const int Row = int(Info.output_scanline);
        JSAMPROW Line = Cmyk ? reinterpret_cast<JSAMPROW>(CmykRow.data()) : Picture.scanLine(Row);
        jpeg_read_scanlines(&Info, &Line, 1);
        if (Cmyk)
            CmykToBgr(Line, Picture.scanLine(Row), Info.output_width, Info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&Info);
    jpeg_destroy_decompress(&Info);

    Target = OrientUpright(Picture, Orientation);
}

void DecodeJpeg(QIODevice &In, QImage &Target)
{
    ReadJpeg(In.readAll(), Target);
}
