// SPDX-License-Identifier: GPL-2.0-or-later
// Figures of `resfile check` on a container with one huge text: the sample container with its
// status format 1016 replaced by a 64 MiB text that does not fit its arguments, so that check
// loads it, scans it and quotes its start in the problem it reports. Each tool named runs as its
// own process; its time and peak memory (the kernel's maximum resident set) are printed beside
// the anchor, cat reading the same container once, and the ratio to it.
//
// Usage: check_bench SAMPLE_DIR RESFILE [RESFILE...]   (e.g. a build before a change beside one
// after it). SAMPLE_DIR is the build's sample folder, with install.manifest and its files.

#include "bench/BenchProcess.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kTextBytes = std::size_t{64} << 20;
constexpr const char* kHugeEntry = "1016";
constexpr double kBytesPerMib = 1024.0 * 1024.0;
constexpr int kUsageArgs = 3;

// A text of the given size that keeps the escapes busy: printable words, tabs, line ends and
// bytes beyond ASCII, led by a %s that a format of two integers cannot take.
bool WriteHugeText(const fs::path& path) {
    const std::string piece = "%s Cylinder\t%d of %d\r\n\xE9t\xE9 ";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::size_t written = 0; written < kTextBytes; written += piece.size())
        out.write(piece.data(),
                  static_cast<std::streamsize>(std::min(piece.size(), kTextBytes - written)));
    return static_cast<bool>(out);
}

// The sample manifest with every file made absolute and the huge text in place of 1016.
bool WriteManifest(const fs::path& sampleDir, const fs::path& text, const fs::path& manifest) {
    std::ifstream in(sampleDir / "install.manifest");
    if (!in)
        return false;
    std::ostringstream out;
    const std::string fileMark = " file: ";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(std::string(kHugeEntry) + " ", 0) == 0)
            continue;
        if (const std::size_t mark = line.find(fileMark); mark != std::string::npos)
            line = line.substr(0, mark + fileMark.size()) +
                   (sampleDir / line.substr(mark + fileMark.size())).string();
        out << line << '\n';
    }
    out << kHugeEntry << fileMark << text.string() << '\n';
    std::ofstream(manifest) << out.str();
    return true;
}

void Print(const std::string& what, const bench::ChildRun& figures, const bench::ChildRun& anchor) {
    if (figures.status < 0) {
        std::printf("%-48s did not run\n", what.c_str());
        return;
    }
    std::printf("%-48s %7.2f s  %8.1f MiB peak  (%.0fx the anchor's time, %.1f MiB over the "
                "text; exit %d)\n",
                what.c_str(), figures.seconds, figures.peakMiB,
                anchor.seconds > 0 ? figures.seconds / anchor.seconds : 0.0,
                figures.peakMiB - static_cast<double>(kTextBytes) / kBytesPerMib, figures.status);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < kUsageArgs) {
        std::fprintf(stderr, "usage: check_bench SAMPLE_DIR RESFILE [RESFILE...]\n");
        return EXIT_FAILURE;
    }
    const fs::path sampleDir = fs::absolute(argv[1]);
    std::string folderTemplate = (fs::temp_directory_path() / "check_bench.XXXXXX").string();
    if (mkdtemp(folderTemplate.data()) == nullptr) {
        std::perror("check_bench: temporary folder");
        return EXIT_FAILURE;
    }
    const fs::path folder = folderTemplate;
    const fs::path text = folder / "huge.txt";
    const fs::path manifest = folder / "install.manifest";
    const fs::path container = folder / "install.dat";
    int result = EXIT_FAILURE;
    if (!WriteHugeText(text) || !WriteManifest(sampleDir, text, manifest)) {
        std::fprintf(stderr, "check_bench: cannot prepare the container from %s\n", argv[1]);
    } else if (bench::RunChild({argv[2], "create", container.string(), manifest.string()}).status !=
               0) {
        std::fprintf(stderr, "check_bench: %s create failed\n", argv[2]);
    } else {
        std::printf("container: %.1f MiB, entry %s a text of %.1f MiB\n",
                    static_cast<double>(fs::file_size(container)) / kBytesPerMib, kHugeEntry,
                    static_cast<double>(kTextBytes) / kBytesPerMib);
        bench::RunChild({"cat", container.string()}); // the page cache holds the container for all
        const bench::ChildRun anchor = bench::RunChild({"cat", container.string()});
        std::printf("%-48s %7.2f s  %8.1f MiB peak\n", "anchor: cat of the container",
                    anchor.seconds, anchor.peakMiB);
        for (int tool = 2; tool < argc; ++tool)
            Print(std::string(argv[tool]) + " check",
                  bench::RunChild({argv[tool], "check", container.string()}), anchor);
        result = EXIT_SUCCESS;
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return result;
}
