// SPDX-License-Identifier: GPL-3.0-or-later
// The program's name, version and web address: the one place every window and message takes them from.
#pragma once

#include "Version.h"

#include <QString>

namespace quorra {

inline const QString QuorraProgramName = QStringLiteral("Quorra");
// The version as --version prints it; the about box shows it after "Version ".
inline const QString QuorraVersion = QStringLiteral(QUORRA_VERSION);
// Shown as the about box's link and written into the invitation mail.
inline const QString QuorraWebAddress = QStringLiteral("https://quorra.example.org/");

} // namespace quorra
