#include "engine/ui/atlas_packer.h"

namespace velor {

AtlasPacker::AtlasPacker(uint32_t width, uint32_t height, uint32_t padding)
    : width_(width), height_(height), padding_(padding) {}

bool AtlasPacker::Place(uint32_t w, uint32_t h, uint32_t* x, uint32_t* y) {
    const uint32_t needW = w + padding_, needH = h + padding_;
    if (needW + padding_ > width_ || needH + padding_ > height_) return false;

    // The best shelf wastes the fewest rows.
    Shelf* best = nullptr;
    for (Shelf& shelf : shelves_) {
        if (shelf.height >= needH && width_ - shelf.used >= needW && (best == nullptr || shelf.height < best->height))
            best = &shelf;
    }
    if (best == nullptr) {
        const uint32_t top = shelves_.empty() ? padding_ : shelves_.back().y + shelves_.back().height;
        if (height_ - top < needH) return false;
        shelves_.push_back(Shelf{top, needH, padding_});
        best = &shelves_.back();
    }
    *x = best->used;
    *y = best->y;
    best->used += needW;
    return true;
}

}  // namespace velor
