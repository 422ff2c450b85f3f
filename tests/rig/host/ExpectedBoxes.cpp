// SPDX-License-Identifier: GPL-2.0-or-later
#include "ExpectedBoxes.h"

#include "platform/MessageBox.h"
#include "platform/ScopedHandle.h"
#include "platform/headless/Report.h"
#include "resfile/Catalogue.h"
#include "resfile/Format.h"

#include <algorithm>

namespace rig {
namespace {

// A text on one line, as the report writes it. The sample's texts are ASCII, which the guest's
// C locale passes unchanged.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

} // namespace

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

std::string ExpectedBoxes::text(ResourceId id) const {
    const platform::FileHandle file(OpenResourceFile(container_.c_str(), true));
    return ReadResourceText(file.get(), id).get();
}

std::string ExpectedBoxes::box(win::UINT style, ResourceId captionId,
                               const std::string& text) const {
    std::string line = "box ";
    line.append(fw::headless::BoxKind(style))
        .append(" [")
        .append(OneLine(this->text(captionId)))
        .append("] ")
        .append(OneLine(text));
    if ((style & win::MB_TYPEMASK) == win::MB_OKCANCEL)
        line.append(" -> ").append(fw::headless::AnswerWord(win::IDOK));
    return line;
}

std::string ExpectedBoxes::question() const {
    return box(win::MB_OKCANCEL | win::MB_ICONEXCLAMATION, catalogue::kQuestionCaption,
               text(catalogue::kFloppyQuestion));
}

std::string ExpectedBoxes::success(char letter) const {
    const std::string detail = text(catalogue::kSuccessDetail);
    return box(win::MB_ICONINFORMATION, catalogue::kSuccessCaption,
               format::FormatResource(
                   catalogue::kFloppySuccessFormat, text(catalogue::kFloppySuccessFormat).c_str(),
                   {format::Arg::string(detail.c_str()), format::Arg::character(letter)}));
}

std::string ExpectedBoxes::writeError() const {
    return box(win::MB_ICONERROR, catalogue::kErrorCaption, text(catalogue::kFloppyWriteError));
}

} // namespace rig
