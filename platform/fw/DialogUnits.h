// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Dialog units, as the Windows dialog manager maps them to pixels: a dialog's base units are the
// average width of its font's letters A-Z and a-z and the font's height; a horizontal unit is a
// quarter of the first, a vertical unit an eighth of the second. Each of x, y, width and height
// is converted on its own and rounded half away from zero. A layout in dialog units so grows with
// the font it is shown in.

#include <string_view>

namespace fw {

inline constexpr int kUnitsPerCharX = 4;
inline constexpr int kUnitsPerCharY = 8;

/// The letters whose average width is the horizontal base unit.
inline constexpr std::string_view kBaseUnitLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

/// A font's average character in pixels.
struct BaseUnits {
    int x = 0;
    int y = 0;
    bool operator==(const BaseUnits&) const = default;
};

/// The templates' font, MS Sans Serif 8 pt at 96 dpi: 6 x 13 pixels.
inline constexpr BaseUnits kTemplateFontBaseUnits{6, 13};

/// The base units of a font whose kBaseUnitLetters measure lettersWidth pixels together and whose
/// height (ascent plus descent) is height pixels, the average rounded as the dialog manager
/// rounds it.
BaseUnits BaseUnitsOfFont(int lettersWidth, int height);

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

class DialogUnits {
public:
    explicit DialogUnits(BaseUnits base) : base_(base) {}

    BaseUnits base() const { return base_; }
    int horizontal(int units) const;
    int vertical(int units) const;
    PixelRect rect(int x, int y, int width, int height) const;

private:
    BaseUnits base_;
};

} // namespace fw
