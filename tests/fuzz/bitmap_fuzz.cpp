// SPDX-License-Identifier: GPL-2.0-or-later
// The bitmap check and the picture built from it, on arbitrary BMP file images held in a buffer
// of exactly their size. Stops on a memory error, or when an image the check accepts is not
// built into a picture of its size.

#include "platform/Gdi.h"
#include "resfile/Bitmap.h"
#include "resfile/LittleEndian.h"

#include <cstdint>
#include <cstdlib>

using namespace win;

namespace {

constexpr std::size_t kWidthField = bmp::kFileHeaderSize + 4;
constexpr std::size_t kHeightField = bmp::kFileHeaderSize + 8;

void Require(bool promise) {
    if (!promise)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> image(data, size);
    const bool accepted = bmp::CheckImage(image, nullptr) == bmp::Fault::None;
    HBITMAP picture = bmp::CreatePicture(image);
    Require(accepted == (picture != nullptr));
    if (!picture)
        return 0;

    const auto width = static_cast<std::int32_t>(le::Read32(data + kWidthField));
    const auto height = static_cast<std::int32_t>(le::Read32(data + kHeightField));
    Require(picture->width == width && picture->height == (height < 0 ? -height : height));
    Require(picture->pixels.size() ==
            static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height));
    DeleteObject(picture);
    return 0;
}
