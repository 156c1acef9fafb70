// SPDX-License-Identifier: GPL-3.0-or-later
// Reading PNG, WebP and TIFF pictures through Qt's image readers, guarded, upright and opaque.
#pragma once

#include "DecodeLimits.h"

#include <QImage>

class QIODevice;

namespace quorra {

// The kinds of picture that Qt's own readers (its PNG reader and the WebP and TIFF plugins) decode for us.
enum class QtImageKind { Png, WebP, Tiff };

// Reads the first image at the device's position: the first frame of an animation, the first page of a TIFF,
// turned upright by its orientation (a TIFF's tag, a PNG's or WebP's EXIF chunk), with transparency painted onto
// white so that the picture shows and is saved as it looks. Colour comes as Format_RGB32; palette, grey and
// black-and-white pictures stay Format_Indexed8, Format_Grayscale8 and Format_Mono with an opaque palette.
// A header too large for the size guard raises the size refusal before any pixel memory is taken; a damaged file
// raises "PNG image is not valid", "WebP image is not valid" or "TIFF image is not valid"; a system without
// Qt's WebP or TIFF plugin says so; memory that cannot be had raises notEnoughMemoryText(). A picture beyond
// Limits' pixels is decoded scaled where Qt's reader can, and refused with the size refusal where it cannot; one
// whose decode would take more than Limits' bytes raises the memory refusal, both before any pixel is decoded.
QImage readQtImage(QIODevice &in, QtImageKind kind, const DecodeLimits &limits = {});

} // namespace quorra
