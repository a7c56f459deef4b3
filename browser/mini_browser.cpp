#include "browser/mini_browser.h"

#include <utility>

namespace kesto {

MiniBrowser::MiniBrowser(BrowserWindowFactory makeWindow) : makeWindow_(std::move(makeWindow)) {}

MiniBrowser::~MiniBrowser() = default;

int MiniBrowser::Create() {
    if (window_ && window_->IsOpen()) {
        window_->Present();
        return 0;
    }
    // A closed window's object is replaced; no event of it is pending outside its own calls.
    window_.reset();
    if (makeWindow_) {
        window_ = makeWindow_(*this);
    }
    return 0;
}

bool MiniBrowser::Navigate(const std::string& url) {
    DiscardCookie();
    if (!window_ || !window_->IsOpen()) {
        return false;
    }
    OnNavigate();
    return window_->Navigate(url);
}

std::optional<std::string> MiniBrowser::GetCookie() {
    const std::lock_guard lock(cookieLock_);
    if (cookieText_.empty()) {
        return std::nullopt;
    }
    return cookieText_;
}

void MiniBrowser::Close() {
    if (window_) {
        window_->Close();
    }
}

void MiniBrowser::CloseSoon() {
    if (window_) {
        window_->CloseSoon();
    }
}

bool MiniBrowser::HasOpenWindow() const {
    return window_ && window_->IsOpen();
}

void MiniBrowser::OnNavigate() {}

void MiniBrowser::OnDocumentComplete(BrowserDocument& /*document*/) {}

void MiniBrowser::DiscardCookie() {
    const std::lock_guard lock(cookieLock_);
    cookieText_.clear();
}

void MiniBrowser::OnTopLevelDocumentComplete(std::string cookieText, BrowserDocument& document) {
    {
        const std::lock_guard lock(cookieLock_);
        cookieText_ = std::move(cookieText);
    }
    OnDocumentComplete(document);
}

}  // namespace kesto
