#pragma once
// Choosing a font file for a LOGFONT-style request through fontconfig: the face name (the default
// sans-serif when empty), the weight and the slant. When the file found is lighter or more upright than
// asked, the glyphs are emboldened or slanted when rasterised, as GDI synthesises them.
#include <cstdint>
#include <string>

namespace velor {

struct FontRequest {
    std::string faceName;  // empty: the system's default sans-serif
    uint32_t weight = 0;   // FW_* (0 = don't care, read as normal)
    bool italic = false;
};

struct FontMatch {
    std::string file;        // path of the font file
    int faceIndex = 0;       // face within the file
    std::string family;      // family fontconfig chose, for messages and tests
    bool embolden = false;   // the file is lighter than asked: embolden synthetically
    bool oblique = false;    // italic asked, the file is upright: slant synthetically
};

// False, with the reason in `error`, when fontconfig finds no usable file, not even DejaVu Sans.
bool MatchFont(const FontRequest& request, FontMatch* match, std::string* error);

}  // namespace velor
