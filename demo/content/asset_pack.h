#pragma once
// The asset pack "data.xyz": ten length-prefixed entries with fixed names, unpacked at start-up,
// loaded into the object table and the texture table, and deleted again.
namespace velor::demo {

void LoadAssets();

}  // namespace velor::demo
