#pragma once
// The decoration job's progress sink on Windows: each message is posted to the dialog window as
// the window message its kind numbers (2024 to 2124, job/progress_numbers.h), its result in lParam
// and the whole message, text and all, on the heap in wParam; the dialog takes it back with
// TakePostedMessage. When the job ends, a job-ended message follows the job's last progress
// message.

#include <windows.h>

#include <memory>
#include <mutex>

#include "app/design_program.h"
#include "job/progress.h"
#include "job/progress_numbers.h"

namespace kesto::win32 {

// Posted after a job's last message, however the job ended.
inline constexpr UINT kJobEndedMessage = WM_APP + 1;
// Posted when the shop front, opened on a thread of its own, could not be opened.
inline constexpr UINT kShopFrontNotOpenedMessage = WM_APP + 2;
inline constexpr UINT kFirstProgressMessage = kFirstProgressNumber;
inline constexpr UINT kLastProgressMessage = kLastProgressNumber;

class WindowProgressSink final : public JobMessageSink {
  public:
    explicit WindowProgressSink(HWND dialog) : dialog_(dialog) {}

    void Post(ProgressMessage message) override;
    void PostJobEnded() override;
    void PostShopFrontNotOpened() override;
    // The dialog is going away: later messages are dropped, and those still queued are freed.
    void Detach();

  private:
    std::mutex lock_;
    HWND dialog_;
};

// Whether a window message is one of the job's progress messages: every number of their range
// is, so that each posted message is freed however it is numbered.
constexpr bool IsProgressMessage(UINT message) {
    return message >= kFirstProgressMessage && message <= kLastProgressMessage;
}

// The message a posted window message carries; the caller owns it.
std::unique_ptr<ProgressMessage> TakePostedMessage(WPARAM wParam);

}  // namespace kesto::win32
