// SPDX-License-Identifier: GPL-2.0-or-later
// The image source that libburn reads block by block, served from large pieces of libisofs's
// source: the bytes, the pieces asked for, failures, cancelling and the references it holds.
// libisofs's source is played by a source of the test's own that checks what it is asked.
#include "platform/linux/cd/BatchedSource.h"

#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <libburn/libburn.h>
#include <optional>
#include <vector>

using platform::layer::MakeBatchedSource;

namespace {

constexpr int kBlock = 2048;
constexpr int kPiece = 64 * 1024;
constexpr int kFailed = -1;

std::uint8_t ByteAt(off_t at) {
    return static_cast<std::uint8_t>(at * 7 + at / kBlock);
}

// An image source as libisofs makes one (version 1: read_xt and cancel), delivering size bytes
// of a pattern, whose reads fail from failFrom on. Like libisofs, a read that reaches past the
// end delivers nothing.
struct PlayedImage {
    off_t size = 0;
    off_t failFrom = -1;
    off_t position = 0;
    std::vector<int> asked = {};
    bool askedPastEnd = false;
    bool cancelled = false;
    bool freed = false;

    static PlayedImage& Of(burn::burn_source* source) {
        return *static_cast<PlayedImage*>(source->data);
    }

    static int Read(burn::burn_source* source, unsigned char* buffer, int count) {
        PlayedImage& image = Of(source);
        image.asked.push_back(count);
        if (image.failFrom >= 0 && image.position + count > image.failFrom)
            return kFailed;
        if (image.position + count > image.size) {
            image.askedPastEnd = true;
            return 0;
        }
        for (int i = 0; i < count; ++i)
            buffer[i] = ByteAt(image.position + i);
        image.position += count;
        return count;
    }
    static off_t GetSize(burn::burn_source* source) { return Of(source).size; }
    static int Cancel(burn::burn_source* source) {
        Of(source).cancelled = true;
        return 0;
    }
    static void Free(burn::burn_source* source) { Of(source).freed = true; }

    // A source of libburn's kind over this record, with one reference, for burn_source_free.
    burn::burn_source* source() {
        auto* made = static_cast<burn::burn_source*>(std::calloc(1, sizeof(burn::burn_source)));
        made->refcount = 1;
        made->get_size = GetSize;
        made->free_data = Free;
        made->data = this;
        made->version = 1;
        made->read_xt = Read;
        made->cancel = Cancel;
        return made;
    }
};

// Reads the batched source to its end block by block, as libburn does; the bytes, or nothing
// when a read failed.
std::optional<std::vector<std::uint8_t>> ReadBlocks(burn::burn_source* batched) {
    std::vector<std::uint8_t> bytes;
    std::vector<unsigned char> block(kBlock);
    for (;;) {
        const int got = batched->read_xt(batched, block.data(), kBlock);
        if (got < 0)
            return std::nullopt;
        bytes.insert(bytes.end(), block.begin(), block.begin() + got);
        if (got < kBlock)
            return bytes;
    }
}

} // namespace

// checks that images of every size around a piece's come through byte for byte and no longer,
// read in whole pieces but the last, which asks for exactly what is left (libisofs would drop a
// piece that reaches past its end).
TEST(BatchedSource, DeliversTheImageInPieces) {
    for (const off_t size : {off_t{0}, off_t{kBlock}, off_t{kPiece - kBlock}, off_t{kPiece},
                             off_t{kPiece + kBlock}, off_t{3 * kPiece + 3 * kBlock}}) {
        SCOPED_TRACE(size);
        PlayedImage image{.size = size};
        burn::burn_source* source = image.source();
        burn::burn_source* batched = MakeBatchedSource(source);
        ASSERT_NE(batched, nullptr);
        EXPECT_EQ(batched->get_size(batched), size);
        const auto bytes = ReadBlocks(batched);
        ASSERT_TRUE(bytes);
        ASSERT_EQ(static_cast<off_t>(bytes->size()), size);
        for (off_t at = 0; at < size; ++at)
            ASSERT_EQ((*bytes)[static_cast<std::size_t>(at)], ByteAt(at)) << "at " << at;
        EXPECT_FALSE(image.askedPastEnd);
        std::vector<int> pieces(static_cast<std::size_t>(size / kPiece), kPiece);
        if (size % kPiece != 0)
            pieces.push_back(static_cast<int>(size % kPiece));
        EXPECT_EQ(image.asked, pieces);
        burn::burn_source_free(batched);
        EXPECT_FALSE(image.freed);
        EXPECT_EQ(source->refcount, 1);
        burn::burn_source_free(source);
        EXPECT_TRUE(image.freed);
    }
}

// checks that a read of the image that fails, in the first piece or a later one, fails the
// block in hand rather than delivering fewer bytes, and that cancelling reaches the image.
TEST(BatchedSource, PassesFailuresAndCancelOn) {
    for (const off_t failFrom : {off_t{0}, off_t{kPiece + 5}}) {
        SCOPED_TRACE(failFrom);
        PlayedImage image{.size = 2 * kPiece, .failFrom = failFrom};
        burn::burn_source* source = image.source();
        burn::burn_source* batched = MakeBatchedSource(source);
        ASSERT_NE(batched, nullptr);
        burn::burn_source_free(source);
        EXPECT_FALSE(ReadBlocks(batched));
        EXPECT_FALSE(image.cancelled);
        batched->cancel(batched);
        EXPECT_TRUE(image.cancelled);
        EXPECT_FALSE(image.freed);
        burn::burn_source_free(batched);
        EXPECT_TRUE(image.freed);
    }
}
