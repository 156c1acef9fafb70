// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding JPEG streams with libjpeg straight into a bitmap, turned upright by the EXIF orientation.
#include "JpegReader.h"

#include "DamagedPictureError.h"
#include "DecodeCancellation.h"
#include "ExifOrientation.h"
#include "PictureLoader.h"
#include "UserError.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QIODevice>

#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <jerror.h>
#include <jpeglib.h>

namespace quorra {

namespace {

using Clock = std::chrono::steady_clock;

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    bool tooManyScans = false;
    bool tooMuchBesidesPicture = false;
    // A bounded decode gives up at the deadline; a person who opens a large photograph waits for it instead.
    bool timed = false;
    Clock::time_point deadline;
    bool tooSlow = false;
};

// Where libjpeg is in the stream: it has made progress whenever any of these has changed.
struct StreamPosition {
    int state = -1;
    int scan = -1;
    JDIMENSION row = 0;
    bool operator==(const StreamPosition &) const = default;
};

// libjpeg reads through this from the device, a buffer at a time, so that it takes no more of the device than
// the stream needs: whatever follows the end-of-image marker is never read beyond one buffer.
struct DeviceSource {
    static constexpr qint64 BufferSize = qint64(64) * 1024;

    jpeg_source_mgr base;
    QIODevice *device;
    // Every byte taken from the device, when the caller keeps the stream.
    QByteArray *kept = nullptr;
    // How large the kept stream may grow, or 0 for as large as the device holds.
    qint64 keptLimit = 0;
    bool startOfStream = true;
    // Where libjpeg was when the last buffer was fetched, and how many bytes that buffer held.
    StreamPosition lastPosition;
    qint64 lastCount = 0;
    // Bytes consumed since libjpeg last made progress, and how many of them already count as not picture data.
    qint64 stalled = 0;
    qint64 stalledCounted = 0;
    // Bytes known to be no part of the picture, held against MaxJpegNonPictureBytes.
    qint64 nonPicture = 0;
    // The first Exif APP1 segment's payload; later APP1 segments are skipped.
    int exifLength = -1;
    JOCTET exif[0xFFFF];
    JOCTET buffer[BufferSize];
};

constexpr long MaxScaledJpegMemory = 512L * 1024 * 1024;

// A thumbnail of a picture from anywhere: about what the thumbnail of a 40-megapixel progressive photograph
// needs, and a second of decoding, which a file manager showing a folder of them can afford for each.
constexpr long MaxBoundedJpegMemory = 128L * 1024 * 1024;
constexpr std::chrono::milliseconds BoundedJpegTime(1000);

// libjpeg's global_state while it reads the header's segments (DSTATE_INHEADER in its private jpegint.h).
constexpr int HeaderState = 201;

// The most bytes one 8 x 8 block can take in the entropy-coded data: with Huffman codes, 16 bits a code, 11 bits
// of DC and 10 of each AC amplitude come to 209 bytes, twice that when every byte is a stuffed 0xFF; arithmetic
// coding can spend up to 15 bits on a decision, so it is given far more room.
constexpr qint64 MaxHuffmanBlockBytes = 512;
constexpr qint64 MaxArithmeticBlockBytes = 8192;

[[noreturn]] void refuse(j_decompress_ptr info, bool JpegErrorManager::*reason)
{
    auto *errors = reinterpret_cast<JpegErrorManager *>(info->err);
    errors->*reason = true;
    std::longjmp(errors->jump, 1);
}

void checkDeadline(j_decompress_ptr info)
{
    const auto *errors = reinterpret_cast<JpegErrorManager *>(info->err);
    if (errors->timed && Clock::now() > errors->deadline)
        refuse(info, &JpegErrorManager::tooSlow);
}

// libjpeg only tells where it is, not which bytes it took for what. A whole buffer consumed without progress
// was not picture data when libjpeg is reading segments (the header, or markers after a scan's last row: in
// between it discards anything that is not a marker and skips the segments it does not need); inside a scan, a
// row can legitimately take more than a buffer, so only what passes the most that row's blocks can hold counts
// (what libjpeg skips before a restart marker). A buffer in which progress happens is not counted at all, so a
// stream is never refused for its picture's own bytes.
void countNonPicture(j_decompress_ptr info, DeviceSource &source)
{
    const StreamPosition now{info->global_state, info->input_scan_number, info->input_iMCU_row};
    if (now != source.lastPosition) {
        source.lastPosition = now;
        source.stalled = 0;
        source.stalledCounted = 0;
        return;
    }
    source.stalled += source.lastCount;
    const bool betweenScans = info->global_state == HeaderState || info->input_iMCU_row >= info->total_iMCU_rows;
    // A non-interleaved scan's row is as many block rows as its component's vertical sampling factor.
    const qint64 rowAllowance = betweenScans
                                    ? 0
                                    : qint64(info->MCUs_per_row) * info->blocks_in_MCU * info->max_v_samp_factor
                                          * (info->arith_code ? MaxArithmeticBlockBytes : MaxHuffmanBlockBytes);
    const qint64 excess = source.stalled - rowAllowance;
    if (excess > source.stalledCounted) {
        source.nonPicture += excess - source.stalledCounted;
        source.stalledCounted = excess;
    }
}

const JOCTET FakeEndOfImage[] = {0xFF, JPEG_EOI};

void initSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr info)
{
    auto *source = reinterpret_cast<DeviceSource *>(info->src);
    checkDeadline(info);
    // Refused before the next buffer is read or kept, so nothing past the budget is ever held.
    countNonPicture(info, *source);
    if (source->nonPicture > MaxJpegNonPictureBytes)
        refuse(info, &JpegErrorManager::tooMuchBesidesPicture);
    qint64 count = -1;
    bool outOfMemory = false;
    // No exception may cross libjpeg; its own error exit is taken once the handler is left.
    try {
        count = source->device->read(reinterpret_cast<char *>(source->buffer), DeviceSource::BufferSize);
        if (source->kept && source->keptLimit > 0 && source->kept->size() + count > source->keptLimit)
            outOfMemory = true;
        else if (count > 0 && source->kept)
            source->kept->append(reinterpret_cast<const char *>(source->buffer), qsizetype(count));
    } catch (const std::bad_alloc &) {
        outOfMemory = true;
    }
    if (outOfMemory)
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    // A device that fails is not a stream that ends early: libjpeg would fill in the rest and call it a picture.
    if (count < 0)
        ERREXIT(info, JERR_FILE_READ);
    if (count == 0) {
        if (source->startOfStream)
            ERREXIT(info, JERR_INPUT_EMPTY);
        // As libjpeg's own sources do: a warning and an end-of-image marker, so the picture read so far is kept.
        WARNMS(info, JWRN_JPEG_EOF);
        source->base.next_input_byte = FakeEndOfImage;
        source->base.bytes_in_buffer = sizeof FakeEndOfImage;
        return TRUE;
    }
    source->startOfStream = false;
    source->lastCount = count;
    source->base.next_input_byte = source->buffer;
    source->base.bytes_in_buffer = size_t(count);
    return TRUE;
}

void skipInputData(j_decompress_ptr info, long count)
{
    // A skipped marker segment is at most 64 KB, so reading through it costs no more than a seek would.
    jpeg_source_mgr *source = info->src;
    if (count <= 0)
        return;
    while (count > long(source->bytes_in_buffer)) {
        count -= long(source->bytes_in_buffer);
        fillInputBuffer(info);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= size_t(count);
}

void termSource(j_decompress_ptr) {}

JOCTET nextByte(j_decompress_ptr info)
{
    jpeg_source_mgr *source = info->src;
    // The device source never suspends: it fills or leaves through the error exit.
    if (source->bytes_in_buffer == 0)
        source->fill_input_buffer(info);
    --source->bytes_in_buffer;
    return *source->next_input_byte++;
}

// Keeps the first Exif APP1 segment and skips every other one. libjpeg's own saving keeps them all in a list
// that it walks to the end for each new one, which makes many segments cost time by their square.
boolean readApp1(j_decompress_ptr info)
{
    auto *source = reinterpret_cast<DeviceSource *>(info->src);
    long length = long(nextByte(info)) << 8;
    length |= nextByte(info);
    length -= 2;
    if (length < 0)
        ERREXIT(info, JERR_BAD_LENGTH);
    if (source->exifLength >= 0) {
        skipInputData(info, length);
        return TRUE;
    }
    static constexpr char ExifSignature[] = "Exif\0";
    long read = 0;
    while (read < length && read < long(sizeof ExifSignature))
        source->exif[read++] = nextByte(info);
    if (read < long(sizeof ExifSignature) || std::memcmp(source->exif, ExifSignature, sizeof ExifSignature) != 0) {
        skipInputData(info, length - read);
        return TRUE;
    }
    while (read < length)
        source->exif[read++] = nextByte(info);
    source->exifLength = int(length);
    return TRUE;
}

// Called between slices of every pass; libjpeg counts the scans it has begun in input_scan_number.
void limitScans(j_common_ptr info)
{
    // A decode given up by the thread that started it ends as a damaged file does; nobody reads its error.
    if (info->is_decompressor
        && (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MaxJpegScans
            || DecodeCancellation::requested())) {
        auto *errors = reinterpret_cast<JpegErrorManager *>(info->err);
        errors->tooManyScans = true;
        std::longjmp(errors->jump, 1);
    }
    if (info->is_decompressor)
        checkDeadline(reinterpret_cast<j_decompress_ptr>(info));
}

// How large a decode is asked for: Size empty for the whole picture; otherwise the picture fitted into Size
// must be covered or, with Both, Size itself across and down.
struct Reduction {
    QSize size;
    bool both = false;
    // At most this much of libjpeg's own memory (see decode), or as much as it needs when 0.
    long memoryLimit = 0;
    // Given up after BoundedJpegTime.
    bool timed = false;
};

// The largest of 1, 2, 4 and 8 that still leaves a Width x Height picture as large as Wanted asks.
unsigned int scaleDenominator(qint64 width, qint64 height, const Reduction &wanted)
{
    const QSize fit = wanted.size;
    if (!fit.isValid() || fit.isEmpty())
        return 1;
    unsigned int denominator = 8;
    // libjpeg rounds a reduced side up.
    auto reduced = [&denominator](qint64 side) { return (side + denominator - 1) / denominator; };
    if (wanted.both)
        while (denominator > 1 && (reduced(width) < fit.width() || reduced(height) < fit.height()))
            denominator /= 2;
    else
        while (denominator > 1 && qint64(denominator) * fit.width() > width
               && qint64(denominator) * fit.height() > height)
            denominator /= 2;
    return denominator;
}

[[noreturn]] void exitOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrorManager *>(info->err)->jump, 1);
}

// Warnings (a stream that ends early, damaged data that libjpeg mends) are not errors and go unreported.
void ignoreMessage(j_common_ptr) {}

// Adobe CMYK files store inverted ink amounts; plain ones store the amounts themselves.
void cmykToBgr(const uchar *cmyk, uchar *bgr, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const int c = inverted ? cmyk[0] : 255 - cmyk[0];
        const int m = inverted ? cmyk[1] : 255 - cmyk[1];
        const int y = inverted ? cmyk[2] : 255 - cmyk[2];
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        bgr[0] = uchar((y * k + 127) / 255);
        bgr[1] = uchar((m * k + 127) / 255);
        bgr[2] = uchar((c * k + 127) / 255);
    }
}

} // namespace

namespace {

JpegStream decode(QIODevice &in, const Reduction &wanted, bool keepStream)
{
    // Everything that lives across the jump is made before setjmp and only changed after it.
    jpeg_decompress_struct info;
    JpegErrorManager errors;
    jpeg_progress_mgr progress{};
    auto source = std::make_unique<DeviceSource>();
    QImage picture;
    JSAMPARRAY cmykRow = nullptr;
    int orientation = 1;
    QSize size;
    QByteArray kept;

    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = exitOnError;
    errors.base.output_message = ignoreMessage;
    jpeg_create_decompress(&info);
    if (setjmp(errors.jump)) {
        const int code = errors.base.msg_code;
        const bool tooManyScans = errors.tooManyScans;
        const bool tooMuchBesidesPicture = errors.tooMuchBesidesPicture;
        const bool tooSlow = errors.tooSlow;
        const qint64 declaredWidth = info.image_width, declaredHeight = info.image_height;
        jpeg_destroy_decompress(&info);
        // A frame too large to hold is refused as such, even where the stream goes wrong after declaring it.
        checkPictureSize(declaredWidth, declaredHeight);
        if (tooManyScans)
            throw DamagedPictureError(
                QCoreApplication::translate("Pictures", "has more than %1 scans.").arg(MaxJpegScans));
        if (tooMuchBesidesPicture)
            throw DamagedPictureError(
                QCoreApplication::translate("Pictures", "has more than %1 MB of data besides its pixels.")
                    .arg(MaxJpegNonPictureBytes >> 20));
        if (tooSlow)
            throw UserError(QCoreApplication::translate("Pictures", "The picture takes more than %1 ms to decode.")
                                .arg(BoundedJpegTime.count()));
        if (code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE)
            throw UserError(notEnoughMemoryText());
        throw UserError(QCoreApplication::translate("Pictures", "JPEG error #%1").arg(code));
    }
    source->device = &in;
    if (keepStream)
        source->kept = &kept;
    // The kept stream is memory of the decode too; while it grows, it takes up to twice its size.
    source->keptLimit = wanted.memoryLimit / 2;
    source->base.init_source = initSource;
    source->base.fill_input_buffer = fillInputBuffer;
    source->base.skip_input_data = skipInputData;
    source->base.resync_to_restart = jpeg_resync_to_restart;
    source->base.term_source = termSource;
    source->base.next_input_byte = nullptr;
    source->base.bytes_in_buffer = 0;
    info.src = &source->base;
    progress.progress_monitor = limitScans;
    info.progress = &progress;
    errors.timed = wanted.timed;
    errors.deadline = Clock::now() + BoundedJpegTime;
    jpeg_set_marker_processor(&info, JPEG_APP0 + 1, readApp1);
    jpeg_read_header(&info, TRUE);

    size = QSize(int(info.image_width), int(info.image_height));
    if (source->exifLength > 0)
        orientation = exifOrientation(
            QByteArray::fromRawData(reinterpret_cast<const char *>(source->exif), qsizetype(source->exifLength)));

    const bool grey = info.jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGR;
    // The fit is asked of the upright picture; orientations 5 to 8 store it turned a quarter.
    const bool turned = orientation >= 5;
    info.scale_num = 1;
    info.scale_denom =
        scaleDenominator(turned ? size.height() : size.width(), turned ? size.width() : size.height(), wanted);
    // A progressive stream keeps every coefficient of the whole picture until its last scan, whatever the scale:
    // two bytes a sample. A small picture is wanted here, so a small file that declares a huge progressive
    // picture must not cost gigabytes; MaxScaledJpegMemory still holds an 85-megapixel photograph of full colour
    // resolution.
    if (wanted.memoryLimit > 0)
        info.mem->max_memory_to_use = wanted.memoryLimit;
    try {
        // The declared size is checked before libjpeg allocates anything for the picture.
        checkPictureSize(size.width(), size.height());
    } catch (...) {
        jpeg_destroy_decompress(&info);
        throw;
    }
    jpeg_start_decompress(&info);

    picture = QImage(int(info.output_width), int(info.output_height),
                     grey ? QImage::Format_Grayscale8 : QImage::Format_BGR888);
    if (picture.isNull()) {
        jpeg_destroy_decompress(&info);
        throw UserError(QCoreApplication::translate("Pictures", "Not enough memory for a picture of %1 x %2 pixels.")
                            .arg(size.width())
                            .arg(size.height()));
    }
    if (cmyk)
        cmykRow =
            (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.output_width * 4, 1);
    while (info.output_scanline < info.output_height) {
        const int row = int(info.output_scanline);
        JSAMPROW line = cmyk ? cmykRow[0] : picture.scanLine(row);
        jpeg_read_scanlines(&info, &line, 1);
        if (cmyk)
            cmykToBgr(line, picture.scanLine(row), info.output_width, info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&info);
    // What the last buffer holds past the end-of-image marker goes back, for a reader that goes on after it.
    const size_t unread = info.src->bytes_in_buffer;
    const bool fake = info.src->next_input_byte >= FakeEndOfImage
                      && info.src->next_input_byte <= FakeEndOfImage + sizeof FakeEndOfImage;
    jpeg_destroy_decompress(&info);
    if (!fake && unread > 0 && !in.isSequential())
        in.seek(in.pos() - qint64(unread));
    if (!fake)
        kept.chop(qsizetype(unread));

    JpegStream result;
    result.picture = orientUpright(picture, orientation);
    if (result.picture.isNull())
        throw UserError(notEnoughMemoryText());
    result.fullSize = turned ? size.transposed() : size;
    result.bytes = std::move(kept);
    return result;
}

JpegStream decodeGuarded(QIODevice &in, const Reduction &wanted, bool keepStream)
{
    try {
        return decode(in, wanted, keepStream);
    } catch (const std::bad_alloc &) {
        throw UserError(notEnoughMemoryText());
    }
}

} // namespace

QImage readJpeg(QIODevice &in, QSize fitInto)
{
    return decodeGuarded(in, {fitInto, false, fitInto.isValid() ? MaxScaledJpegMemory : 0}, false).picture;
}

JpegStream readJpegStream(QIODevice &in, QSize fitInto, JpegMemory memory)
{
    const bool bounded = memory == JpegMemory::Bounded;
    return decodeGuarded(in, {fitInto, false, bounded ? MaxBoundedJpegMemory : 0, bounded}, true);
}

QImage readJpegCovering(const QByteArray &stream, QSize needed)
{
    QBuffer buffer;
    buffer.setData(stream);
    buffer.open(QIODevice::ReadOnly);
    return decodeGuarded(buffer, {needed, true}, false).picture;
}

} // namespace quorra
