// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/JolietImage.h"

#include "platform/ImageMastering.h"
#include "platform/linux/Log.h"
#include "platform/linux/cd/ElTorito.h"
#include "platform/linux/cd/LibraryMessages.h"

#include <atomic>
#include <libburn/libburn.h>
#include <string>
#include <utility>

namespace platform::layer {

using namespace win;

namespace {

constexpr const char* kVolumeId = "CDROM";
// Names come to libisofs as UTF-8; under another character set it would turn every other byte
// into '_'.
constexpr const char* kNameCharset = "UTF-8";
// libisofs prints nothing; what it queues goes to the log.
constexpr const char* kPrintedSeverity = "NEVER";
constexpr const char* kMessagePrefix = "bootmedia: ";
constexpr const char* kLibraryName = "libisofs";
constexpr std::size_t kSeverityBytes = 80;
constexpr int kIsoLevel = 1;
constexpr int kNoDefaults = 0;
constexpr int kOff = 0;
constexpr int kOn = 1;
// The Joliet tree names files as Windows shows them: no ";1" version and no dot added to a name
// without one ("Makefile" stays "Makefile"). The ISO 9660 tree keeps both, as its level 1 wants.
constexpr int kJolietAlone = 1 << 1;
// The boot floppy and the boot catalogue are nodes of the tree hidden from both directory
// trees. Their names hold characters that a staged file's name cannot, so they never collide.
constexpr const char* kBootFloppyName = "<boot floppy>";
constexpr const char* kBootFloppyPath = "/<boot floppy>";
constexpr const char* kBootCatalogPath = "/<boot catalogue>";
constexpr int kHiddenEverywhere = LIBISO_HIDE_ON_RR | LIBISO_HIDE_ON_JOLIET;

std::atomic<bool> libraryInitialised{false};

bool IsoLibraryReady() {
    static const bool ready = [] {
        if (iso_init() < 0)
            return false;
        libraryInitialised = true;
        // libisofs takes non-const strings it does not change.
        std::string charset = kNameCharset;
        std::string queued = kKeptMessageSeverity;
        std::string printed = kPrintedSeverity;
        std::string prefix = kMessagePrefix;
        iso_set_msgs_severities(queued.data(), printed.data(), prefix.data());
        return iso_set_local_charset(charset.data(), 0) > 0;
    }();
    return ready;
}

// libisofs's burn_source is declared apart from libburn's, which lives in namespace burn for
// C++; both name the one structure libburn defines.
burn::burn_source* AsBurnSource(::burn_source* source) {
    return reinterpret_cast<burn::burn_source*>(source);
}

HRESULT Added(int result, IsoStreamRef& stream) {
    if (result < 0)
        return IMAPI_E_FILESYSTEM;
    // The file holds the reference now.
    static_cast<void>(stream.release());
    return S_OK;
}

} // namespace

void LogImageMessages() {
    if (!libraryInitialised)
        return;
    std::string minimum = kKeptMessageSeverity;
    char text[ISO_MSGS_MESSAGE_LEN] = {};
    char severity[kSeverityBytes] = {};
    int code = 0;
    int image = 0;
    while (iso_obtain_msgs(minimum.data(), &code, &image, text, severity) > 0)
        LogLine(LibraryMessageLine(kLibraryName, severity, text, 0));
}

ImageSource::ImageSource(ImageSource&& other) noexcept
    : source_(std::exchange(other.source_, nullptr)) {
}

ImageSource::~ImageSource() {
    if (source_ == nullptr)
        return;
    source_->cancel(source_);
    burn::burn_source_free(source_);
}

burn::burn_source* ImageSource::release() noexcept {
    return std::exchange(source_, nullptr);
}

off_t ImageSource::size() const {
    return source_->get_size(source_);
}

std::optional<JolietImage> JolietImage::Create() {
    if (!IsoLibraryReady())
        return std::nullopt;
    IsoImage* image = nullptr;
    if (iso_image_new(kVolumeId, &image) < 0)
        return std::nullopt;
    return JolietImage(ImageOwner(image));
}

HRESULT JolietImage::addFile(const std::string& name, IsoStreamRef contents) {
    IsoFile* file = nullptr;
    const int result = iso_image_add_new_file(image_.get(), iso_image_get_root(image_.get()),
                                              name.c_str(), contents.get(), &file);
    return Added(result, contents);
}

HRESULT JolietImage::setBootFloppy(IsoStreamRef floppy) {
    IsoFile* file = nullptr;
    const HRESULT added =
        Added(iso_image_add_new_file(image_.get(), iso_image_get_root(image_.get()),
                                     kBootFloppyName, floppy.get(), &file),
              floppy);
    if (FAILED(added))
        return added;
    iso_node_set_hidden(reinterpret_cast<IsoNode*>(file), kHiddenEverywhere);
    ElToritoBootImage* boot = nullptr;
    if (iso_image_set_boot_image(image_.get(), kBootFloppyPath, ELTORITO_FLOPPY_EMUL,
                                 kBootCatalogPath, &boot) < 0)
        return IMAPI_E_FILESYSTEM;
    el_torito_set_boot_platform_id(boot, kPlatform80x86);
    iso_image_set_boot_catalog_hidden(image_.get(), kHiddenEverywhere);
    return S_OK;
}

std::optional<ImageSource> JolietImage::generate(uint32_t tailBlocks) {
    IsoWriteOpts* made = nullptr;
    if (iso_write_opts_new(&made, kNoDefaults) < 0)
        return std::nullopt;
    const LibraryOwner<IsoWriteOpts, iso_write_opts_free> options(made);
    iso_write_opts_set_iso_level(options.get(), kIsoLevel);
    iso_write_opts_set_rockridge(options.get(), kOff);
    iso_write_opts_set_joliet(options.get(), kOn);
    // A name outside the BMP keeps its surrogate pair instead of becoming '_'.
    iso_write_opts_set_joliet_utf16(options.get(), kOn);
    iso_write_opts_set_omit_version_numbers(options.get(), kJolietAlone);
    iso_write_opts_set_no_force_dots(options.get(), kJolietAlone);
    iso_write_opts_set_tail_blocks(options.get(), tailBlocks);
    ::burn_source* source = nullptr;
    if (iso_image_create_burn_source(image_.get(), options.get(), &source) < 0)
        return std::nullopt;
    return ImageSource(AsBurnSource(source));
}

} // namespace platform::layer
