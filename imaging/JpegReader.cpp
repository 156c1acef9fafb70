// Decoding JPEG streams with libjpeg straight into a bitmap, turned upright by the EXIF orientation.
#include "JpegReader.h"

#include "DamagedPictureError.h"
#include "PictureLoader.h"
#include "TError.h"

#include <QIODevice>
#include <QTransform>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

namespace {

struct TJpegErrorManager
{
    jpeg_error_mgr Public;
    std::jmp_buf Jump;
    bool TooManyScans = false;
};

// libjpeg reads through this from the device, a buffer at a time, so that it takes no more of the device than
// the stream needs: whatever follows the end-of-image marker is never read beyond one buffer.
struct TDeviceSource
{
    static constexpr qint64 BufferSize = 64 * 1024;

    jpeg_source_mgr Public;
    QIODevice *Device;
    bool StartOfStream = true;
    JOCTET Buffer[BufferSize];
};

constexpr long MaxScaledJpegMemory = 512L * 1024 * 1024;

const JOCTET FakeEndOfImage[] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr Info)
{
    auto *Source = reinterpret_cast<TDeviceSource *>(Info->src);
    qint64 Count = -1;
    bool OutOfMemory = false;
    // No exception may cross libjpeg; its own error exit is taken once the handler is left.
    try {
        Count = Source->Device->read(reinterpret_cast<char *>(Source->Buffer), TDeviceSource::BufferSize);
    } catch (const std::bad_alloc &) {
        OutOfMemory = true;
    }
    if (OutOfMemory)
        ERREXIT1(Info, JERR_OUT_OF_MEMORY, 0);
    // A device that fails is not a stream that ends early: libjpeg would fill in the rest and call it a picture.
    if (Count < 0)
        ERREXIT(Info, JERR_FILE_READ);
    if (Count == 0) {
        if (Source->StartOfStream)
            ERREXIT(Info, JERR_INPUT_EMPTY);
        // As libjpeg's own sources do: a warning and an end-of-image marker, so the picture read so far is kept.
        WARNMS(Info, JWRN_JPEG_EOF);
        Source->Public.next_input_byte = FakeEndOfImage;
        Source->Public.bytes_in_buffer = sizeof FakeEndOfImage;
        return TRUE;
    }
    Source->StartOfStream = false;
    Source->Public.next_input_byte = Source->Buffer;
    Source->Public.bytes_in_buffer = size_t(Count);
    return TRUE;
}

void SkipInputData(j_decompress_ptr Info, long Count)
{
    // A skipped marker segment is at most 64 KB, so reading through it costs no more than a seek would.
    jpeg_source_mgr *Source = Info->src;
    if (Count <= 0)
        return;
    while (Count > long(Source->bytes_in_buffer)) {
        Count -= long(Source->bytes_in_buffer);
        FillInputBuffer(Info);
    }
    Source->next_input_byte += Count;
    Source->bytes_in_buffer -= size_t(Count);
}

void TermSource(j_decompress_ptr) {}

// Called between slices of every pass; libjpeg counts the scans it has begun in input_scan_number.
void LimitScans(j_common_ptr Info)
{
    if (Info->is_decompressor && reinterpret_cast<j_decompress_ptr>(Info)->input_scan_number > MaxJpegScans) {
        auto *Errors = reinterpret_cast<TJpegErrorManager *>(Info->err);
        Errors->TooManyScans = true;
        std::longjmp(Errors->Jump, 1);
    }
}

// The largest of 1, 2, 4 and 8 that still leaves a Width x Height picture covering its fit into FitInto.
unsigned int ScaleDenominator(qint64 Width, qint64 Height, QSize FitInto)
{
    if (!FitInto.isValid() || FitInto.isEmpty())
        return 1;
    unsigned int Denominator = 8;
    while (Denominator > 1 && Denominator * FitInto.width() > Width && Denominator * FitInto.height() > Height)
        Denominator /= 2;
    return Denominator;
}

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

namespace {

QImage Decode(QIODevice &In, QSize FitInto)
{
    // Everything that lives across the jump is made before setjmp and only changed after it.
    jpeg_decompress_struct Info;
    TJpegErrorManager Errors;
    jpeg_progress_mgr Progress{};
    auto Source = std::make_unique<TDeviceSource>();
    QImage Picture;
    JSAMPARRAY CmykRow = nullptr;
    int Orientation = 1;
    QSize Size;

    Info.err = jpeg_std_error(&Errors.Public);
    Errors.Public.error_exit = ExitOnError;
    Errors.Public.output_message = IgnoreMessage;
    jpeg_create_decompress(&Info);
    if (setjmp(Errors.Jump)) {
        const int Code = Errors.Public.msg_code;
        const bool TooManyScans = Errors.TooManyScans;
        const qint64 DeclaredWidth = Info.image_width, DeclaredHeight = Info.image_height;
        jpeg_destroy_decompress(&Info);
        // A frame too large to hold is refused as such, even where the stream goes wrong after declaring it.
        CheckPictureSize(DeclaredWidth, DeclaredHeight);
        if (TooManyScans)
            throw DamagedPictureError(QStringLiteral("has more than %1 scans.").arg(MaxJpegScans));
        if (Code == JERR_OUT_OF_MEMORY || Code == JERR_NO_BACKING_STORE)
            throw TError(NotEnoughMemoryText());
        throw TError(QStringLiteral("JPEG error #%1").arg(Code));
    }
    Source->Device = &In;
    Source->Public.init_source = InitSource;
    Source->Public.fill_input_buffer = FillInputBuffer;
    Source->Public.skip_input_data = SkipInputData;
    Source->Public.resync_to_restart = jpeg_resync_to_restart;
    Source->Public.term_source = TermSource;
    Source->Public.next_input_byte = nullptr;
    Source->Public.bytes_in_buffer = 0;
    Info.src = &Source->Public;
    Progress.progress_monitor = LimitScans;
    Info.progress = &Progress;
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
    // The fit is asked of the upright picture; orientations 5 to 8 store it turned a quarter.
    const bool Turned = Orientation >= 5;
    Info.scale_num = 1;
    Info.scale_denom = ScaleDenominator(Turned ? Size.height() : Size.width(),
                                        Turned ? Size.width() : Size.height(), FitInto);
    // A progressive stream keeps every coefficient of the whole picture until its last scan, whatever the scale:
    // two bytes a sample. A small picture is wanted here, so a small file that declares a huge progressive
    // picture must not cost gigabytes; this still holds an 85-megapixel photograph of full colour resolution.
    if (FitInto.isValid())
        Info.mem->max_memory_to_use = MaxScaledJpegMemory;
    try {
        // The declared size is checked before libjpeg allocates anything for the picture.
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
        CmykRow = (*Info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&Info), JPOOL_IMAGE,
                                            Info.output_width * 4, 1);
    while (Info.output_scanline < Info.output_height) {
        const int Row = int(Info.output_scanline);
        JSAMPROW Line = Cmyk ? CmykRow[0] : Picture.scanLine(Row);
        jpeg_read_scanlines(&Info, &Line, 1);
        if (Cmyk)
            CmykToBgr(Line, Picture.scanLine(Row), Info.output_width, Info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&Info);
    // What the last buffer holds past the end-of-image marker goes back, for a reader that goes on after it.
    const size_t Unread = Info.src->bytes_in_buffer;
    const bool Fake = Info.src->next_input_byte >= FakeEndOfImage
        && Info.src->next_input_byte <= FakeEndOfImage + sizeof FakeEndOfImage;
    jpeg_destroy_decompress(&Info);
    if (!Fake && Unread > 0 && !In.isSequential())
        In.seek(In.pos() - qint64(Unread));

    QImage Upright = OrientUpright(Picture, Orientation);
    if (Upright.isNull())
        throw TError(NotEnoughMemoryText());
    return Upright;
}

} // namespace

QImage ReadJpeg(QIODevice &In, QSize FitInto)
{
    try {
        return Decode(In, FitInto);
    } catch (const std::bad_alloc &) {
        throw TError(NotEnoughMemoryText());
    }
}

void DecodeJpeg(QIODevice &In, QImage &Target)
{
    Target = ReadJpeg(In);
}
