#pragma once
// Vertex layouts: FVF codes and declarations, and the conversions D3DX performs between them.
#include <vector>

#include "engine/gfx/d3d_types.h"

namespace velor {

uint32_t DeclTypeSize(DeclType type);

// Elements up to (not including) the end marker.
std::vector<VertexElement> DeclarationElements(const VertexElement* decl);

// Size in bytes of one vertex of stream 0.
uint32_t DeclarationVertexSize(const VertexElement* decl, uint32_t stream = 0);
uint32_t FvfVertexSize(uint32_t fvf);

// D3DXDeclaratorFromFVF: fills decl (kMaxDeclLength entries) with the end marker included.
Result DeclaratorFromFvf(uint32_t fvf, VertexElement decl[kMaxDeclLength]);
// D3DXFVFFromDeclarator: InvalidCall when the declaration has no FVF equivalent.
Result FvfFromDeclarator(const VertexElement* decl, uint32_t* fvf);

// The element with this usage and index, or nullptr.
const VertexElement* FindElement(const std::vector<VertexElement>& elements, DeclUsage usage, uint8_t index = 0);

}  // namespace velor
