// SPDX-License-Identifier: GPL-3.0-or-later
// The file a drag carries, made openable whatever bytes its name holds.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class QMimeData;

namespace quorra {

// Qt keeps file names as text, so a dropped file whose name is not valid UTF-8 (a file from an old archive, say)
// would lose its odd bytes and name a file that is not there. Such a file is reached through a link of a valid
// name in a private folder, which keeps the name's extension (it decides how the file is read) and shows the odd
// bytes as replacement characters; the links go with this object.
class DroppedFileName
{
public:
    DroppedFileName();
    ~DroppedFileName();

    // The bytes of the one local file's name that Data carries, or none for no file, several or a remote one.
    static QByteArray of(const QMimeData *data);
    // A path Qt can open for the file called Name: the name itself when it is valid UTF-8.
    QString openable(const QByteArray &name);

private:
    std::unique_ptr<QTemporaryDir> m_links;
    int m_count = 0;
};

} // namespace quorra
