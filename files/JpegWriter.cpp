// SPDX-License-Identifier: GPL-3.0-or-later
// Encodes a picture as a baseline colour JPEG at quality 90 onto any device, row by row.
#include "JpegWriter.h"

#include "UserError.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QList>

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <jerror.h>
#include <jpeglib.h>
#include <memory>
#include <vector>

namespace quorra {

namespace {

// libjpeg reports failures by calling error_exit, which must not return; a jump back to the one frame that
// started the encoder is the only way out that never unwinds through libjpeg's C frames.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void errorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

// Warnings would go to stderr; the program reports nothing but raised errors.
void outputMessage(j_common_ptr) {}

constexpr size_t OutputBufferSize = size_t(64) * 1024;

struct Destination {
    jpeg_destination_mgr pub;
    QIODevice *out = nullptr;
    bool failed = false;
    JOCTET buffer[OutputBufferSize];
};

Destination &destinationOf(j_compress_ptr info)
{
    return *reinterpret_cast<Destination *>(info->dest);
}

void initDestination(j_compress_ptr info)
{
    Destination &dest = destinationOf(info);
    dest.pub.next_output_byte = dest.buffer;
    dest.pub.free_in_buffer = OutputBufferSize;
}

// libjpeg calls this when the buffer is full, whatever free_in_buffer says: the whole buffer is due.
boolean emptyOutputBuffer(j_compress_ptr info)
{
    Destination &dest = destinationOf(info);
    if (dest.out->write(reinterpret_cast<const char *>(dest.buffer), OutputBufferSize) != qint64(OutputBufferSize)) {
        dest.failed = true;
        ERREXIT(info, JERR_FILE_WRITE);
    }
    dest.pub.next_output_byte = dest.buffer;
    dest.pub.free_in_buffer = OutputBufferSize;
    return TRUE;
}

void termDestination(j_compress_ptr info)
{
    Destination &dest = destinationOf(info);
    const qint64 count = qint64(OutputBufferSize - dest.pub.free_in_buffer);
    if (count > 0 && dest.out->write(reinterpret_cast<const char *>(dest.buffer), count) != count) {
        dest.failed = true;
        ERREXIT(info, JERR_FILE_WRITE);
    }
}

// Hands libjpeg one RGB row at a time. RGB888 rows go straight from the picture; every other format is
// converted into one reused row buffer, so no second copy of the whole picture is ever made.
class RowSource
{
public:
    explicit RowSource(const QImage &picture) : m_picture(picture), m_row(size_t(picture.width()) * 3)
    {
        if (picture.format() == QImage::Format_Indexed8) {
            // Indices past the table are black, as Qt draws them.
            m_colours = picture.colorTable();
            m_colours.resize(256, qRgb(0, 0, 0));
        }
    }

    JSAMPROW row(int y)
    {
        const int width = m_picture.width();
        const uchar *in = m_picture.constScanLine(y);
        JSAMPLE *out = m_row.data();
        switch (m_picture.format()) {
        case QImage::Format_RGB888:
        case QImage::Format_BGR888:
            // Read only: RGB needs no colour conversion buffer, and libjpeg takes blue, green, red itself
            // (ColourSpace).
            return const_cast<JSAMPROW>(in);
        case QImage::Format_Grayscale8:
            for (int x = 0; x < width; ++x, out += 3)
                out[0] = out[1] = out[2] = in[x];
            break;
        case QImage::Format_Indexed8:
            // The colour table's alpha is the transparency mark; its RGB is the colour that is stored.
            for (int x = 0; x < width; ++x, out += 3)
                storeRgb(m_colours[in[x]], out);
            break;
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
            storeRgbRow(reinterpret_cast<const QRgb *>(in), width, out);
            break;
        default: {
            // Rare formats: let Qt convert one row to straight (not premultiplied) ARGB, then drop the alpha.
            const QImage line = m_picture.copy(0, y, width, 1).convertToFormat(QImage::Format_ARGB32);
            storeRgbRow(reinterpret_cast<const QRgb *>(line.constScanLine(0)), width, out);
            break;
        }
        }
        return m_row.data();
    }

    // The working bitmaps' byte order goes to libjpeg as it is: its colour conversion reads blue, green, red
    // with the same arithmetic as red, green, blue, so the stream is the same and no row is reordered.
    J_COLOR_SPACE colourSpace() const { return m_picture.format() == QImage::Format_BGR888 ? JCS_EXT_BGR : JCS_RGB; }

private:
    static void storeRgb(QRgb colour, JSAMPLE *out)
    {
        out[0] = JSAMPLE(qRed(colour));
        out[1] = JSAMPLE(qGreen(colour));
        out[2] = JSAMPLE(qBlue(colour));
    }

    static void storeRgbRow(const QRgb *in, int width, JSAMPLE *out)
    {
        for (int x = 0; x < width; ++x, out += 3)
            storeRgb(in[x], out);
    }

    const QImage &m_picture;
    std::vector<JSAMPLE> m_row;
    QList<QRgb> m_colours;
};

// Everything libjpeg may leave by longjmp runs here, with no local that needs destroying.
void encode(jpeg_compress_struct &info, const QImage &picture, RowSource &rows)
{
    info.image_width = JDIMENSION(picture.width());
    info.image_height = JDIMENSION(picture.height());
    info.input_components = 3;
    info.in_color_space = rows.colourSpace();
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, JpegWriter::Quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = rows.row(int(info.next_scanline));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
}

} // namespace

bool JpegWriter::write(const QImage &picture, QIODevice &out)
{
    jpeg_compress_struct info;
    ErrorManager errors;
    auto dest = std::make_unique<Destination>();
    RowSource rows(picture);

    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = errorExit;
    errors.pub.output_message = outputMessage;
    if (setjmp(errors.jump)) {
        const int code = errors.pub.msg_code;
        jpeg_destroy_compress(&info);
        if (dest->failed)
            return false;
        throw UserError(QCoreApplication::translate("PuzzleFiles", "JPEG error #%1").arg(code));
    }
    jpeg_create_compress(&info);
    dest->out = &out;
    dest->pub.init_destination = initDestination;
    dest->pub.empty_output_buffer = emptyOutputBuffer;
    dest->pub.term_destination = termDestination;
    info.dest = &dest->pub;

    encode(info, picture, rows);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace quorra
