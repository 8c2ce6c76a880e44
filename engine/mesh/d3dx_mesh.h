#pragma once
// Everything of the mesh library that demo code uses: meshes, shapes, tangent frames, X-file loading,
// frame hierarchies, animation controllers and skin info.
#include "engine/mesh/animation_controller.h"
#include "engine/mesh/frame_hierarchy.h"
#include "engine/mesh/material_list.h"
#include "engine/mesh/mesh.h"
#include "engine/mesh/mesh_loader.h"
#include "engine/mesh/mesh_shapes.h"
#include "engine/mesh/skin_info.h"
#include "engine/mesh/tangent_frame.h"
