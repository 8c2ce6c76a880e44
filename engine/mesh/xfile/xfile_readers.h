#pragma once
// Template readers: each turns one data object (and what it nests or references) into its record,
// or fails with a message naming the file and line.
#include <string>

#include "engine/mesh/xfile/xfile_parser.h"
#include "engine/mesh/xfile/xfile_scene.h"

namespace velor {

bool ReadMeshObject(const XObject& object, const XDocument& document, XMeshData* mesh, std::string* error);
bool ReadMaterialObject(const XObject& object, const XDocument& document, XMaterial* material, std::string* error);
bool ReadAnimationObject(const XObject& object, const XDocument& document, XAnimationData* animation,
                         std::string* error);
bool ReadAnimationSetObject(const XObject& object, const XDocument& document, XAnimationSetData* set,
                            std::string* error);

// DeclData and FVFData blocks of `mesh` (whose positions are read); ResolveVertexData, once every block
// of the mesh is read, settles which elements they give (see XMeshData::vertexData).
bool ReadDeclDataObject(const XObject& object, const XMeshData& mesh, std::string_view label, XVertexData* block,
                        std::string* error);
bool ReadFvfDataObject(const XObject& object, const XMeshData& mesh, std::string_view label, XVertexData* block,
                       std::string* error);
bool ResolveVertexData(XMeshData* mesh, std::string_view label, std::string* error);

// The object a reference names, or a message "reference to unknown object 'X'".
const XObject* ResolveReference(const XObject& reference, const XDocument& document, std::string* error);

}  // namespace velor
