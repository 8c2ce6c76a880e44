#include "engine/os/messages.h"

namespace velor {

bool MessageQueue::PeekMessage(Message* out, MessageSource* source, bool remove) {
    if (source != nullptr) source->Pump();
    if (!queue_.empty()) {
        *out = queue_.front();
        if (remove) queue_.pop_front();
        return true;
    }
    if (quitPending_) {
        *out = Message{Msg::Quit, uint64_t(quitCode_), 0};
        if (remove) quitPending_ = false;
        return true;
    }
    return false;
}

MessageQueue& ThreadMessageQueue() {
    static MessageQueue queue;
    return queue;
}

void PostQuitMessage(int exitCode) { ThreadMessageQueue().PostQuitMessage(exitCode); }

int64_t DefWindowProc(const Message& message, WindowProcedure procedure) {
    if (message.message == Msg::SysKeyDown && message.wParam == Vk::F4 && (message.lParam & kAltDownBit) != 0)
        return procedure(Message{Msg::Close, 0, 0});
    return 0;
}

}  // namespace velor
