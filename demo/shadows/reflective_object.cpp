// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/shadows/reflective_object.h"

namespace velor::demo {

ReflectionState gReflection;

void DrawReflectiveObject() {}

}  // namespace velor::demo
