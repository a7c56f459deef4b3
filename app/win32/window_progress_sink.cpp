#include "app/win32/window_progress_sink.h"

namespace kesto::win32 {

void WindowProgressSink::Post(ProgressMessage message) {
    const std::lock_guard guard(lock_);
    if (dialog_ == nullptr) {
        return;
    }
    auto posted = std::make_unique<ProgressMessage>(std::move(message));
    const auto number = static_cast<UINT>(ProgressNumber(posted->kind));
    const auto result = static_cast<LPARAM>(posted->result);
    if (PostMessageW(dialog_, number, reinterpret_cast<WPARAM>(posted.get()), result)) {
        static_cast<void>(posted.release());  // the dialog owns it now
    }
}

void WindowProgressSink::PostJobEnded() {
    const std::lock_guard guard(lock_);
    if (dialog_ != nullptr) {
        PostMessageW(dialog_, kJobEndedMessage, 0, 0);
    }
}

void WindowProgressSink::PostShopFrontNotOpened() {
    const std::lock_guard guard(lock_);
    if (dialog_ != nullptr) {
        PostMessageW(dialog_, kShopFrontNotOpenedMessage, 0, 0);
    }
}

void WindowProgressSink::Detach() {
    HWND dialog = nullptr;
    {
        const std::lock_guard guard(lock_);
        dialog = dialog_;
        dialog_ = nullptr;
    }
    if (dialog == nullptr) {
        return;
    }
    MSG queued{};
    while (PeekMessageW(&queued, dialog, kFirstProgressMessage, kLastProgressMessage, PM_REMOVE)) {
        TakePostedMessage(queued.wParam);
    }
}

std::unique_ptr<ProgressMessage> TakePostedMessage(WPARAM wParam) {
    return std::unique_ptr<ProgressMessage>(reinterpret_cast<ProgressMessage*>(wParam));
}

}  // namespace kesto::win32
