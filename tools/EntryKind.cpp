// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/EntryKind.h"

#include "resfile/Catalogue.h"

#include <algorithm>

namespace tools {
namespace {

constexpr std::string_view kBmpSignature = "BM";
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

bool InRange(ResourceId id, ResourceId first, int count) {
    return id >= first && id < first + count;
}

bool LooksLikeText(std::string_view bytes) {
    return !bytes.empty() && std::all_of(bytes.begin(), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte >= kFirstPrintable && byte != kDelete) || c == '\n' || c == '\r' || c == '\t';
    });
}

} // namespace

EntryKind GuessKind(ResourceId id, std::string_view head) {
    if (id == catalogue::kPicture)
        return EntryKind::Bitmap;
    if (!catalogue::FormatArguments(id).empty())
        return EntryKind::Format;
    const auto texts = catalogue::TextIdentifiers();
    if (std::binary_search(texts.begin(), texts.end(), id) ||
        InRange(id, catalogue::kCdFileNameFirst, catalogue::kCdFileMax))
        return EntryKind::Text;
    if (id == catalogue::kBootImage ||
        InRange(id, catalogue::kCdFileContentFirst, catalogue::kCdFileMax))
        return EntryKind::Data;
    if (head.starts_with(kBmpSignature))
        return EntryKind::Bitmap;
    return LooksLikeText(head) ? EntryKind::Text : EntryKind::Data;
}

std::string_view KindName(EntryKind kind) {
    switch (kind) {
    case EntryKind::Bitmap:
        return "bitmap";
    case EntryKind::Text:
        return "text";
    case EntryKind::Format:
        return "format";
    case EntryKind::Data:
        break;
    }
    return "data";
}

} // namespace tools
