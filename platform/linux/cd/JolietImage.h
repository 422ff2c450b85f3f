// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The disc image, built with libisofs: a Joliet tree with the files' real names beside the ISO
// 9660 level-1 names libisofs makes up, no Rock Ridge (a Windows-style disc; Linux reads its
// Joliet tree), and optionally an El Torito boot record for a 1.44 MB diskette emulation on
// 80x86. No file's contents are held here: each file is a stream that libisofs reads while it
// generates the image.

#include "platform/Com.h"
#include "platform/linux/cd/FreeWith.h"

#include <optional>
#include <string>

// libisofs.h uses the fixed-size integer types without including their header.
// clang-format off
#include <stdint.h>
#include <libisofs/libisofs.h>
// clang-format on

namespace burn {
struct burn_source;
} // namespace burn

namespace platform::layer {

/// Moves libisofs's queued messages into the log, oldest first. Any thread.
void LogImageMessages();

/// A reference to a libisofs stream; a file added to an image takes it over.
using IsoStreamRef = LibraryOwner<IsoStream, iso_stream_unref>;

/// The image as libburn reads it, produced by libisofs's generator thread.
class ImageSource {
public:
    explicit ImageSource(burn::burn_source* source) noexcept : source_(source) {}
    ImageSource(ImageSource&& other) noexcept;
    ImageSource& operator=(ImageSource&& other) = delete;
    ImageSource(const ImageSource&) = delete;
    ImageSource& operator=(const ImageSource&) = delete;
    /// Stops the generator if it still runs (it waits for a reader otherwise) and gives the
    /// source up; libburn's track may hold it a little longer.
    ~ImageSource();

    burn::burn_source* get() const noexcept { return source_; }
    /// Gives the source up without stopping or freeing it, for a drive that may still read it.
    burn::burn_source* release() noexcept;
    /// The size of the whole image in bytes.
    off_t size() const;

private:
    burn::burn_source* source_;
};

class JolietImage {
public:
    /// An empty image; nothing when libisofs cannot be used.
    static std::optional<JolietImage> Create();

    /// Adds a file to the root folder under a name that JolietFileName gave. IMAPI_E_FILESYSTEM
    /// when libisofs refuses it (a name taken, no memory).
    win::HRESULT addFile(const std::string& name, IsoStreamRef contents);

    /// Makes the disc boot the 1.44 MB floppy image: an El Torito diskette emulation for
    /// platform 0 (80x86). The image and the boot catalogue are in neither directory tree.
    /// The caller has checked the stream's size. IMAPI_E_FILESYSTEM when libisofs refuses.
    win::HRESULT setBootFloppy(IsoStreamRef floppy);

    /// Starts generating the image: its first file is read at once, so the drive must be in
    /// hand before this is called. tailBlocks zero blocks are added at the end (optical drives
    /// read ahead past the last block). Nothing when libisofs cannot start.
    std::optional<ImageSource> generate(uint32_t tailBlocks);

private:
    using ImageOwner = LibraryOwner<IsoImage, iso_image_unref>;

    explicit JolietImage(ImageOwner image) : image_(std::move(image)) {}

    ImageOwner image_;
};

} // namespace platform::layer
