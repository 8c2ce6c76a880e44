#pragma once
// The demo's effects are made at start-up, from a file in the run folder or from a source compiled
// into the executable. One that cannot be made is left missing, so what it draws stays dark, and
// says why in the one way every effect failure is said: the compiler's errors (or the source's name
// and "cannot be read" when there are none) in a message box captioned "asd", which on a display
// without boxes is a line on stderr; each text once, since several sprites ask for the same effect.
#include <memory>

#include "engine/fx/effect.h"

namespace velor::demo {

void CreateFileEffect(const char* file, std::shared_ptr<Effect>* effect);
void CreateEmbeddedEffect(int resource, std::shared_ptr<Effect>* effect);

}  // namespace velor::demo
