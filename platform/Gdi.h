// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The picture built from a BMP file image: a device-dependent bitmap of the screen.

#include "platform/Types.h"

#if defined(_WIN32)
namespace win {
using ::BITMAPINFO;
using ::BITMAPINFOHEADER;
using ::CreateDIBitmap;
using ::DeleteObject;
using ::GetDC;
using ::HBITMAP;
using ::HDC;
using ::HWND;
using ::ReleaseDC;
using ::RGBQUAD;
} // namespace win
#else
#include <cstdint>
#include <vector>

namespace win {
struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD BI_RLE8 = 1;
inline constexpr DWORD BI_RLE4 = 2;
inline constexpr DWORD BI_BITFIELDS = 3;
inline constexpr DWORD CBM_INIT = 4;
inline constexpr UINT DIB_RGB_COLORS = 0;

/// A picture of the layer: width x height pixels, 0xAARRGGBB, top row first.
struct BitmapObject {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};
using HBITMAP = BitmapObject*;
using HGDIOBJ = void*;
struct WindowObject;
using HWND = WindowObject*;
struct DeviceContextObject;
using HDC = DeviceContextObject*;

/// The screen's device context (the only one the layer has) for a null window.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

/// Builds a picture from bitmap information (header and colour table) and pixel data laid out
/// as that header says. Uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel and 16/32-bit
/// bitfields, bottom-up or top-down. The caller vouches that the colour table and pixel data it
/// points to are as large as the header says. Null when the header is not one it can decode.
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);

/// Releases a bitmap from CreateDIBitmap.
BOOL DeleteObject(HGDIOBJ object);
} // namespace win
#endif
