#include "demo/shell/shell_state.h"

namespace velor::demo {

ShellState gShell;

}  // namespace velor::demo
