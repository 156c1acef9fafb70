// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the first image of a GIF file through giflib, with its transparent colour marked.
#include "GifReader.h"

#include "DecodeCancellation.h"
#include "PictureLoader.h"
#include "UserError.h"

#include <QCoreApplication>
#include <QIODevice>

#include <algorithm>
#include <memory>
#include <new>

#include <gif_lib.h>

namespace quorra {

namespace {

// giflib reads through this from the device as it decodes, so nothing past the first image is read; the
// signature comes from Head, where its version is in upper case as giflib wants it.
struct GifSource {
    QIODevice *device;
    QByteArray head;
    qsizetype headPosition = 0;
    bool outOfMemory = false;
};

int readFromSource(GifFileType *gif, GifByteType *buffer, int length)
{
    auto *source = static_cast<GifSource *>(gif->UserData);
    int count = 0;
    while (count < length && source->headPosition < source->head.size())
        buffer[count++] = GifByteType(source->head.at(source->headPosition++));
    if (count == length)
        return count;
    // A short read ends the decode as a damaged file would; the one who gave it up does not look at the error.
    if (DecodeCancellation::requested())
        return count;
    // No exception may cross giflib; a short read makes it fail, and the flag says why.
    try {
        const qint64 read = source->device->read(reinterpret_cast<char *>(buffer) + count, length - count);
        if (read > 0)
            count += int(read);
    } catch (const std::bad_alloc &) {
        source->outOfMemory = true;
    }
    return count;
}

[[noreturn]] void fail(int gifError, const GifSource &source)
{
    if (source.outOfMemory)
        throw UserError(notEnoughMemoryText());
    switch (gifError) {
    case D_GIF_ERR_OPEN_FAILED:
    case D_GIF_ERR_READ_FAILED:
        throw UserError(QCoreApplication::translate("Pictures", "Stream read error"));
    case D_GIF_ERR_NOT_GIF_FILE:
        throw UserError(QCoreApplication::translate("Pictures", "Unknown GIF version"));
    case D_GIF_ERR_NOT_ENOUGH_MEM:
        throw UserError(QCoreApplication::translate("Pictures", "Not enough memory to read the GIF picture."));
    default:
        // This includes image data whose blocks end before every pixel is decoded: the stream did not end,
        // so its data is at fault.
        throw UserError(QCoreApplication::translate("Pictures", "GIF encoded data is corrupt"));
    }
}

struct GifCloser {
    void operator()(GifFileType *gif) const
    {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};

// The size in bytes of the colour table that a packed field (of the screen or an image descriptor) announces.
qsizetype colourTableSize(uchar packed)
{
    return (packed & 0x80) ? 3 * (qsizetype(1) << ((packed & 7) + 1)) : 0;
}

// The LZW minimum code size that follows the image descriptor at the device's position (just after its ','),
// or -1 when the data ends before it.
int codeSizeAfterDescriptor(QIODevice &in)
{
    const QByteArray descriptor = in.peek(9);
    if (descriptor.size() < 9)
        return -1;
    const qsizetype at = 9 + colourTableSize(uchar(descriptor.at(8)));
    const QByteArray ahead = in.peek(at + 1);
    return ahead.size() > at ? uchar(ahead.at(at)) : -1;
}

QList<QRgb> colourTable(const ColorMapObject *map)
{
    QList<QRgb> table(256, qRgb(0, 0, 0));
    if (!map) {
        // A GIF without any colour table: a grey ramp is the usual stand-in.
        for (int i = 0; i < 256; ++i)
            table[i] = qRgb(i, i, i);
        return table;
    }
    for (int i = 0; i < std::min(map->ColorCount, 256); ++i)
        table[i] = qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
    return table;
}

QImage decode(QIODevice &in, const DecodeLimits &limits)
{
    const QByteArray signature = in.read(6).toUpper();
    if (signature.size() < 6)
        throw UserError(QCoreApplication::translate("Pictures", "Stream read error"));
    // The version is compared without regard to letter case; giflib wants the upper-case form.
    if (signature != "GIF87A" && signature != "GIF89A")
        throw UserError(QCoreApplication::translate("Pictures", "Unknown GIF version"));
    // giflib reports data that ends inside the screen descriptor or the global colour table as a bad descriptor;
    // it is a file that ends early.
    const QByteArray screen = in.peek(7);
    const qsizetype screenAndTable = screen.size() < 7 ? 7 : 7 + colourTableSize(uchar(screen.at(4)));
    if (in.peek(screenAndTable).size() < screenAndTable)
        throw UserError(QCoreApplication::translate("Pictures", "Stream read error"));

    GifSource source{&in, signature.left(5) + 'a'};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, readFromSource, &error));
    if (!gif)
        fail(error, source);

    int transparent = -1;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            fail(gif->Error, source);
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType *block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR)
                fail(gif->Error, source);
            GraphicsControlBlock control;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                transparent = control.TransparentColor;
            while (block)
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR)
                    fail(gif->Error, source);
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            throw UserError(QCoreApplication::translate("Pictures", "GIF encoded data is corrupt"));

        const int codeSize = codeSizeAfterDescriptor(in);
        if (codeSize >= 0 && (codeSize < 2 || codeSize > 9))
            throw UserError(QCoreApplication::translate("Pictures", "GIF code size not in range 2 to 9"));
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
            fail(gif->Error, source);
        const int width = gif->Image.Width, height = gif->Image.Height;
        if (width <= 0 || height <= 0)
            throw UserError(QCoreApplication::translate("Pictures", "GIF encoded data is corrupt"));
        checkPictureSize(width, height);
        // giflib decodes no picture scaled.
        limits.checkPixels(QSize(width, height));
        limits.checkMemory(qint64(width) * height, 1);

        QImage picture(width, height, QImage::Format_Indexed8);
        if (picture.isNull())
            throw UserError(QCoreApplication::translate("Pictures", "Not enough memory to read the GIF picture."));
        QList<QRgb> table = colourTable(gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap);
        if (transparent >= 0 && transparent < 256)
            table[transparent] &= 0x00FFFFFF;
        picture.setColorTable(table);

        static const int firstRow[] = {0, 4, 2, 1};
        static const int rowStep[] = {8, 8, 4, 2};
        const int passes = gif->Image.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            const int step = gif->Image.Interlace ? rowStep[pass] : 1;
            for (int y = gif->Image.Interlace ? firstRow[pass] : 0; y < height; y += step)
                if (DGifGetLine(gif.get(), picture.scanLine(y), width) == GIF_ERROR)
                    fail(gif->Error, source);
        }
        return picture;
    }
}

} // namespace

QImage readGif(QIODevice &in, const DecodeLimits &limits)
{
    try {
        return decode(in, limits);
    } catch (const std::bad_alloc &) {
        throw UserError(notEnoughMemoryText());
    }
}

} // namespace quorra
