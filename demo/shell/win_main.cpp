#include "demo/shell/win_main.h"

#include <cstdio>

#include "demo/content/demo_resources.h"
#include "demo/shell/frame_loop.h"
#include "demo/shell/graphics_init.h"
#include "demo/shell/input_init.h"
#include "demo/shell/shell_state.h"
#include "demo/timeline/demo_timeline.h"
#include "engine/image/image_prefetch.h"

namespace velor::demo {

namespace {

constexpr const char* kTextureFolder = "textures";  // the demo's own images, beside it

// The frame target of the real program: the device and RenderFrame.
class DeviceFrameTarget final : public FrameTarget {
public:
    Result TestCooperativeLevel() override { return gShell.device->TestCooperativeLevel(); }
    void Reset() override { ResetDevice(); }
    void RenderFrame() override { demo::RenderFrame(); }
    void ShowMessageBox(const char* text) override { MessageBox(text, nullptr); }
};

bool CreateMainWindow(const ShellOptions& options) {
    WindowDesc desc;
    desc.title = "";
    desc.width = options.fullScreen ? 400 : options.windowWidth;
    desc.height = options.fullScreen ? 400 : options.windowHeight;
    desc.fullScreen = options.fullScreen;
    desc.visible = options.visibleWindow;
    desc.requireDisplay = !options.headless;
    desc.display = options.display;
    std::string error;
    gShell.mainWindow = Window::Create(desc, &error);
    if (gShell.mainWindow == nullptr) {
        std::fprintf(stderr, "velor: %s\n", error.c_str());
        return false;
    }
    return true;
}

bool QuitPending() {
    Message message;
    return ThreadMessageQueue().PeekMessage(&message, nullptr, false) && message.message == Msg::Quit;
}

}  // namespace

void RenderFrame() {
    Device* device = gShell.device.get();
    device->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
    device->BeginScene();
    ReadInput();
    DemoTimeline(gShell.frameDelta);
    device->EndScene();
    device->Present();
}

int WinMain(const ShellOptions& options) {
    ShowCursor(false);
    // The textures decode on a second core while the window, the device and the meshes are made.
    PrefetchImageFiles(ImageFilesIn(kTextureFolder));
    struct EndPrefetch {
        ~EndPrefetch() { EndImagePrefetch(); }
    } endPrefetch;
    if (!CreateMainWindow(options)) return 1;
    InitGraphics(options.pixelScale, options.vsync, options.frame);
    if (gShell.device == nullptr) {
        // An adapter that cannot blend into a float target quits quietly with code 0; any other
        // missing device is an error the user should hear about.
        if (QuitPending()) return RunMessageLoop(*std::make_unique<DeviceFrameTarget>(), *options.clock, gShell.mainWindow.get());
        std::fprintf(stderr, "velor: cannot create the graphics device (OpenGL 3.3 core with float render targets)\n");
        return 1;
    }
    InitInput();
    CreateDemoResources(options.startMusic);
    EndImagePrefetch();
    if (options.afterStartUp) options.afterStartUp();
    StartFrameClock(*options.clock);
    DeviceFrameTarget target;
    int exitCode = RunMessageLoop(target, *options.clock, gShell.mainWindow.get(), options.afterFrame, options.afterLoop);
    gShell.device.reset();
    gShell.direct3d.reset();
    return exitCode;
}

}  // namespace velor::demo
