// SPDX-License-Identifier: GPL-2.0-or-later
#include "ExpectedBoxes.h"

#include "platform/MessageBox.h"
#include "platform/ScopedHandle.h"
#include "resfile/Catalogue.h"
#include "resfile/Format.h"
#include "tests/rig/Protocol.h"

#include <cstdlib>

namespace rig {
namespace {
constexpr int kHexBase = 16;
constexpr std::size_t kBoxFields = 4; // keyword, style, caption, text
} // namespace

void PrintTo(const Box& box, std::ostream* out) {
    *out << "{style 0x" << std::hex << box.style << std::dec << ", " << Quote(box.caption) << ", "
         << Quote(box.text) << "}";
}

std::vector<Box> BoxesOf(const std::vector<std::vector<std::string>>& records) {
    std::vector<Box> boxes;
    for (const auto& record : records)
        if (record.size() == kBoxFields && record[0] == kBoxRecord)
            boxes.push_back(
                {static_cast<win::UINT>(std::strtoul(record[1].c_str(), nullptr, kHexBase)),
                 record[2], record[3]});
    return boxes;
}

ExpectedBoxes::ExpectedBoxes(const std::string& container) : container_(container) {
    const platform::FileHandle file(OpenResourceFile(container.c_str(), true));
    std::uint32_t size = 0;
    const std::uint32_t offset = GetResourceLocation(file.get(), catalogue::kBootImage, &size);
    if (GetResourceError() != kResourceOk)
        return;
    image_.resize(size);
    std::uint32_t read = 0;
    if (!ReadResourceBytesAt(file.get(), offset, image_.data(), size, &read) || read != size)
        image_.clear();
}

bool ExpectedBoxes::valid() const {
    return image_.size() == catalogue::kBootImageBytes;
}

std::string ExpectedBoxes::text(std::uint16_t id) const {
    const platform::FileHandle file(OpenResourceFile(container_.c_str(), true));
    return ReadResourceText(file.get(), id).get();
}

Box ExpectedBoxes::question() const {
    return {win::MB_OKCANCEL | win::MB_ICONEXCLAMATION, text(catalogue::kQuestionCaption),
            text(catalogue::kFloppyQuestion)};
}

Box ExpectedBoxes::success(char letter) const {
    const std::string detail = text(catalogue::kSuccessDetail);
    return {win::MB_ICONINFORMATION, text(catalogue::kSuccessCaption),
            format::FormatResource(
                catalogue::kFloppySuccessFormat, text(catalogue::kFloppySuccessFormat).c_str(),
                {format::Arg::string(detail.c_str()), format::Arg::character(letter)})};
}

Box ExpectedBoxes::writeError() const {
    return {win::MB_ICONERROR, text(catalogue::kErrorCaption), text(catalogue::kFloppyWriteError)};
}

} // namespace rig
