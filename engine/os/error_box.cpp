#include "engine/os/error_box.h"

#include <SDL.h>

namespace velor {

void ShowErrorBox(const char* caption, const std::string& text) {
#ifdef _WIN32
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text.c_str(), nullptr);
#else
    (void)caption;
    (void)text;
#endif
}

}  // namespace velor
