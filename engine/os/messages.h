#pragma once
// Window messages as the demo's window procedure sees them, with Win32's numeric values, and the
// thread's message queue (PeekMessage / PostQuitMessage). The window turns SDL's events into these.
#include <cstdint>
#include <deque>

namespace velor {

enum class Msg : uint32_t {
    Null = 0x0000,
    Destroy = 0x0002,
    Close = 0x0010,
    Quit = 0x0012,
    KeyDown = 0x0100,
    KeyUp = 0x0101,
    Char = 0x0102,
    SysKeyDown = 0x0104,
    SysKeyUp = 0x0105,
    Command = 0x0111,
    MouseMove = 0x0200,
    LButtonDown = 0x0201,
    LButtonUp = 0x0202,
};

// Virtual-key codes the window procedure tests.
namespace Vk {
constexpr uint32_t Tab = 0x09;
constexpr uint32_t Return = 0x0D;
constexpr uint32_t Menu = 0x12;  // Alt
constexpr uint32_t Escape = 0x1B;
constexpr uint32_t Space = 0x20;
constexpr uint32_t Home = 0x24;
constexpr uint32_t Left = 0x25;
constexpr uint32_t Right = 0x27;
constexpr uint32_t F1 = 0x70;
constexpr uint32_t F4 = 0x73;
constexpr uint32_t F11 = 0x7A;
constexpr uint32_t F12 = 0x7B;
}  // namespace Vk

struct Message {
    Msg message = Msg::Null;
    uint64_t wParam = 0;
    int64_t lParam = 0;  // for key messages bit 29 carries the Alt state, as in Win32
};

constexpr int64_t kAltDownBit = int64_t(1) << 29;

// Where the message loop gets its messages: the real window, or a script in tests.
class MessageSource {
public:
    virtual ~MessageSource() = default;
    // Moves any new platform events into the queue (the window's event pump).
    virtual void Pump() = 0;
};

// The thread's queue. Posted messages (WM_QUIT among them) come out in order after the pumped ones.
class MessageQueue {
public:
    void Post(const Message& message) { queue_.push_back(message); }
    void PostQuitMessage(int exitCode) { quitPending_ = true, quitCode_ = exitCode; }
    // PeekMessage: with remove, takes the first message. WM_QUIT is delivered once the queue is empty
    // of other messages, as Win32 does.
    bool PeekMessage(Message* out, MessageSource* source, bool remove);

private:
    std::deque<Message> queue_;
    bool quitPending_ = false;
    int quitCode_ = 0;
};

MessageQueue& ThreadMessageQueue();

// PostQuitMessage on the thread's queue.
void PostQuitMessage(int exitCode);

// DefWindowProc for the messages this program leaves to it: Alt+F4 (a system key F4) closes the
// window by sending WM_CLOSE back to the procedure, as Windows does; everything else is ignored.
using WindowProcedure = int64_t (*)(const Message& message);
int64_t DefWindowProc(const Message& message, WindowProcedure procedure);

}  // namespace velor
