#include "app/gtk/main_loop_progress_sink.h"

#include <glib.h>

#include <utility>

namespace kesto::gtk {

std::shared_ptr<MainLoopProgressSink> MainLoopProgressSink::Create(MessageReceiver onMessage,
                                                                   EndReceiver onJobEnded) {
    return std::shared_ptr<MainLoopProgressSink>(
        new MainLoopProgressSink(std::move(onMessage), std::move(onJobEnded)));
}

MainLoopProgressSink::MainLoopProgressSink(MessageReceiver onMessage, EndReceiver onJobEnded)
    : onMessage_(std::move(onMessage)), onJobEnded_(std::move(onJobEnded)) {}

void MainLoopProgressSink::Post(ProgressMessage message) {
    Enqueue(std::move(message));
}

void MainLoopProgressSink::PostJobEnded() {
    Enqueue(std::nullopt);
}

void MainLoopProgressSink::Detach() {
    detached_ = true;
    onMessage_ = nullptr;
    onJobEnded_ = nullptr;
}

void MainLoopProgressSink::Enqueue(Item item) {
    const std::lock_guard lock(lock_);
    queue_.push_back(std::move(item));
    if (!deliveryScheduled_) {
        deliveryScheduled_ = true;
        // The idle source holds the sink alive until it has run.
        g_idle_add_full(G_PRIORITY_DEFAULT, &MainLoopProgressSink::Deliver,
                        new std::shared_ptr<MainLoopProgressSink>(shared_from_this()),
                        &MainLoopProgressSink::Release);
    }
}

int MainLoopProgressSink::Deliver(void* data) {
    MainLoopProgressSink& sink = **static_cast<std::shared_ptr<MainLoopProgressSink>*>(data);
    std::deque<Item> items;
    {
        const std::lock_guard lock(sink.lock_);
        items.swap(sink.queue_);
        sink.deliveryScheduled_ = false;
    }
    for (const Item& item : items) {
        if (sink.detached_) {
            break;
        }
        if (item) {
            sink.onMessage_(*item);
        } else if (sink.onJobEnded_) {
            sink.onJobEnded_();
        }
    }
    return G_SOURCE_REMOVE;
}

void MainLoopProgressSink::Release(void* data) {
    delete static_cast<std::shared_ptr<MainLoopProgressSink>*>(data);
}

}  // namespace kesto::gtk
