// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/ContainerCheck.h"

#include "resfile/Bitmap.h"
#include "resfile/Catalogue.h"
#include "resfile/Format.h"
#include "tools/TextEscapes.h"

#include <map>
#include <optional>

namespace tools {
namespace {

constexpr std::size_t kQuoteChars = 60;
constexpr std::uint8_t kFillByte = 0xF6;

std::string Quote(std::string_view text) {
    return QuoteEscaped(text, kQuoteChars);
}

std::string Id(ResourceId id) {
    return std::to_string(id);
}

std::string_view ArgName(catalogue::ArgKind kind) {
    switch (kind) {
    case catalogue::ArgKind::Character:
        return "character";
    case catalogue::ArgKind::Integer:
        return "integer";
    case catalogue::ArgKind::String:
        break;
    }
    return "string";
}

std::string_view FitName(format::Fit fit) {
    switch (fit) {
    case format::Fit::Fits:
        return "fits";
    case format::Fit::UnknownConversion:
        return "a conversion that is not allowed (%n, %p, floating point, positional, or unknown)";
    case format::Fit::StarWidth:
        return "a * width or precision";
    case format::Fit::TooManyConversions:
        return "more conversions than arguments";
    case format::Fit::KindMismatch:
        return "a conversion of another kind than its argument";
    case format::Fit::BadLength:
        return "a length modifier that does not fit";
    case format::Fit::Unterminated:
        return "a % at the end";
    case format::Fit::TooWide:
        break;
    }
    return "a width or precision beyond 4095";
}

std::string_view BitmapFaultName(bmp::Fault fault) {
    switch (fault) {
    case bmp::Fault::None:
        return "none";
    case bmp::Fault::TooShort:
        return "shorter than its headers";
    case bmp::Fault::BadSignature:
        return "it does not start with \"BM\"";
    case bmp::Fault::BadInfoHeaderSize:
        return "an information header of unknown size";
    case bmp::Fault::InfoHeaderOutside:
        return "the information header runs past its end";
    case bmp::Fault::BadDimensions:
        return "its width or height is 0 or too large";
    case bmp::Fault::BadPlanes:
        return "a plane count other than 1";
    case bmp::Fault::BadBitCount:
        return "an unknown number of bits per pixel";
    case bmp::Fault::BadCompression:
        return "a compression the picture cannot take";
    case bmp::Fault::BadColourCount:
        return "more colours than its pixel format indexes";
    case bmp::Fault::ColourTableOutside:
        return "the colour table runs past its end";
    case bmp::Fault::BadPixelOffset:
        return "the pixel array starts inside the headers";
    case bmp::Fault::PixelsOutside:
        break;
    }
    return "the pixel array runs past its end";
}

void CheckDirectory(const Container& container, Problems* problems) {
    std::map<ResourceId, int> seen;
    for (const ResourceEntry& entry : container.entries()) {
        ++seen[entry.id()];
        if (const DataReach reach = container.reach(entry); reach != DataReach::Readable)
            problems->push_back("entry " + Id(entry.id()) + ": " +
                                DescribeUnreachable(entry, reach));
    }
    for (const auto& [id, count] : seen)
        if (count > 1)
            problems->push_back("entry " + Id(id) + " appears " + std::to_string(count) +
                                " times; only the first is ever read");
}

// Every drive letter gives an entry of the same length (a conversion that fits a character
// takes as many places for the code of A as for that of Z), so drive A: stands for all.
void CheckDriveEntry(const std::string& text, Problems* problems) {
    constexpr char kLetter = 'A';
    const std::string entry = format::FormatText(text.c_str(), {format::Arg::character(kLetter)});
    if (entry.size() > catalogue::kDriveEntryMaxChars)
        problems->push_back("format " + Id(catalogue::kDriveEntryFormat) + " " + Quote(text) +
                            ": gives " + std::to_string(entry.size()) + " characters for drive " +
                            kLetter + ": (" + Quote(entry) +
                            "); a drive-list entry holds at most " +
                            std::to_string(catalogue::kDriveEntryMaxChars));
}

void CheckTexts(const Container& container, Problems* problems) {
    for (ResourceId id : catalogue::TextIdentifiers()) {
        const auto kinds = catalogue::FormatArguments(id);
        const std::string what = (kinds.empty() ? "text " : "format ") + Id(id);
        if (!container.find(id)) {
            problems->push_back(what + ": missing");
            continue;
        }
        const std::optional<std::string> text = container.read(id);
        if (!text)
            continue; // reported with the directory
        if (text->empty()) {
            problems->push_back(what + ": empty");
            continue;
        }
        if (const std::size_t nul = text->find('\0'); nul != std::string::npos)
            problems->push_back(what + ": holds a NUL byte at byte " + std::to_string(nul) +
                                "; nothing after it is ever shown");
        if (kinds.empty())
            continue;
        const format::Fit fit = format::CheckFormat(text->c_str(), kinds);
        if (fit != format::Fit::Fits) {
            std::string arguments;
            for (catalogue::ArgKind kind : kinds)
                arguments += (arguments.empty() ? "" : ", ") + std::string(ArgName(kind));
            problems->push_back(what + " " + Quote(*text) + ": does not fit its arguments (" +
                                arguments + "): " + std::string(FitName(fit)));
        } else if (id == catalogue::kDriveEntryFormat) {
            CheckDriveEntry(*text, problems);
        }
    }
}

void CheckPicture(const Container& container, Problems* problems) {
    const std::string what = "picture " + Id(catalogue::kPicture);
    if (!container.find(catalogue::kPicture)) {
        problems->push_back(what + ": missing");
        return;
    }
    const std::optional<std::string> image = container.read(catalogue::kPicture);
    if (!image)
        return; // reported with the directory
    const bmp::Fault fault = bmp::CheckImage(
        {reinterpret_cast<const std::uint8_t*>(image->data()), image->size()}, nullptr);
    if (fault != bmp::Fault::None)
        problems->push_back(
            what + ": not a BMP image the dialog can show: " + std::string(BitmapFaultName(fault)));
}

// A floppy writer puts cylinders on the disk from 0 up to the first one that holds only fill
// bytes; data behind that cylinder would be missing from the floppy.
void CheckFloppyExtent(const std::string& image, Problems* problems) {
    std::optional<std::uint32_t> firstFill;
    for (std::uint32_t cylinder = 0; cylinder < catalogue::kCylinders; ++cylinder) {
        const std::string_view block = std::string_view(image).substr(
            cylinder * catalogue::kCylinderBytes, catalogue::kCylinderBytes);
        const bool allFill =
            block.find_first_not_of(static_cast<char>(kFillByte)) == std::string_view::npos;
        if (allFill && !firstFill)
            firstFill = cylinder;
        if (!allFill && firstFill) {
            problems->push_back("boot image " + Id(catalogue::kBootImage) + ": cylinder " +
                                std::to_string(cylinder) +
                                " holds data after the all-fill cylinder " +
                                std::to_string(*firstFill) + "; a floppy gets cylinders 0 to " +
                                std::to_string(*firstFill) + " only");
            return;
        }
    }
}

void CheckBootImage(const Container& container, Problems* problems) {
    const std::string what = "boot image " + Id(catalogue::kBootImage);
    const std::optional<ResourceEntry> entry = container.find(catalogue::kBootImage);
    if (!entry) {
        problems->push_back(what + ": missing");
        return;
    }
    if (entry->dataSize() != catalogue::kBootImageBytes) {
        problems->push_back(what + ": " + std::to_string(entry->dataSize()) +
                            " bytes; it must be exactly " +
                            std::to_string(catalogue::kBootImageBytes));
        return;
    }
    if (const std::optional<std::string> image = container.read(catalogue::kBootImage))
        CheckFloppyExtent(*image, problems);
}

} // namespace

Problems CheckContainer(const Container& container) {
    Problems problems;
    CheckDirectory(container, &problems);
    CheckTexts(container, &problems);
    CheckPicture(container, &problems);
    CheckBootImage(container, &problems);
    CheckCdFileSet(container, &problems);
    return problems;
}

} // namespace tools
