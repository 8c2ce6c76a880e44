#pragma once
// The animated, software-skinned skeleton of slot 150.
namespace velor::demo {

void LoadSkeleton();
// Advances the slot's animation, combines its frames and skins its meshes (run by DrawObject).
void UpdateHierarchy(int slot);
// Draws every mesh container of the slot's hierarchy (run by DrawObject after UpdateHierarchy).
void DrawHierarchy(int slot);

}  // namespace velor::demo
