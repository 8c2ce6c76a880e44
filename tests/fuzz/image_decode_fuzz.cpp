// libFuzzer target for decoding an image file from memory (PNG, JPEG, TGA, BMP through stb_image;
// DDS through our reader) and for the loader rules applied to what comes out: any bytes must give
// a well-formed texture or an error message naming the file.

#include <cstddef>
#include <cstdint>

#include "engine/image/image_decode.h"
#include "engine/image/image_ops.h"
#include "tests/fuzz/image_fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto result = velor::LoadImageFromMemory(data, size, "fuzz.img");
    if (!result.ok()) {
        velor::fuzz::Require(result.error().rfind("fuzz.img: ", 0) == 0);
        return 0;
    }
    velor::fuzz::CheckTextureImage(*result);

    // The colour key and the box-filtered chain on small pictures (big ones would only slow the run).
    const velor::Image& top = result->Top();
    if (size_t(top.width) * top.height <= 64 * 64) {
        velor::Image keyed = top;
        velor::ApplyColorKey(keyed, 0xFF000000);
        const velor::MipChain chain = velor::GenerateMipChain(std::move(keyed), 0);
        velor::fuzz::Require(chain.size() == velor::FullMipLevelCount(top.width, top.height));
        velor::fuzz::Require(chain.back().width == 1 && chain.back().height == 1);
    }
    return 0;
}
