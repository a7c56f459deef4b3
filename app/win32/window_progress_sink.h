#pragma once
// The decoration job's progress sink on Windows: each message is posted to the dialog window
// with its own number (2024 to 2124), its result in lParam and the whole message, text and all,
// on the heap in wParam; the dialog takes it back with TakePostedMessage. When the job ends, a
// job-ended message follows the job's last progress message.

#include <windows.h>

#include <memory>
#include <mutex>

#include "app/job_messages.h"
#include "job/progress.h"

namespace kesto::win32 {

// Posted after a job's last message, however the job ended.
inline constexpr UINT kJobEndedMessage = WM_APP + 1;
inline constexpr UINT kFirstProgressMessage = 2024;
inline constexpr UINT kLastProgressMessage = 2124;

class WindowProgressSink final : public JobMessageSink {
  public:
    explicit WindowProgressSink(HWND dialog) : dialog_(dialog) {}

    void Post(ProgressMessage message) override;
    void PostJobEnded() override;
    // The dialog is going away: later messages are dropped, and those still queued are freed.
    void Detach();

  private:
    std::mutex lock_;
    HWND dialog_;
};

// The message a posted window message carries; the caller owns it.
std::unique_ptr<ProgressMessage> TakePostedMessage(WPARAM wParam);

}  // namespace kesto::win32
