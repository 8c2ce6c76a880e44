#include "engine/audio/module_loader.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include <libopenmpt/libopenmpt.hpp>

namespace velor::audio_detail {
namespace {

std::string LastLogLine(const std::string& log) {
    std::string s = log;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    size_t nl = s.find_last_of('\n');
    return nl == std::string::npos ? s : s.substr(nl + 1);
}

uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return at + 2 <= b.size() ? b[at] | b[at + 1] << 8 : 0; }

}  // namespace

std::string ModuleShortfall(const std::vector<uint8_t>& b) {
    constexpr size_t kHeader = 0x60;
    if (b.size() < kHeader || b[0x2C] != 'S' || b[0x2D] != 'C' || b[0x2E] != 'R' || b[0x2F] != 'M') return {};
    const size_t orders = U16(b, 0x20), instruments = U16(b, 0x22), patterns = U16(b, 0x24);
    const size_t pointers = kHeader + orders;
    if (pointers + 2 * (instruments + patterns) > b.size()) return "truncated inside the header's tables";
    for (size_t i = 0; i < instruments; ++i) {
        const size_t at = size_t(U16(b, pointers + 2 * i)) * 16;
        if (at + 0x50 > b.size()) return "truncated: instrument " + std::to_string(i + 1) + " is past the end";
        if (b[at] != 1) continue;  // not a sample
        const size_t data = (size_t(b[at + 0x0D]) << 16 | U16(b, at + 0x0E)) * 16;
        const uint8_t flags = b[at + 0x1F];
        const size_t length = (U16(b, at + 0x10) | size_t(U16(b, at + 0x12)) << 16) * ((flags & 4) ? 2 : 1) *
                              ((flags & 2) ? 2 : 1);
        if (length > 0 && data + length > b.size())
            return "truncated: sample " + std::to_string(i + 1) + " runs past the end of the file";
    }
    for (size_t p = 0; p < patterns; ++p) {
        const size_t at = size_t(U16(b, pointers + 2 * instruments + 2 * p)) * 16;
        if (at == 0) continue;  // an empty pattern
        if (at + 2 > b.size() || at + U16(b, at) > b.size())
            return "truncated: pattern " + std::to_string(p) + " runs past the end of the file";
    }
    return {};
}

LoadedModule LoadModuleBytes(const std::vector<uint8_t>& bytes, const std::string& name, bool looped) {
    LoadedModule out;
    if (bytes.empty()) {
        out.error = name + ": file is empty";
        return out;
    }
    std::ostringstream log;
    try {
        out.module = std::make_unique<openmpt::module>(bytes, log);
        out.module->set_repeat_count(looped ? -1 : 0);
        const std::string shortfall = ModuleShortfall(bytes);
        if (!shortfall.empty()) out.warning = name + ": " + shortfall + " (what is missing stays silent)";
    } catch (const std::exception& e) {
        out.module.reset();
        std::string detail = LastLogLine(log.str());
        if (detail.empty()) detail = e.what();
        out.error = name + ": not a module libopenmpt can play (" + detail + ")";
    } catch (...) {
        out.module.reset();
        out.error = name + ": not a module libopenmpt can play";
    }
    return out;
}

LoadedModule LoadModuleFile(const std::string& path, bool looped) {
    LoadedModule out;
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
        out.error = path + ": cannot open file";
        return out;
    }
    if (!std::filesystem::is_regular_file(status)) {
        out.error = path + ": not a regular file";
        return out;
    }
    const uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        out.error = path + ": cannot read file";
        return out;
    }
    if (size > kMaxModuleFileBytes) {
        out.error = path + ": file too large (" + std::to_string(size) + " bytes)";
        return out;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        out.error = path + ": cannot open file";
        return out;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size))) {
        out.error = path + ": cannot read file";
        return out;
    }
    return LoadModuleBytes(bytes, path, looped);
}

}  // namespace velor::audio_detail
