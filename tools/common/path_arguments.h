// Command lines of the tools that take only paths: "--help" (or "-h") prints the usage on standard
// output and exits 0; any other argument that starts with '-' is refused with one line and exit 2,
// so that a mistyped option is never taken for a file or folder name.
#pragma once

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

namespace velor::tools {

// The paths of the command line, or the exit code when the tool is to stop at once. `usage` is the
// whole help text, its first line the usage line.
inline std::optional<int> ParsePathArguments(const char* tool, const char* usage, int argc, const char* const* argv,
                                             size_t minPaths, size_t maxPaths, std::vector<const char*>* paths) {
    const char* usageEnd = std::strchr(usage, '\n');
    const int usageLineLength = usageEnd ? int(usageEnd - usage) : int(std::strlen(usage));
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
    }
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') {
            std::fprintf(stderr, "%s: unknown option '%s'; %.*s\n", tool, argv[i], usageLineLength, usage);
            return 2;
        }
        paths->push_back(argv[i]);
    }
    if (paths->size() < minPaths || paths->size() > maxPaths) {
        std::fprintf(stderr, "%s: %.*s\n", tool, usageLineLength, usage);
        return 2;
    }
    return std::nullopt;
}

}  // namespace velor::tools
