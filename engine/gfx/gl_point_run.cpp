// Point runs. The clouds draw one point sprite at a time, each with its own world transform and the
// same everything else; every such draw costs GL's whole per-draw path. Here consecutive one-point
// sprite draws are held while nothing but the world transform changes, and drawn as one draw of
// indexed quads whose four vertices each carry the point's vertex and its world-view matrix. (An
// instanced draw would do too, but llvmpipe runs its vertex pipeline once per instance, which costs
// about what separate draws do.)
//
// The pixels are those of separate draws: each matrix is world · view from the same MatrixMultiply
// the uniform gets, and the vertex stage multiplies by it in the same expression, only reading it
// from an attribute instead of the uniform; each quad's two triangles are the ones a four-vertex
// strip makes, in the same vertex order. Everything else the run's draws share is the state the
// first of them applied, which GL keeps until the run is drawn: every backend call that reaches GL
// passes through the backend's one sync, which draws the held run first.
#include "engine/gfx/gl_point_run.h"

#include <cstring>

#include "engine/gfx/gpu_program.h"
#include "engine/gfx/vertex_format.h"
#include "engine/math/d3dx_math.h"

namespace velor {

namespace {

// A vertex larger than this is drawn on its own (the demo's sprites have 16 bytes).
constexpr uint32_t kMaxRunVertexBytes = 64;

template <class... Parts>
constexpr bool EveryPartHasGroups(const DrawStateParts<Parts...>*) {
    return ((Parts::kGroups != 0) && ...);
}
// A part in no dirty group would never be compared, and a run would carry its old value past a change.
static_assert(EveryPartHasGroups(static_cast<const SharedDrawParts*>(nullptr)),
              "every part of the shared draw state needs the dirty groups that a change to it marks");

}  // namespace

// The matrix must be the fixed-function vertex stage's, and lit points with normals (which read the
// normal matrix) stay per draw. Lit points without normals light the same wherever they are.
bool GlPointRun::CanStart(const DeviceState& state, uint32_t stride) {
    if (stride == 0 || stride > kMaxRunVertexBytes) return false;
    if (state.render[uint32_t(RenderState::Lighting)] != 0 &&
        FindElement(state.declaration->Elements(), DeclUsage::Normal) != nullptr)
        return false;
    const GpuProgram* program = state.program.program.get();
    return program == nullptr || program->FixedVertexStage();
}

bool GlPointRun::Joins(const DeviceState& state, uint32_t stride) const {
    if (stride != stride_) return false;
    // A texture locked since the run started would be uploaded before the held draws are made.
    for (const auto& texture : state.textures)
        if (texture != nullptr && texture->Gpu().uploaded != texture->Version()) return false;
    // A program's own values (an effect's parameters) reach GL as uniforms, one value per draw.
    if (GlPrograms::HasPendingValues(state)) return false;
    // Nothing marked, nothing moved; a marked group may still hold the same values (sprites set
    // their states and the effect restores them around every draw), so the parts of the shared state
    // that the marked groups cover are compared, and only those.
    return dirtySince_ == 0 || state_.SameWhereMarked(state, dirtySince_);
}

void GlPointRun::Start(const DeviceState& state, uint32_t stride) {
    state_ = state;
    stride_ = stride;
    vertexFloats_ = (stride + 3) / 4;
    dirtySince_ = 0;
    count_ = 0;
    records_.clear();
}

// Four copies of the record, one per corner of the point's quad.
void GlPointRun::Append(const DeviceState& state, const uint8_t* vertex) {
    size_t floats = vertexFloats_ + 16;
    size_t at = records_.size();
    records_.resize(at + 4 * floats, 0.0f);
    float* record = records_.data() + at;
    std::memcpy(record, vertex, stride_);
    Matrix worldView;
    MatrixMultiply(&worldView, &state.world, &state.view);
    float* columns = record + vertexFloats_;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) columns[4 * c + r] = worldView.m[r][c];
    for (int corner = 1; corner < 4; ++corner) std::memcpy(record + corner * floats, record, floats * sizeof(float));
    ++count_;
}

bool GlPointRun::Draw(GlVertexInput& input, GlPrograms& programs) {
    if (count_ == 0) return false;
    uint32_t count = count_;
    count_ = 0;
    size_t recordBytes = (size_t(vertexFloats_) + 16) * sizeof(float);
    if (count == 1) {
        // One point draws as it would have alone: its matrix is already the uniform.
        size_t offset = input.StreamUserVertices(records_.data(), recordBytes);
        const uint8_t* base = reinterpret_cast<const uint8_t*>(offset);
        input.Bind(state_.declaration, base, input.UserBuffer(), uint32_t(recordBytes), true);
        glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, 1);
        return true;
    }
    size_t offset = input.StreamUserVertices(records_.data(), recordBytes * 4 * count);
    const uint8_t* base = reinterpret_cast<const uint8_t*>(offset);
    programs.UsePointWorldView();
    input.Bind(state_.declaration, base, input.UserBuffer(), uint32_t(recordBytes), false,
               base + vertexFloats_ * sizeof(float));
    input.BindQuadIndices(count);
    glDrawElements(GL_TRIANGLES, GLsizei(6 * count), GL_UNSIGNED_INT, nullptr);
    return true;
}

}  // namespace velor
