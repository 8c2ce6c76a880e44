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

}  // namespace

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
