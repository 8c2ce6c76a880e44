#pragma once
// The main window: a borderless full-screen SDL window with an OpenGL 3.3 core (or ES 3.0)
// context, whose events become window messages. Headless runs use SDL's `offscreen` video driver, where the window
// exists only as a GL drawable.
#include <memory>
#include <string>

#include "engine/os/messages.h"

struct SDL_Window;

namespace velor {

struct WindowDesc {
    const char* title = "";
    int width = 400, height = 400;  // the size before it goes full screen
    bool fullScreen = true;         // SDL_WINDOW_FULLSCREEN_DESKTOP
    bool visible = true;
    // A program a person watches needs a real display; SDL would otherwise fall back to its
    // invisible offscreen driver. Headless tools and tests turn this off (and pick the driver).
    bool requireDisplay = true;
    int display = -1;  // the monitor, counted from 0; -1: wherever the system puts it
};

class Window final : public MessageSource {
public:
    // nullptr with the reason in `error` when SDL's video or the window or its GL context fails.
    static std::unique_ptr<Window> Create(const WindowDesc& desc, std::string* error);
    ~Window() override;

    void Pump() override;  // SDL events → thread message queue
    bool IsHidden() const { return hidden_; }  // minimised or hidden: the device reports lost
    bool MakeContextCurrent();
    void SwapBuffers();
    // Whether SwapBuffers waits for the vertical retrace (off from creation).
    void SetVsync(bool wait);
    void GetDrawableSize(int* width, int* height) const;
    // Full screen on the display the window is on, or back to a framed window of `width` x `height`
    // in that display's middle. The drawable changes size; the back buffer does not.
    void SetFullScreen(bool fullScreen, int width, int height);
    bool IsFullScreen() const;

private:
    Window() = default;
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    bool hidden_ = false;
};

// How many monitors the video system sees; -1 when it cannot start (no display at all), which
// Window::Create then reports.
int DisplayCount();

// Whether windows get an OpenGL ES 3.0 context rather than a 3.3 core one: always in a browser;
// natively when the environment says VELOR_GL_PROFILE=es.
bool WantsGlEs();

// ShowCursor(FALSE).
void ShowCursor(bool show);
// A modal message box with an OK button; without a display it prints the text on stderr.
void MessageBox(const char* text, const char* caption);

}  // namespace velor
