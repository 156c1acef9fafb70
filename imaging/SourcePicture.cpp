// SPDX-License-Identifier: GPL-3.0-or-later
// The picture a puzzle is made of: decoded only as large as it is shown, decoded larger when it is needed larger.
#include "SourcePicture.h"

#include "JpegReader.h"

namespace quorra {

SourcePicture::SourcePicture(QImage whole) : m_bitmap(std::move(whole)), m_size(m_bitmap.size()) {}

SourcePicture::SourcePicture(JpegStream decoded)
    : SourcePicture(std::move(decoded.picture), decoded.fullSize, std::move(decoded.bytes))
{
}

SourcePicture::SourcePicture(QImage decoded, QSize size, QByteArray stream)
    : m_bitmap(std::move(decoded)), m_size(size.isValid() ? size : m_bitmap.size())
{
    if (isReduced())
        m_stream = std::move(stream);
}

void SourcePicture::cover(QSize needed)
{
    if (!isReduced() || m_stream.isEmpty()
        || (m_bitmap.width() >= needed.width() && m_bitmap.height() >= needed.height()))
        return;
    // A stream decodes to the same picture every time, so the larger bitmap shows what the smaller one did.
    QImage larger = readJpegCovering(m_stream, needed.boundedTo(m_size));
    m_bitmap = std::move(larger);
    if (!isReduced())
        m_stream.clear();
}

const QImage &SourcePicture::whole()
{
    cover(m_size);
    return m_bitmap;
}

} // namespace quorra
