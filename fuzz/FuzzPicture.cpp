// Fuzz target: one picture reader, fed from memory; the build names it with QUORRA_FUZZ_READER.
#include "BmpReader.h"
#include "GifReader.h"
#include "PictureLoader.h"
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
        QUORRA_FUZZ_READER(Buffer, Picture);
    } catch (const TError &) {
    }
    return 0;
}
