#include "engine/ui/font_match.h"

#include <fontconfig/fontconfig.h>

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

bool MatchFont(const FontRequest& request, FontMatch* match, std::string* error) {
    if (!FcInit()) {
        if (error) *error = "fontconfig: cannot load its configuration";
        return false;
    }
    const int weight = request.weight == FontWeight::DontCare ? int(FontWeight::Normal) : int(request.weight);
    const char* family = request.faceName.empty() ? kDefaultFamily : request.faceName.c_str();
    PatternPtr found = MatchFamily(family, weight, request.italic);
    if (!found) found = MatchFamily(kLastResortFamily, weight, request.italic);
    if (!found) {
        if (error) *error = std::string("fontconfig: no scalable font for \"") + family + "\", nor " + kLastResortFamily;
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

}  // namespace velor
