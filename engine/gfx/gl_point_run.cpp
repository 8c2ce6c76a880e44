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
// draws the held run first.
#include <cstring>

#include "engine/gfx/gl_backend.h"
#include "engine/gfx/gpu_program.h"
#include "engine/gfx/vertex_format.h"
#include "engine/math/d3dx_math.h"

namespace velor {

namespace {

// A vertex larger than this is drawn on its own (the demo's sprites have 16 bytes).
constexpr uint32_t kMaxRunVertexBytes = 64;

// Whether a one-point sprite draw can start a run: the matrix must be the fixed-function vertex
// stage's, and lit points with normals (which read the normal matrix) stay per draw. Lit points
// without normals light the same wherever they are.
bool CanStartRun(const DeviceState& state, uint32_t stride) {
    if (stride == 0 || stride > kMaxRunVertexBytes) return false;
    if (state.render[uint32_t(RenderState::Lighting)] != 0 &&
        FindElement(state.declaration->Elements(), DeclUsage::Normal) != nullptr)
        return false;
    const GpuProgram* program = state.program.program.get();
    return program == nullptr || program->FixedVertexStage();
}

template <typename T>
bool Same(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

}  // namespace

void GlBackend::SetMerging(bool enabled) {
    if (!enabled) FlushPointRun();
    merging_ = enabled;
}

// Only the groups the device marked since the run started can differ; a marked group may still
// hold the same values (sprites set their states and the effect restores them around every draw).
bool GlBackend::JoinsRun(const DeviceState& state, uint32_t stride) const {
    const DeviceState& held = run_.state;
    uint32_t dirty = run_.dirtySince;
    if (stride != run_.stride || (dirty & kDirtyLighting)) return false;
    if ((dirty & kDirtyRender) && (!Same(state.render, held.render) || !Same(state.stage, held.stage))) return false;
    if ((dirty & kDirtySampler) && !Same(state.sampler, held.sampler)) return false;
    if ((dirty & kDirtyTexture) && state.textures != held.textures) return false;
    // A texture locked since the run started would be uploaded before the held draws are made.
    for (const auto& texture : state.textures)
        if (texture != nullptr && texture->Gpu().uploaded != texture->Version()) return false;
    if ((dirty & kDirtyTransform) && !Same(state.view, held.view)) return false;
    if ((dirty & kDirtyProjection) && !Same(state.projection, held.projection)) return false;
    if ((dirty & (kDirtyViewport | kDirtyTarget)) &&
        (!Same(state.viewport, held.viewport) || state.renderTarget != held.renderTarget ||
         state.targetDepth != held.targetDepth))
        return false;
    if ((dirty & kDirtyProgram) && state.program != held.program) return false;
    if ((dirty & kDirtyVertexInput) && (state.declaration != held.declaration || state.fvf != held.fvf)) return false;
    // A program's own values (an effect's parameters) reach GL as uniforms, one value per draw.
    return !GlPrograms::HasPendingValues(state);
}

// Four copies of the record, one per corner of the point's quad.
void GlBackend::AppendToRun(const DeviceState& state, const uint8_t* vertex, uint32_t stride) {
    size_t floats = run_.vertexFloats + 16;
    size_t at = run_.records.size();
    run_.records.resize(at + 4 * floats, 0.0f);
    float* record = run_.records.data() + at;
    std::memcpy(record, vertex, stride);
    Matrix worldView;
    MatrixMultiply(&worldView, &state.world, &state.view);
    float* columns = record + run_.vertexFloats;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) columns[4 * c + r] = worldView.m[r][c];
    for (int corner = 1; corner < 4; ++corner) std::memcpy(record + corner * floats, record, floats * sizeof(float));
    ++run_.count;
}

bool GlBackend::MergePoint(const DeviceState& state, const uint8_t* vertex, uint32_t stride) {
    if (run_.count > 0) {
        if (JoinsRun(state, stride)) {
            AppendToRun(state, vertex, stride);
            return true;
        }
        FlushPointRun();
    }
    if (!CanStartRun(state, stride)) return false;
    Prepare(state, true);
    if (!programs_.PointWorldViewAvailable()) return false;
    run_.state = state;
    run_.stride = stride;
    run_.vertexFloats = (stride + 3) / 4;
    run_.dirtySince = 0;
    run_.records.clear();
    AppendToRun(state, vertex, stride);
    return true;
}

void GlBackend::FlushPointRun() {
    if (run_.count == 0) return;
    uint32_t count = run_.count;
    run_.count = 0;
    size_t recordBytes = (size_t(run_.vertexFloats) + 16) * sizeof(float);
    ++drawCalls_;
    if (count == 1) {
        // One point draws as it would have alone: its matrix is already the uniform.
        size_t offset = input_.StreamUserVertices(run_.records.data(), recordBytes);
        const uint8_t* base = reinterpret_cast<const uint8_t*>(offset);
        input_.Bind(run_.state.declaration, base, input_.UserBuffer(), uint32_t(recordBytes), true);
        glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, 1);
        return;
    }
    size_t offset = input_.StreamUserVertices(run_.records.data(), recordBytes * 4 * count);
    const uint8_t* base = reinterpret_cast<const uint8_t*>(offset);
    programs_.UsePointWorldView();
    input_.Bind(run_.state.declaration, base, input_.UserBuffer(), uint32_t(recordBytes), false,
                base + run_.vertexFloats * sizeof(float));
    input_.BindQuadIndices(count);
    glDrawElements(GL_TRIANGLES, GLsizei(6 * count), GL_UNSIGNED_INT, nullptr);
}

}  // namespace velor
