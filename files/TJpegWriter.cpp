// Encodes a picture as a baseline colour JPEG at quality 90 onto any device, row by row.
#include "TJpegWriter.h"

#include "TError.h"

#include <QIODevice>
#include <QList>

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
#include <jerror.h>
#include <memory>
#include <vector>

namespace {

// libjpeg reports failures by calling error_exit, which must not return; a jump back to the one frame that
// started the encoder is the only way out that never unwinds through libjpeg's C frames.
struct TErrorManager {
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
};

[[noreturn]] void ErrorExit(j_common_ptr Info)
{
    std::longjmp(reinterpret_cast<TErrorManager *>(Info->err)->Jump, 1);
}

// Warnings would go to stderr; the program reports nothing but raised errors.
void OutputMessage(j_common_ptr) {}

constexpr size_t OutputBufferSize = 64 * 1024;

struct TDestination {
    jpeg_destination_mgr Pub;
    QIODevice *Out = nullptr;
    bool Failed = false;
    JOCTET Buffer[OutputBufferSize];
};

TDestination &DestinationOf(j_compress_ptr Info)
{
    return *reinterpret_cast<TDestination *>(Info->dest);
}

void InitDestination(j_compress_ptr Info)
{
    TDestination &Dest = DestinationOf(Info);
    Dest.Pub.next_output_byte = Dest.Buffer;
    Dest.Pub.free_in_buffer = OutputBufferSize;
}

// libjpeg calls this when the buffer is full, whatever free_in_buffer says: the whole buffer is due.
boolean EmptyOutputBuffer(j_compress_ptr Info)
{
    TDestination &Dest = DestinationOf(Info);
    if (Dest.Out->write(reinterpret_cast<const char *>(Dest.Buffer), OutputBufferSize)
        != qint64(OutputBufferSize)) {
        Dest.Failed = true;
        ERREXIT(Info, JERR_FILE_WRITE);
    }
    Dest.Pub.next_output_byte = Dest.Buffer;
    Dest.Pub.free_in_buffer = OutputBufferSize;
    return TRUE;
}

void TermDestination(j_compress_ptr Info)
{
    TDestination &Dest = DestinationOf(Info);
    const qint64 Count = qint64(OutputBufferSize - Dest.Pub.free_in_buffer);
    if (Count > 0 && Dest.Out->write(reinterpret_cast<const char *>(Dest.Buffer), Count) != Count) {
        Dest.Failed = true;
        ERREXIT(Info, JERR_FILE_WRITE);
    }
}

// Hands libjpeg one RGB row at a time. RGB888 rows go straight from the picture; every other format is
// converted into one reused row buffer, so no second copy of the whole picture is ever made.
class TRowSource
{
public:
    explicit TRowSource(const QImage &Picture)
        : FPicture(Picture), FRow(size_t(Picture.width()) * 3)
    {
        if (Picture.format() == QImage::Format_Indexed8) {
            // Indices past the table are black, as Qt draws them.
            FColours = Picture.colorTable();
            FColours.resize(256, qRgb(0, 0, 0));
        }
    }

    JSAMPROW Row(int Y)
    {
        const int Width = FPicture.width();
        const uchar *In = FPicture.constScanLine(Y);
        JSAMPLE *Out = FRow.data();
        switch (FPicture.format()) {
        case QImage::Format_RGB888:
            return const_cast<JSAMPROW>(In); // read only: the RGB input needs no colour conversion buffer
        case QImage::Format_BGR888:
            return const_cast<JSAMPROW>(In); // read only; libjpeg takes blue, green, red itself (ColourSpace)
        case QImage::Format_Grayscale8:
            for (int X = 0; X < Width; ++X, Out += 3)
                Out[0] = Out[1] = Out[2] = In[X];
            break;
        case QImage::Format_Indexed8:
            // The colour table's alpha is the transparency mark; its RGB is the colour that is stored.
            for (int X = 0; X < Width; ++X, Out += 3)
                StoreRgb(FColours[In[X]], Out);
            break;
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
            StoreRgbRow(reinterpret_cast<const QRgb *>(In), Width, Out);
            break;
        default: {
            // Rare formats: let Qt convert one row to straight (not premultiplied) ARGB, then drop the alpha.
            const QImage Line = FPicture.copy(0, Y, Width, 1).convertToFormat(QImage::Format_ARGB32);
            StoreRgbRow(reinterpret_cast<const QRgb *>(Line.constScanLine(0)), Width, Out);
            break;
        }
        }
        return FRow.data();
    }

    // The working bitmaps' byte order goes to libjpeg as it is: its colour conversion reads blue, green, red
    // with the same arithmetic as red, green, blue, so the stream is the same and no row is reordered.
    J_COLOR_SPACE ColourSpace() const
    {
        return FPicture.format() == QImage::Format_BGR888 ? JCS_EXT_BGR : JCS_RGB;
    }

private:
    static void StoreRgb(QRgb Colour, JSAMPLE *Out)
    {
        Out[0] = JSAMPLE(qRed(Colour));
        Out[1] = JSAMPLE(qGreen(Colour));
        Out[2] = JSAMPLE(qBlue(Colour));
    }

    static void StoreRgbRow(const QRgb *In, int Width, JSAMPLE *Out)
    {
        for (int X = 0; X < Width; ++X, Out += 3)
            StoreRgb(In[X], Out);
    }

    const QImage &FPicture;
    std::vector<JSAMPLE> FRow;
    QList<QRgb> FColours;
};

// Everything libjpeg may leave by longjmp runs here, with no local that needs destroying.
void Encode(jpeg_compress_struct &Info, const QImage &Picture, TRowSource &Rows)
{
    Info.image_width = JDIMENSION(Picture.width());
    Info.image_height = JDIMENSION(Picture.height());
    Info.input_components = 3;
    Info.in_color_space = Rows.ColourSpace();
    jpeg_set_defaults(&Info);
    jpeg_set_quality(&Info, TJpegWriter::Quality, TRUE);
    jpeg_start_compress(&Info, TRUE);
    while (Info.next_scanline < Info.image_height) {
        JSAMPROW Row = Rows.Row(int(Info.next_scanline));
        jpeg_write_scanlines(&Info, &Row, 1);
    }
    jpeg_finish_compress(&Info);
}

} // namespace

bool TJpegWriter::Write(const QImage &Picture, QIODevice &Out)
{
    jpeg_compress_struct Info;
    TErrorManager Errors;
    auto Dest = std::make_unique<TDestination>();
    TRowSource Rows(Picture);

    Info.err = jpeg_std_error(&Errors.Pub);
    Errors.Pub.error_exit = ErrorExit;
    Errors.Pub.output_message = OutputMessage;
    if (setjmp(Errors.Jump)) {
        const int Code = Errors.Pub.msg_code;
        jpeg_destroy_compress(&Info);
        if (Dest->Failed)
            return false;
        throw TError(QStringLiteral("JPEG error #%1").arg(Code));
    }
    jpeg_create_compress(&Info);
    Dest->Out = &Out;
    Dest->Pub.init_destination = InitDestination;
    Dest->Pub.empty_output_buffer = EmptyOutputBuffer;
    Dest->Pub.term_destination = TermDestination;
    Info.dest = &Dest->Pub;

    Encode(Info, Picture, Rows);
    jpeg_destroy_compress(&Info);
    return true;
}
