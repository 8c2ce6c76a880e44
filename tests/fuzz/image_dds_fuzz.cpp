// libFuzzer target for the DDS reader: any bytes must give either a well-formed texture or an error
// message, never a crash, an out-of-bounds read or an allocation beyond what the file can back.

#include <cstddef>
#include <cstdint>

#include "engine/image/dds_reader.h"
#include "tests/fuzz/image_fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto result = velor::ReadDds(data, size, "fuzz.dds");
    if (result.ok()) {
        velor::fuzz::CheckTextureImage(*result);
    } else {
        velor::fuzz::Require(result.error().rfind("fuzz.dds: ", 0) == 0);
    }
    return 0;
}
