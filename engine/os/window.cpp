#include "engine/os/window.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

namespace velor {

namespace {

bool InitVideo(std::string* error) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (error) *error = std::string("cannot initialise video: ") + SDL_GetError();
        return false;
    }
    return true;
}

// Win32 virtual-key code for an SDL key, for the keys the window procedure distinguishes; other
// keys get a code of their own that the procedure ignores.
uint32_t VirtualKey(SDL_Keycode key) {
    switch (key) {
    case SDLK_ESCAPE: return Vk::Escape;
    case SDLK_TAB: return Vk::Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return Vk::Return;
    case SDLK_SPACE: return Vk::Space;
    case SDLK_HOME: return Vk::Home;
    case SDLK_LEFT: return Vk::Left;
    case SDLK_RIGHT: return Vk::Right;
    case SDLK_F1: return Vk::F1;
    case SDLK_F4: return Vk::F4;
    case SDLK_F11: return Vk::F11;
    case SDLK_F12: return Vk::F12;
    case SDLK_LALT:
    case SDLK_RALT: return Vk::Menu;
    default: break;
    }
    if (key >= 'a' && key <= 'z') return uint32_t(key - 'a' + 'A');
    if (key >= '0' && key <= '9') return uint32_t(key);
    return 0xFF;  // VK_NONAME-like: something the procedure does not act on
}

bool gCursorShown = true;

bool IsHeadlessDriver(const char* driver) {
    return driver != nullptr && (std::string(driver) == "offscreen" || std::string(driver) == "dummy");
}

}  // namespace

int DisplayCount() {
    if (!InitVideo(nullptr)) return -1;
    return SDL_GetNumVideoDisplays();
}

bool WantsGlEs() {
#ifdef __EMSCRIPTEN__
    return true;
#else
    const char* profile = std::getenv("VELOR_GL_PROFILE");
    return profile != nullptr && std::string(profile) == "es";
#endif
}

std::unique_ptr<Window> Window::Create(const WindowDesc& desc, std::string* error) {
#ifndef _WIN32  // Windows always has its desktop
    if (desc.requireDisplay && std::getenv("SDL_VIDEODRIVER") == nullptr && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr) {
        if (error) *error = "no display to show the demo on (neither DISPLAY nor WAYLAND_DISPLAY is set)";
        return nullptr;
    }
#endif
    if (!InitVideo(error)) return nullptr;
    if (desc.requireDisplay && IsHeadlessDriver(SDL_GetCurrentVideoDriver())) {
        if (error) *error = std::string("no display to show the demo on (only SDL's ") + SDL_GetCurrentVideoDriver() +
                            " video driver is available)";
        return nullptr;
    }
    const bool es = WantsGlEs();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, es ? 0 : 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, es ? SDL_GL_CONTEXT_PROFILE_ES : SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, es ? 0 : SDL_GL_CONTEXT_ROBUST_ACCESS_FLAG);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION,
                        es ? SDL_GL_CONTEXT_RESET_NO_NOTIFICATION : SDL_GL_CONTEXT_RESET_LOSE_CONTEXT);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The window's own framebuffer only receives the scaled back buffer: no depth or stencil needed.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);

    // Full screen is a borderless window over the display; a window of its own size gets a frame
    // and sits in the middle, where a person expects it.
    // High-DPI: the drawable gets the screen's real pixels, which the resolution fit is sized for.
    uint32_t flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI | (desc.fullScreen ? SDL_WINDOW_BORDERLESS : 0);
    flags |= desc.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    // A chosen monitor: a window starts in its middle, a full-screen one at its corner, so that the
    // display the window is found on below is that one.
    int x = desc.fullScreen ? 0 : int(SDL_WINDOWPOS_CENTERED), y = x;
    SDL_Rect chosen;
    if (desc.display >= 0 && SDL_GetDisplayBounds(desc.display, &chosen) == 0) {
        x = desc.fullScreen ? chosen.x : int(SDL_WINDOWPOS_CENTERED_DISPLAY(desc.display));
        y = desc.fullScreen ? chosen.y : x;
    }
    std::unique_ptr<Window> window(new Window());
    window->window_ = SDL_CreateWindow(desc.title, x, y, desc.width, desc.height, flags);
    if (window->window_ == nullptr) {
        if (error) *error = std::string("cannot create the window: ") + SDL_GetError();
        return nullptr;
    }
    // Full screen is a request to the window manager; without one (a bare X server) a window created
    // full screen keeps its small size. So the window is first laid over the whole display, then
    // made full screen for the window managers that honour it.
    SDL_Rect bounds;
    if (desc.fullScreen && SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window->window_), &bounds) == 0) {
        SDL_SetWindowPosition(window->window_, bounds.x, bounds.y);
        SDL_SetWindowSize(window->window_, bounds.w, bounds.h);
        SDL_SetWindowFullscreen(window->window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    window->context_ = SDL_GL_CreateContext(window->window_);
    if (window->context_ == nullptr) {
        // Some drivers refuse the robustness flag; a context without it is still a context.
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_RESET_NOTIFICATION, SDL_GL_CONTEXT_RESET_NO_NOTIFICATION);
        window->context_ = SDL_GL_CreateContext(window->window_);
    }
    if (window->context_ == nullptr) {
        if (error)
            *error = std::string("cannot create an ") + (es ? "OpenGL ES 3.0" : "OpenGL 3.3 core") +
                     " context: " + SDL_GetError();
        return nullptr;
    }
    SDL_GL_SetSwapInterval(0);  // never wait for the vertical retrace
    SDL_ShowCursor(gCursorShown ? SDL_ENABLE : SDL_DISABLE);
    SDL_StartTextInput();
    return window;
}

Window::~Window() {
    if (context_ != nullptr) SDL_GL_DeleteContext(context_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
}

bool Window::MakeContextCurrent() { return SDL_GL_MakeCurrent(window_, context_) == 0; }

void Window::SwapBuffers() { SDL_GL_SwapWindow(window_); }

void Window::SetVsync(bool wait) { SDL_GL_SetSwapInterval(wait ? 1 : 0); }

void Window::GetDrawableSize(int* width, int* height) const { SDL_GL_GetDrawableSize(window_, width, height); }

void Window::SetFullScreen(bool fullScreen, int width, int height) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window_), &bounds) != 0) return;
    if (fullScreen) {
        // As at creation: laid over the display first, for a bare X server that has no window
        // manager to honour the full-screen request.
        SDL_SetWindowBordered(window_, SDL_FALSE);
        SDL_SetWindowPosition(window_, bounds.x, bounds.y);
        SDL_SetWindowSize(window_, bounds.w, bounds.h);
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(window_, 0);
        SDL_SetWindowBordered(window_, SDL_TRUE);
        SDL_SetWindowSize(window_, width, height);
        SDL_SetWindowPosition(window_, bounds.x + (bounds.w - width) / 2, bounds.y + (bounds.h - height) / 2);
    }
}

bool Window::IsFullScreen() const {
    if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return true;
    // Without a window manager the flag may not stick: a borderless window over the display counts.
    SDL_Rect bounds;
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    SDL_GetWindowSize(window_, &w, &h);
    return (SDL_GetWindowFlags(window_) & SDL_WINDOW_BORDERLESS) != 0 &&
           SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window_), &bounds) == 0 && x == bounds.x && y == bounds.y &&
           w == bounds.w && h == bounds.h;
}

void Window::Pump() {
    MessageQueue& queue = ThreadMessageQueue();
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
        case SDL_QUIT:  // the window manager's close, and SIGTERM
            queue.Post(Message{Msg::Close, 0, 0});
            break;
        case SDL_WINDOWEVENT:
            switch (event.window.event) {
            case SDL_WINDOWEVENT_CLOSE: queue.Post(Message{Msg::Close, 0, 0}); break;
            case SDL_WINDOWEVENT_MINIMIZED:
            case SDL_WINDOWEVENT_HIDDEN: hidden_ = true; break;
            case SDL_WINDOWEVENT_RESTORED:
            case SDL_WINDOWEVENT_SHOWN:
            case SDL_WINDOWEVENT_MAXIMIZED: hidden_ = false; break;
            default: break;
            }
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
            bool down = event.type == SDL_KEYDOWN;
            Msg msg = alt ? (down ? Msg::SysKeyDown : Msg::SysKeyUp) : (down ? Msg::KeyDown : Msg::KeyUp);
            queue.Post(Message{msg, VirtualKey(event.key.keysym.sym), alt ? kAltDownBit : 0});
            break;
        }
        case SDL_TEXTINPUT:
            queue.Post(Message{Msg::Char, uint64_t(uint8_t(event.text.text[0])), 0});
            break;
        case SDL_MOUSEMOTION:
            queue.Post(Message{Msg::MouseMove, 0, int64_t(event.motion.x) | (int64_t(event.motion.y) << 16)});
            break;
        default: break;
        }
    }
}

void ShowCursor(bool show) {
    // The program hides the cursor before its window exists; the wish is kept until video is up.
    gCursorShown = show;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void MessageBox(const char* text, const char* caption) {
    std::fprintf(stderr, "%s%s%s\n", caption ? caption : "", caption && *caption ? ": " : "", text);
    // The offscreen and dummy drivers have no way to show a box; the line on stderr stands for it.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && std::string(driver) != "offscreen" && std::string(driver) != "dummy")
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption ? caption : "Error", text, nullptr);
}

}  // namespace velor
