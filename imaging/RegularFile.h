// SPDX-License-Identifier: GPL-3.0-or-later
// Opening documents for reading only when they are regular files, so a pipe, a device or a socket is refused.
#pragma once

#include <QString>

class QFile;

namespace quorra {

// Why something that exists at Path is no document: "Is a directory", "It is a named pipe, not a file.", ...
// Links are followed. Empty when Path is a regular file or nothing is there.
QString nonRegularReason(const QString &path);

// Opens Path for reading into File, without ever waiting on a pipe with no writer or reading a device: the
// path is looked at before it is opened, and the opened handle is looked at again, so a pipe swapped in
// between is caught too. Returns an empty text on success, else the reason (the system's own where it has one).
QString openRegularFile(QFile &file, const QString &path);

} // namespace quorra
