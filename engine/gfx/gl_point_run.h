#pragma once
// A held run of one-point sprite draws (see gl_point_run.cpp): the state its draws share, which GL
// still has, and one record per point. The backend decides when a draw joins and when the run is
// drawn; this class keeps the run and draws it. Engine-internal.
#include <cstdint>
#include <vector>

#include "engine/gfx/device_state.h"
#include "engine/gfx/gl_programs.h"
#include "engine/gfx/gl_vertex_input.h"

namespace velor {

class GlPointRun {
public:
    // Whether a one-point sprite draw of `stride`-byte vertices can start a run at all.
    static bool CanStart(const DeviceState& state, uint32_t stride);

    bool Empty() const { return count_ == 0; }
    // Groups the device marked: only these can differ from the run's state.
    void NoteDirty(uint32_t dirty) { dirtySince_ |= dirty; }
    // Whether a one-point sprite draw can be added to the held run.
    bool Joins(const DeviceState& state, uint32_t stride) const;
    // Starts a run with the state GL has just been given for it.
    void Start(const DeviceState& state, uint32_t stride);
    // Adds a point: its vertex and its world-view matrix.
    void Append(const DeviceState& state, const uint8_t* vertex);
    // Draws the held points and empties the run; false when it held none.
    bool Draw(GlVertexInput& input, GlPrograms& programs);

private:
    SharedDrawState state_;
    uint32_t stride_ = 0;        // vertex bytes
    uint32_t vertexFloats_ = 0;  // the vertex, padded to whole floats
    uint32_t count_ = 0;
    uint32_t dirtySince_ = 0;    // groups the device marked since the run started
    // Per point, four times (one per corner of its quad): the vertex, then the world-view matrix by columns.
    std::vector<float> records_;
};

}  // namespace velor
