// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/PieceCopy.h"

#include "app/JobState.h"
#include "cd/BuildFailure.h"

#include <algorithm>
#include <vector>

using namespace win;

void CopyEntryToStream(ResourceId id, IStream* stream) {
    const HANDLE file = JobState.resourceFile;
    std::uint32_t size = 0;
    const std::uint32_t offset = GetResourceLocation(file, id, &size);
    if (GetResourceError() != kResourceOk)
        throw BuildFailure{buildfailure::kMissingContent};

    std::vector<std::uint8_t> piece(std::min(kCopyPieceBytes, size));
    for (std::uint32_t done = 0; done < size;) {
        const std::uint32_t length = std::min(kCopyPieceBytes, size - done);
        std::uint32_t read = 0;
        if (!ReadResourceBytesAt(file, offset + done, piece.data(), length, &read) ||
            read != length)
            throw BuildFailure{buildfailure::kReadingEntry};
        ULONG written = 0;
        if (FAILED(stream->Write(piece.data(), length, &written)) || written != length)
            throw BuildFailure{buildfailure::kWritingStream};
        done += length;
    }
}
