// Writing a file that takes the place of what stands at the chosen path, never of what a link there points to.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// The bytes go to a new file beside the chosen path, which Commit renames over it: a failed write leaves the
// old file as it was, and a symbolic link at the path is replaced by the new file while its target stays
// untouched. A folder, a pipe, a device or a socket at the path, or behind a link there, is refused. Where the
// folder takes no new file but the old file itself may be written, the bytes are kept until Commit, which first
// reserves the room for them and then writes them over the old file in place, so a full disk still leaves it
// whole. Writes reach the system unbuffered and are checked; errorString() gives the system's reason.
class TReplacingFile : public QIODevice
{
public:
    explicit TReplacingFile(const QString &Path);
    // An uncommitted new file is removed.
    ~TReplacingFile() override;

    // Only QIODevice::WriteOnly (Unbuffered is implied).
    bool open(OpenMode Mode) override;
    bool isSequential() const override { return true; }

    // Puts the written file in place and closes the device; false with errorString() set when it fails.
    bool Commit();

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *Data, qint64 Size) override;

private:
    bool Fail(const QString &Reason);
    bool Fail(int Error);
    bool WriteInPlace();
    void Discard();

    QString FPath;
    QByteArray FTempName; // empty once committed, or when writing in place
    int FHandle = -1;
    bool FInPlace = false;
    QByteArray FPending; // what an in-place write puts into the old file at Commit
};
