// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Pictures of the layer and of the program's resources as Qt pictures.

#include "platform/Gdi.h"
#include "platform/fw/ProgramResources.h"

#include <QIcon>
#include <QImage>
#include <vector>

namespace fw::qt {

/// A copy of bitmap; a null image for a null bitmap or one whose pixels do not match its size.
QImage ToImage(const win::BitmapObject* bitmap);

/// The icon made of images, each of its own size; images that do not match their size are left
/// out.
QIcon ToIcon(const std::vector<Image>& images);

} // namespace fw::qt
