// velor-content: writes every content file the demo opens into a run folder, procedurally and
// identically on every run, and optionally a contact sheet of all its pictures.
//
//   velor-content [--out DIR [--contact-sheet FILE.png] [--threads N] [--quiet]] [--icon FILE.png]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/contentgen/contact_sheet.h"
#include "tools/contentgen/content_catalog.h"
#include "tools/contentgen/icon.h"
#include "tools/contentgen/image_files.h"

namespace {

namespace fs = std::filesystem;
using velor::content::Blob;
using velor::content::GeneratedFile;

// One line: a refused command line repeats it after the error.
constexpr const char* kUsageLine =
    "usage: velor-content [--out DIR [--contact-sheet FILE.png] [--threads N] [--quiet]] [--icon FILE.png]";

// A refused command line: one line on the error output, exit 2.
int Usage(const char* message) {
    std::fprintf(stderr, "velor-content: %s; %s\n", message, kUsageLine);
    return 2;
}

int Help() {
    std::printf("%s\n"
                "  --out DIR             write every content file (data.xyz, textures/, music) under DIR\n"
                "  --contact-sheet FILE  also write a labelled PNG of every generated picture\n"
                "  --threads N           generator threads (default 2)\n"
                "  --quiet               print nothing but errors\n"
                "  --icon FILE           write the program's icon for desktop menus (128 x 128 PNG); alone,\n"
                "                        without --out, nothing else\n", kUsageLine);
    return 0;
}

bool WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes, std::string* error) {
    std::error_code ec;
    if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
    if (ec) {
        *error = path.string() + ": cannot create folder: " + ec.message();
        return false;
    }
    // Write beside the target and rename, so a reader never sees a half-written file.
    const fs::path temp = path.string() + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out) {
            *error = path.string() + ": cannot write file";
            return false;
        }
    }
    fs::rename(temp, path, ec);
    if (ec) {
        *error = path.string() + ": cannot replace file: " + ec.message();
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string outDir, sheetPath, iconPath;
    int threads = 2;
    bool quiet = false;
    // Help wins wherever it stands, so that "--out --help" never makes a folder of that name.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return Help();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--out") {
            const char* v = value();
            if (!v) return Usage("--out needs a folder");
            outDir = v;
        } else if (arg == "--contact-sheet") {
            const char* v = value();
            if (!v) return Usage("--contact-sheet needs a file name");
            sheetPath = v;
        } else if (arg == "--icon") {
            const char* v = value();
            if (!v) return Usage("--icon needs a file name");
            iconPath = v;
        } else if (arg == "--threads") {
            const char* v = value();
            if (!v || std::atoi(v) < 1 || std::atoi(v) > 64) return Usage("--threads needs a number from 1 to 64");
            threads = std::atoi(v);
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage(("unknown option '" + arg + "'").c_str());
        } else {
            return Usage(("unexpected argument '" + arg + "'").c_str());
        }
    }
    if (!iconPath.empty()) {
        const velor::content::Blob icon = velor::content::EncodePngFile(velor::content::PaintIcon(velor::content::kIconSize), 4, true);
        std::string error;
        if (!icon.ok() || !WriteFile(iconPath, icon.bytes, &error)) {
            std::fprintf(stderr, "velor-content: %s: %s\n", iconPath.c_str(), icon.ok() ? error.c_str() : icon.error.c_str());
            return 1;
        }
        if (outDir.empty()) return 0;
    }
    if (outDir.empty()) return Usage("--out or --icon is required");

    const auto start = std::chrono::steady_clock::now();
    velor::content::ContentSet set = velor::content::GenerateContent(threads);
    if (!set.error.empty()) {
        std::fprintf(stderr, "velor-content: %s\n", set.error.c_str());
        return 1;
    }
    const fs::path root(outDir);
    for (const GeneratedFile& f : set.files) {
        std::string error;
        if (!WriteFile(root / f.path, f.blob.bytes, &error)) {
            std::fprintf(stderr, "velor-content: %s\n", error.c_str());
            return 1;
        }
    }
    if (!sheetPath.empty()) {
        std::vector<const GeneratedFile*> pictures;
        for (const GeneratedFile& f : set.packEntries)
            if (velor::content::IsImagePath(f.path)) pictures.push_back(&f);
        for (const GeneratedFile& f : set.files)
            if (velor::content::IsImagePath(f.path)) pictures.push_back(&f);
        const Blob sheet = velor::content::MakeContactSheet(pictures);
        std::string error;
        if (!sheet.ok() || !WriteFile(sheetPath, sheet.bytes, &error)) {
            std::fprintf(stderr, "velor-content: %s: %s\n", sheetPath.c_str(), sheet.ok() ? error.c_str() : sheet.error.c_str());
            return 1;
        }
    }
    const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!quiet) {
        for (const GeneratedFile& f : set.packEntries)
            std::printf("  [data.xyz] %-28s %9zu bytes %7.3f s\n", f.path.c_str(), f.blob.bytes.size(), f.seconds);
        for (const GeneratedFile& f : set.files)
            std::printf("  %-39s %9zu bytes %7.3f s\n", f.path.c_str(), f.blob.bytes.size(), f.seconds);
        std::printf("velor-content: %zu files in %s, %.2f s\n", set.files.size(), outDir.c_str(), total);
    }
    return 0;
}
