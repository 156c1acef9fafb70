// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: one picture reader, fed from memory; the build names it with QUORRA_FUZZ_READER, or a kind that Qt's
// readers decode with QUORRA_FUZZ_QT_KIND.
#include "BmpReader.h"
#include "GifReader.h"
#include "JpegReader.h"
#include "PictureLoader.h"
#include "QtImageReader.h"
#include "UserError.h"

#include <QBuffer>

#include <cstdint>

using namespace quorra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QBuffer buffer;
    buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    buffer.open(QIODevice::ReadOnly);
    QImage picture;
    try {
#ifdef QUORRA_FUZZ_QT_KIND
        picture = readQtImage(buffer, QtImageKind::QUORRA_FUZZ_QT_KIND);
#else
        picture = QUORRA_FUZZ_READER(buffer);
#endif
    } catch (const UserError &) {
    }
    return 0;
}
