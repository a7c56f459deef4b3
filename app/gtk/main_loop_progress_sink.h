#pragma once
// The job's messages on their way to the GTK window: Post queues them from the job's thread and
// wakes the main loop, which hands them to the window in order. Posting never waits for the
// window; once the window has gone (Detach), queued and later messages are dropped.

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "app/design_program.h"
#include "job/progress.h"

namespace kesto::gtk {

class MainLoopProgressSink final : public JobMessageSink,
                                   public std::enable_shared_from_this<MainLoopProgressSink> {
  public:
    using MessageReceiver = std::function<void(const ProgressMessage&)>;
    using EndReceiver = std::function<void()>;

    static std::shared_ptr<MainLoopProgressSink> Create(MessageReceiver onMessage,
                                                        EndReceiver onJobEnded);

    // Any thread.
    void Post(ProgressMessage message) override;
    // Any thread: the job has ended; delivered after the job's messages.
    void PostJobEnded() override;
    // Main loop's thread: nothing is delivered from now on.
    void Detach();

  private:
    MainLoopProgressSink(MessageReceiver onMessage, EndReceiver onJobEnded);

    // A message, or the job's end when empty.
    using Item = std::optional<ProgressMessage>;

    void Enqueue(Item item);
    static int Deliver(void* sink);
    static void Release(void* sink);

    MessageReceiver onMessage_;
    EndReceiver onJobEnded_;
    std::mutex lock_;
    std::deque<Item> queue_;
    bool deliveryScheduled_ = false;
    bool detached_ = false;  // read and written on the main loop's thread only
};

}  // namespace kesto::gtk
