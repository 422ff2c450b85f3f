// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The font a template's dialog shows its texts in, and the dialog units that font gives, so that
// the layout grows with the font in use instead of cutting its texts.

#include "platform/fw/DialogTemplate.h"
#include "platform/fw/DialogUnits.h"

#include <QFont>
#include <QSize>

namespace fw::qt {

/// A size in points as pixels at 96 dpi, the resolution a logical pixel of Qt stands for.
int FontPixels(int points);

/// The font of dialog's texts: the template's face where it is installed, else a face made to the
/// metrics of the Windows sans-serif faces (Liberation Sans, Arimo), else the system's font; at
/// the template's size.
QFont TemplateFont(const DialogTemplate& dialog);

/// The dialog units of font, measured as the dialog manager measures a dialog's font.
DialogUnits UnitsOf(const QFont& font);

/// font when the client area of dialog shown in it fits into available; otherwise the same face
/// at the largest smaller size that fits, or at the smallest readable size.
QFont FitInto(const QFont& font, const DialogTemplate& dialog, QSize available);

} // namespace fw::qt
