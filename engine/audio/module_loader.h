#pragma once
// Opens a module file for libopenmpt. Internal to engine/audio: the public headers of this folder
// include neither libopenmpt nor SDL.
//
// A module comes from outside the program, so every failure is a message naming the file and the
// reason ("Vob_058f.s3m: cannot open file", "x.s3m: not a module libopenmpt can play"), never an
// exception: libopenmpt's are caught here. libopenmpt's own warnings go to a discarded log rather
// than to the console.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace openmpt {
class module;
}

namespace velor::audio_detail {

// No module the demo plays comes near this; it bounds what a wrong path (a disk image, say) can
// make us read into memory.
inline constexpr uint64_t kMaxModuleFileBytes = uint64_t(256) << 20;

struct LoadedModule {
    std::unique_ptr<openmpt::module> module;  // null on failure
    std::string error;                        // "<name>: <reason>" on failure
    std::string warning;                      // "<name>: <reason>": plays, but not all of it is there
};

// libopenmpt plays a cut-short module without a word, silencing what is missing. For the layouts we
// can check (S3M), says which part runs past the end of the file; empty when nothing does.
std::string ModuleShortfall(const std::vector<uint8_t>& bytes);

// `looped`: play forever (repeat count -1) rather than stop at the song's end.
LoadedModule LoadModuleFile(const std::string& path, bool looped);
LoadedModule LoadModuleBytes(const std::vector<uint8_t>& bytes, const std::string& name, bool looped);

}  // namespace velor::audio_detail
