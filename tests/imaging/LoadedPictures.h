// SPDX-License-Identifier: GPL-3.0-or-later
// What the picture reading tests share: the test pictures' folder, the four quarters every good one shows, loading.
#pragma once

#include "PictureLoader.h"
#include "UserError.h"

#include <QImage>
#include <QString>

namespace quorra {

namespace {

const QString DataDir = QStringLiteral(QUORRA_TEST_DATA);

// Every good test picture shows these four quarters, with a white diagonal from the top-left corner.
struct Probe {
    QPoint at;
    QRgb colour;
};
const Probe Quarters[] = {
    {{60, 10}, qRgb(220, 30, 30)},
    {{120, 30}, qRgb(30, 200, 40)},
    {{20, 100}, qRgb(30, 40, 220)},
    {{140, 70}, qRgb(240, 220, 30)},
};

QString load(QImage &picture, const QString &name)
{
    try {
        if (std::optional<QImage> read = readPictureFile(DataDir + QLatin1Char('/') + name))
            picture = std::move(*read);
    } catch (const UserError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

} // namespace quorra
