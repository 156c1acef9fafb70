// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a file that takes the place of what stands at the chosen path, never of what a link there points to.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

namespace quorra {

// The bytes go to a new file beside the chosen path, which Commit renames over it: a failed write leaves the
// old file as it was, and a symbolic link at the path is replaced by the new file while its target stays
// untouched. A folder, a pipe, a device or a socket at the path, or behind a link there, is refused. Where the
// folder takes no new file but the old file itself may be written, the bytes are kept until Commit, which first
// reserves the room for them and then writes them over the old file in place, so a full disk still leaves it
// whole. Writes reach the system unbuffered and are checked; errorString() gives the system's reason. Opening
// also removes the new files that earlier writes to the same path left when they were killed, once they are old
// enough that none of them can still be under way; nothing else in the folder is touched.
class ReplacingFile : public QIODevice
{
public:
    explicit ReplacingFile(const QString &path);
    // An uncommitted new file is removed.
    ~ReplacingFile() override;

    // Only QIODevice::WriteOnly (Unbuffered is implied).
    bool open(OpenMode mode) override;
    bool isSequential() const override { return true; }

    // Puts the written file in place and closes the device; false with errorString() set when it fails.
    bool commit();

    // Bytes made whole in memory put at Path in one go: the system's reason when that fails, else empty.
    static QString writeWhole(const QString &path, QByteArrayView bytes);

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool fail(const QString &reason);
    bool fail(int error);
    bool writeInPlace();
    void discard();

    QString m_path;
    QByteArray m_tempName; // empty once committed, or when writing in place
    int m_handle = -1;
    bool m_inPlace = false;
    QByteArray m_pending; // what an in-place write puts into the old file at Commit
};

} // namespace quorra
