#pragma once
// Window 5 after 82 s: red and green points crawling toward the skinned figure's vertices.
namespace velor::demo {

void SampleFigureVertices();
void DrawSkeletonFollowers(float frameDelta);

}  // namespace velor::demo
