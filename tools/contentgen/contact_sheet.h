#pragma once
// A contact sheet of every generated picture: each decoded from its file's bytes (so the sheet
// shows what the demo will load, compression included), scaled into a 256 x 256 cell over a dark
// checkerboard (which shows the alpha), with its name and size underneath. Cube maps are laid out
// as an unfolded cross.

#include <string>
#include <vector>

#include "tools/contentgen/blob.h"
#include "tools/contentgen/content_catalog.h"

namespace velor::content {

Blob MakeContactSheet(const std::vector<const GeneratedFile*>& pictures);

}  // namespace velor::content
