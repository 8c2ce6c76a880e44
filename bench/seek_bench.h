#pragma once
// velor-bench seek: what a player's seek costs.
namespace velor::bench {

// From the frame at 10 s forward to 95 s and back to 10 s, several times, headless at scale 1: the
// wall time from the seek to its landing frame drawn (the schedule replayed undrawn up to it, the
// landing frame drawn), and what one undrawn frame costs on the way. Prints one figure a line.
int Seeks();

}  // namespace velor::bench
