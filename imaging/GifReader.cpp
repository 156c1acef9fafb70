// Reading the first image of a GIF file through giflib, with its transparent colour marked.
#include "GifReader.h"

#include "PictureLoader.h"
#include "TError.h"

#include <QIODevice>

#include <algorithm>
#include <memory>
#include <new>

#include <gif_lib.h>

namespace {

// giflib reads through this from the device as it decodes, so nothing past the first image is read; the
// signature comes from Head, where its version is in upper case as giflib wants it.
struct TGifSource
{
    QIODevice *Device;
    QByteArray Head;
    qsizetype HeadPosition = 0;
    bool OutOfMemory = false;
};

int ReadFromSource(GifFileType *Gif, GifByteType *Buffer, int Length)
{
    auto *Source = static_cast<TGifSource *>(Gif->UserData);
    int Count = 0;
    while (Count < Length && Source->HeadPosition < Source->Head.size())
        Buffer[Count++] = GifByteType(Source->Head.at(Source->HeadPosition++));
    if (Count == Length)
        return Count;
    // No exception may cross giflib; a short read makes it fail, and the flag says why.
    try {
        const qint64 Read = Source->Device->read(reinterpret_cast<char *>(Buffer) + Count, Length - Count);
        if (Read > 0)
            Count += int(Read);
    } catch (const std::bad_alloc &) {
        Source->OutOfMemory = true;
    }
    return Count;
}

[[noreturn]] void Fail(int GifError, const TGifSource &Source)
{
    if (Source.OutOfMemory)
        throw TError(NotEnoughMemoryText());
    switch (GifError) {
    case D_GIF_ERR_OPEN_FAILED:
    case D_GIF_ERR_READ_FAILED:
        throw TError(QStringLiteral("Stream read error"));
    case D_GIF_ERR_NOT_GIF_FILE:
        throw TError(QStringLiteral("Unknown GIF version"));
    case D_GIF_ERR_NOT_ENOUGH_MEM:
        throw TError(QStringLiteral("Not enough memory to read the GIF picture."));
    default:
        // This includes image data whose blocks end before every pixel is decoded: the stream did not end,
        // so its data is at fault.
        throw TError(QStringLiteral("GIF encoded data is corrupt"));
    }
}

struct TGifCloser
{
    void operator()(GifFileType *Gif) const
    {
        int Ignored = 0;
        DGifCloseFile(Gif, &Ignored);
    }
};

// The size in bytes of the colour table that a packed field (of the screen or an image descriptor) announces.
qsizetype ColourTableSize(uchar Packed)
{
    return (Packed & 0x80) ? 3 * (qsizetype(1) << ((Packed & 7) + 1)) : 0;
}

// The LZW minimum code size that follows the image descriptor at the device's position (just after its ','),
// or -1 when the data ends before it.
int CodeSizeAfterDescriptor(QIODevice &In)
{
    const QByteArray Descriptor = In.peek(9);
    if (Descriptor.size() < 9)
        return -1;
    const qsizetype At = 9 + ColourTableSize(uchar(Descriptor.at(8)));
    const QByteArray Ahead = In.peek(At + 1);
    return Ahead.size() > At ? uchar(Ahead.at(At)) : -1;
}

QList<QRgb> ColourTable(const ColorMapObject *Map)
{
    QList<QRgb> Table(256, qRgb(0, 0, 0));
    if (!Map) {
        // A GIF without any colour table: a grey ramp is the usual stand-in.
        for (int I = 0; I < 256; ++I)
            Table[I] = qRgb(I, I, I);
        return Table;
    }
    for (int I = 0; I < std::min(Map->ColorCount, 256); ++I)
        Table[I] = qRgb(Map->Colors[I].Red, Map->Colors[I].Green, Map->Colors[I].Blue);
    return Table;
}

QImage Decode(QIODevice &In)
{
    const QByteArray Signature = In.read(6).toUpper();
    if (Signature.size() < 6)
        throw TError(QStringLiteral("Stream read error"));
    // The version is compared without regard to letter case; giflib wants the upper-case form.
    if (Signature != "GIF87A" && Signature != "GIF89A")
        throw TError(QStringLiteral("Unknown GIF version"));
    // giflib reports data that ends inside the screen descriptor or the global colour table as a bad descriptor;
    // it is a file that ends early.
    const QByteArray Screen = In.peek(7);
    const qsizetype ScreenAndTable = Screen.size() < 7 ? 7 : 7 + ColourTableSize(uchar(Screen.at(4)));
    if (In.peek(ScreenAndTable).size() < ScreenAndTable)
        throw TError(QStringLiteral("Stream read error"));

    TGifSource Source{&In, Signature.left(5) + 'a'};
    int Error = 0;
    std::unique_ptr<GifFileType, TGifCloser> Gif(DGifOpen(&Source, ReadFromSource, &Error));
    if (!Gif)
        Fail(Error, Source);

    int Transparent = -1;
    for (;;) {
        GifRecordType Type;
        if (DGifGetRecordType(Gif.get(), &Type) == GIF_ERROR)
            Fail(Gif->Error, Source);
        if (Type == EXTENSION_RECORD_TYPE) {
            int Code = 0;
            GifByteType *Block = nullptr;
            if (DGifGetExtension(Gif.get(), &Code, &Block) == GIF_ERROR)
                Fail(Gif->Error, Source);
            GraphicsControlBlock Control;
            if (Code == GRAPHICS_EXT_FUNC_CODE && Block
                && DGifExtensionToGCB(Block[0], Block + 1, &Control) == GIF_OK)
                Transparent = Control.TransparentColor;
            while (Block)
                if (DGifGetExtensionNext(Gif.get(), &Block) == GIF_ERROR)
                    Fail(Gif->Error, Source);
            continue;
        }
        if (Type != IMAGE_DESC_RECORD_TYPE)
            throw TError(QStringLiteral("GIF encoded data is corrupt"));

        const int CodeSize = CodeSizeAfterDescriptor(In);
        if (CodeSize >= 0 && (CodeSize < 2 || CodeSize > 9))
            throw TError(QStringLiteral("GIF code size not in range 2 to 9"));
        if (DGifGetImageDesc(Gif.get()) == GIF_ERROR)
            Fail(Gif->Error, Source);
        const int Width = Gif->Image.Width, Height = Gif->Image.Height;
        if (Width <= 0 || Height <= 0)
            throw TError(QStringLiteral("GIF encoded data is corrupt"));
        CheckPictureSize(Width, Height);

        QImage Picture(Width, Height, QImage::Format_Indexed8);
        if (Picture.isNull())
            throw TError(QStringLiteral("Not enough memory to read the GIF picture."));
        QList<QRgb> Table = ColourTable(Gif->Image.ColorMap ? Gif->Image.ColorMap : Gif->SColorMap);
        if (Transparent >= 0 && Transparent < 256)
            Table[Transparent] &= 0x00FFFFFF;
        Picture.setColorTable(Table);

        static const int FirstRow[] = {0, 4, 2, 1};
        static const int RowStep[] = {8, 8, 4, 2};
        const int Passes = Gif->Image.Interlace ? 4 : 1;
        for (int Pass = 0; Pass < Passes; ++Pass) {
            const int Step = Gif->Image.Interlace ? RowStep[Pass] : 1;
            for (int Y = Gif->Image.Interlace ? FirstRow[Pass] : 0; Y < Height; Y += Step)
                if (DGifGetLine(Gif.get(), Picture.scanLine(Y), Width) == GIF_ERROR)
                    Fail(Gif->Error, Source);
        }
        return Picture;
    }
}

} // namespace

void ReadGif(QIODevice &In, QImage &Target)
{
    try {
        Target = Decode(In);
    } catch (const std::bad_alloc &) {
        throw TError(NotEnoughMemoryText());
    }
}
