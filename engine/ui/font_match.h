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

// When fontconfig finds no usable file, not even DejaVu Sans, the shipped files in the working folder
// are taken as MatchBundledFont finds them; false, with the reason in `error`, without those either.
// A build without fontconfig (VELOR_NO_FONTCONFIG, a browser build) looks in the run folder with
// MatchBundledFont instead.
bool MatchFont(const FontRequest& request, FontMatch* match, std::string* error);

// The shipped font files in `folder` or its `fonts` subfolder, by file name: the family without
// spaces and the style ("DejaVuSans-BoldOblique.ttf"); the default and any family without files of
// its own fall back to DejaVu Sans. A style without its file takes the regular one, emboldened or
// slanted as the fontconfig match is.
bool MatchBundledFont(const FontRequest& request, const std::string& folder, FontMatch* match, std::string* error);

}  // namespace velor
