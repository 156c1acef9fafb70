// SPDX-License-Identifier: GPL-3.0-or-later
// The file a drag carries, made openable whatever bytes its name holds.
#include "DroppedFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <unistd.h>

namespace quorra {

DroppedFileName::DroppedFileName() = default;

DroppedFileName::~DroppedFileName() = default;

QByteArray DroppedFileName::of(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    // One document at a time, as the dialogs offer.
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return {};
    // The encoded path keeps bytes that are not UTF-8 as they came, which the decoded one replaces.
    return QByteArray::fromPercentEncoding(urls.front().path(QUrl::FullyEncoded).toLatin1());
}

QString DroppedFileName::openable(const QByteArray &name)
{
    QString text = QFile::decodeName(name);
    if (name.isEmpty() || QFile::encodeName(text) == name)
        return text;
    if (!m_links)
        m_links = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quorra-drop-XXXXXX"));
    // Each drop has a folder of its own, so the link can carry the file's own name.
    const QString folder = m_links->filePath(QString::number(++m_count));
    QString link = folder + QLatin1Char('/') + QFileInfo(QString::fromUtf8(name)).fileName();
    if (!m_links->isValid() || !QDir().mkpath(folder)
        || ::symlink(name.constData(), QFile::encodeName(link).constData()) != 0)
        return text;
    return link;
}

} // namespace quorra
