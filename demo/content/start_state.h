#pragma once
// The demo's state at demo time 0, so that a player can go back in the schedule without making the
// resources again: the state every window builds up frame by frame (clocks, camera legs, followers,
// the cube's snapshot, the skeleton's animation), the placement of every object and sprite, the text
// records' tints, the camera and the device's states, as start-up left them. Meshes, textures,
// effects and fonts are made once and kept; only what the frames change is put back.
namespace velor::demo {

// Takes the copy; start-up calls it once, after its last set-up step and before the first frame.
void RecordStartState();
// Puts the copy back: the next frame is the run's first frame again. Nothing before RecordStartState.
void ReturnToStartState();

}  // namespace velor::demo
