// SPDX-License-Identifier: GPL-3.0-or-later
// A small INI reader and writer with private-profile behaviour: keys stay in their order and spelling.
#pragma once

#include <QString>
#include <QStringList>

namespace quorra {

class IniFile
{
public:
    explicit IniFile(const QString &fileName);

    QString fileName() const { return m_fileName; }

    // A settings file is a few kilobytes; anything past this is not one, and is never read into memory.
    static constexpr qint64 MaxFileSize = qint64(1024) * 1024;

    // Reads the file into memory. A missing file is an empty one (true); a file that exists but
    // cannot be read gives false, and Save then refuses, so its other sections are never lost.
    // A pipe, a device, a folder or a file larger than MaxFileSize counts as unreadable: it is never
    // waited on, read or replaced.
    bool load();

    // Section and key are matched without regard to case; the first match counts. Surrounding
    // spaces, and one pair of matching quotes around the value, are not part of it.
    QString readString(const QString &section, const QString &key, const QString &fallback = QString()) const;
    bool hasKey(const QString &section, const QString &key) const;

    // An existing key gets its new value in place (its spelling in the file is kept); a new key
    // goes after the last key of its section; a new section goes at the end of the file.
    // Everything else (other sections, comments, blank lines) stays as it was, byte for byte; in a file that is
    // not UTF-8, a value is written as Latin-1.
    void writeString(const QString &section, const QString &key, const QString &value);

    // Writes through ReplacingFile (a temporary file renamed into place), creating the folder when missing.
    // On failure the old file is untouched and ErrorString() holds "Unable to write to <path>".
    bool save();
    QString errorString() const { return m_error; }

    // The file's text as Save would write it.
    QString text() const;
    // The bytes Save would write.
    QByteArray bytes() const;

private:
    struct Location {
        int sectionLine = -1; // the header line, -1 when the section is absent
        int keyLine = -1;     // the key's line, -1 when the key is absent
        int lastKeyLine = -1; // the section's last key line, or its header when it has none
    };
    Location locate(const QString &section, const QString &key) const;

    QString m_fileName;
    QStringList m_lines;
    QString m_lineEnd = QStringLiteral("\n");
    // The file is not UTF-8 (a comment written in another encoding): it is read and written byte for byte.
    bool m_latin1 = false;
    bool m_unreadable = false;
    QString m_error;
};

} // namespace quorra
