// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/DialogFont.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace fw::qt {
namespace {

constexpr int kPointsPerInch = 72;
constexpr int kLogicalDpi = 96;
/// Smaller than this, a dialog is no longer worth showing smaller.
constexpr int kSmallestFontPixels = 6;

const QStringList kMetricCompatibleFaces = {QStringLiteral("Liberation Sans"),
                                            QStringLiteral("Arimo")};

QString FaceFor(const DialogTemplate& dialog) {
    QStringList candidates{QString::fromLatin1(dialog.fontName)};
    candidates += kMetricCompatibleFaces;
    for (const QString& face : candidates) {
        if (QFontDatabase::hasFamily(face))
            return face;
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

QSize WindowSize(const QFont& font, const DialogTemplate& dialog) {
    const DialogUnits units = UnitsOf(font);
    return QSize(units.horizontal(dialog.width), units.vertical(dialog.height));
}

bool Fits(QSize size, QSize available) {
    return size.width() <= available.width() && size.height() <= available.height();
}

} // namespace

int FontPixels(int points) {
    return (points * kLogicalDpi + kPointsPerInch / 2) / kPointsPerInch;
}

QFont TemplateFont(const DialogTemplate& dialog) {
    QFont font(FaceFor(dialog));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(FontPixels(dialog.fontPoints));
    return font;
}

DialogUnits UnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString letters = QString::fromLatin1(kBaseUnitLetters.data(),
                                                static_cast<qsizetype>(kBaseUnitLetters.size()));
    return DialogUnits(BaseUnitsOfFont(metrics.horizontalAdvance(letters), metrics.height()));
}

QFont FitInto(const QFont& font, const DialogTemplate& dialog, QSize available) {
    QFont fitted = font;
    while (!Fits(WindowSize(fitted, dialog), available) && fitted.pixelSize() > kSmallestFontPixels)
        fitted.setPixelSize(fitted.pixelSize() - 1);
    return fitted;
}

} // namespace fw::qt
