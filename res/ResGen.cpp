// SPDX-License-Identifier: GPL-2.0-or-later
// bootmedia_resgen FOLDER: writes bootmedia.rc and bootmedia.ico into FOLDER, from the dialog
// template table and the icon drawing. The Windows build compiles the copies kept in res/; the
// target res_update refreshes them, and a test fails while they differ from what this writes.
#include "res/IcoFile.h"
#include "res/MainDialogTemplate.h"
#include "res/RcScript.h"
#include "res/Resources.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>

namespace {

constexpr int kArgumentCount = 2;

bool WriteFile(const std::filesystem::path& path, std::span<const char> bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "bootmedia_resgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != kArgumentCount) {
        std::fputs("usage: bootmedia_resgen FOLDER\n", stderr);
        return EXIT_FAILURE;
    }
    const std::filesystem::path folder = argv[1];
    const std::string rc =
        res::WriteRcScript(res::kMainDialogTemplate, res::kIdiMainIcon, res::kIconFileName);
    const std::vector<std::uint8_t> ico = res::EncodeIcoFile(res::DrawMainIconGroup());
    const bool written = WriteFile(folder / res::kRcFileName, rc) &&
                         WriteFile(folder / res::kIconFileName,
                                   {reinterpret_cast<const char*>(ico.data()), ico.size()});
    return written ? EXIT_SUCCESS : EXIT_FAILURE;
}
