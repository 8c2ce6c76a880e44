#pragma once
// Window 5: the sky box, seven lit trees and the animated skeleton under a dolly and a rise.
namespace velor::demo {

void PlaceForest();
void DrawForest();

}  // namespace velor::demo
