#include "engine/ui/font_match.h"

#ifndef VELOR_NO_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#include <filesystem>
#include <memory>

#include "engine/ui/ui_types.h"

namespace velor {

namespace {

constexpr const char* kDefaultFamily = "sans-serif";
constexpr const char* kLastResortFamily = "DejaVu Sans";
// A face at least this much lighter than asked (in FW_* units) gets synthetic emboldening; GDI
// emboldens a regular face asked for as semi-bold or bolder.
constexpr int kEmboldenWeightGap = 150;
constexpr int kEmboldenFromWeight = int(FontWeight::SemiBold);
// The weight a "-Bold" file stands for.
constexpr int kBoldFileWeight = int(FontWeight::Bold);

}  // namespace

// Files are named as the family without spaces, then the style: "DejaVuSans.ttf",
// "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf". The styled file is
// preferred; the regular one stands in for any style, synthesised as fontconfig's match would be.
bool MatchBundledFont(const FontRequest& request, const std::string& folder, FontMatch* match, std::string* error) {
    namespace fs = std::filesystem;
    const int weight = request.weight == FontWeight::DontCare ? int(FontWeight::Normal) : int(request.weight);
    const bool bold = weight >= kEmboldenFromWeight;
    auto stem = [](std::string family) {
        std::erase(family, ' ');
        return family;
    };
    auto find = [&](const std::string& family, bool wantBold, bool wantItalic) -> std::string {
        std::string style = std::string(wantBold ? "Bold" : "") + (wantItalic ? "Oblique" : "");
        std::string name = stem(family) + (style.empty() ? "" : "-" + style) + ".ttf";
        for (const fs::path& place : {fs::path(folder) / "fonts" / name, fs::path(folder) / name}) {
            std::error_code ignored;
            if (fs::is_regular_file(place, ignored)) return place.string();
        }
        return "";
    };
    auto take = [&](const std::string& family) {
        // Most wanted first: the asked style, then without the slant, then without the weight, then plain.
        const bool styles[4][2] = {{bold, request.italic}, {bold, false}, {false, request.italic}, {false, false}};
        for (const auto& [fileBold, fileItalic] : styles) {
            std::string file = find(family, fileBold, fileItalic);
            if (file.empty()) continue;
            match->file = file;
            match->faceIndex = 0;
            match->family = family;
            const int fileWeight = fileBold ? kBoldFileWeight : int(FontWeight::Normal);
            match->embolden = weight >= kEmboldenFromWeight && fileWeight <= weight - kEmboldenWeightGap;
            match->oblique = request.italic && !fileItalic;
            return true;
        }
        return false;
    };
    const std::string asked =
        request.faceName.empty() || request.faceName == kDefaultFamily ? kLastResortFamily : request.faceName;
    if (take(asked) || (asked != kLastResortFamily && take(kLastResortFamily))) return true;
    if (error)
        *error = "no font file in " + folder + ": neither " + stem(asked) + ".ttf nor " + stem(kLastResortFamily) +
                 ".ttf, there or in its fonts folder";
    return false;
}

#ifdef VELOR_NO_FONTCONFIG

// Without fontconfig (a browser build) the fonts are the files shipped in the run folder.
bool MatchFont(const FontRequest& request, FontMatch* match, std::string* error) {
    return MatchBundledFont(request, ".", match, error);
}

#else

namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

PatternPtr MatchFamily(const char* family, int weight, bool italic) {
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) return nullptr;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr found(FcFontMatch(nullptr, pattern.get(), &result));
    if (!found || result != FcResultMatch) return nullptr;
    FcChar8* file = nullptr;
    if (FcPatternGetString(found.get(), FC_FILE, 0, &file) != FcResultMatch || file == nullptr || file[0] == 0)
        return nullptr;
    return found;
}

}  // namespace

// A system with no fonts, or no fontconfig configuration, still draws text: with the font files
// shipped in the content folder (the working folder), as a self-contained archive carries them.
bool MatchFont(const FontRequest& request, FontMatch* match, std::string* error) {
    const char* family = request.faceName.empty() ? kDefaultFamily : request.faceName.c_str();
    std::string bundledError;
    if (!FcInit()) {
        if (MatchBundledFont(request, ".", match, &bundledError)) return true;
        if (error) *error = "fontconfig: cannot load its configuration; " + bundledError;
        return false;
    }
    const int weight = request.weight == FontWeight::DontCare ? int(FontWeight::Normal) : int(request.weight);
    PatternPtr found = MatchFamily(family, weight, request.italic);
    if (!found) found = MatchFamily(kLastResortFamily, weight, request.italic);
    if (!found) {
        if (MatchBundledFont(request, ".", match, &bundledError)) return true;
        if (error)
            *error = std::string("fontconfig: no scalable font for \"") + family + "\", nor " + kLastResortFamily +
                     "; " + bundledError;
        return false;
    }

    FcChar8* file = nullptr;
    FcPatternGetString(found.get(), FC_FILE, 0, &file);
    int index = 0;
    FcPatternGetInteger(found.get(), FC_INDEX, 0, &index);
    FcChar8* foundFamily = nullptr;
    FcPatternGetString(found.get(), FC_FAMILY, 0, &foundFamily);
    int foundWeight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(found.get(), FC_WEIGHT, 0, &foundWeight);
    int foundSlant = FC_SLANT_ROMAN;
    FcPatternGetInteger(found.get(), FC_SLANT, 0, &foundSlant);

    match->file = reinterpret_cast<const char*>(file);
    match->faceIndex = index;
    match->family = foundFamily ? reinterpret_cast<const char*>(foundFamily) : "";
    const int foundOpenTypeWeight = FcWeightToOpenType(foundWeight);
    match->embolden = weight >= kEmboldenFromWeight && foundOpenTypeWeight <= weight - kEmboldenWeightGap;
    match->oblique = request.italic && foundSlant == FC_SLANT_ROMAN;
    return true;
}

#endif

}  // namespace velor
