#include "image/graphics_startup.h"

#include <memory>
#include <mutex>

#include "platform/graphics.h"

namespace kesto {
namespace {

struct GraphicsSlot {
    std::mutex lock;
    int users = 0;
    std::unique_ptr<GraphicsLibrary> library;
};

GraphicsSlot& Slot() {
    static GraphicsSlot slot;
    return slot;
}

}  // namespace

bool StartGraphics() {
    GraphicsSlot& slot = Slot();
    const std::lock_guard<std::mutex> guard(slot.lock);
    if (!slot.library) {
        slot.library = StartGraphicsLibrary();
        if (!slot.library) {
            return false;
        }
    }
    ++slot.users;
    return true;
}

void StopGraphics() {
    GraphicsSlot& slot = Slot();
    const std::lock_guard<std::mutex> guard(slot.lock);
    if (slot.users == 0) {
        return;
    }
    if (--slot.users == 0) {
        slot.library.reset();
    }
}

bool GraphicsRunning() {
    GraphicsSlot& slot = Slot();
    const std::lock_guard<std::mutex> guard(slot.lock);
    return slot.library != nullptr;
}

}  // namespace kesto
