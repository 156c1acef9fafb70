// Fuzz target: the GIF reader, fed from memory.
#include "GifReader.h"
#include "TError.h"

#include <QBuffer>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size)
{
    QBuffer Buffer;
    Buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char *>(Data), qsizetype(Size)));
    Buffer.open(QIODevice::ReadOnly);
    QImage Picture;
    try {
        ReadGif(Buffer, Picture);
    } catch (const TError &) {
    }
    return 0;
}
