#pragma once
// A browser window that records what is asked of it and lets a test complete documents. A
// close asked for with CloseSoon happens once the completing document's event has returned.

#include <memory>
#include <string>
#include <vector>

#include "browser/browser_window.h"

namespace kesto::testing {

struct FakeWindowLog {
    int created = 0;
    int presented = 0;
    std::vector<std::string> navigations;
    // Close called from inside a document's event, which the platforms' windows do not survive.
    int closedDuringEvent = 0;
};

class FakeDocument final : public BrowserDocument {
  public:
    FakeDocument(std::string url, std::vector<std::string> anchors, std::string text = {})
        : url_(std::move(url)), anchors_(std::move(anchors)), text_(std::move(text)) {}
    std::string Url() const override { return url_; }
    std::string Text() const override { return text_; }
    std::vector<std::string> AnchorTexts() const override { return anchors_; }
    void ClickAnchor(std::size_t index, const std::string& text) override {
        clicks.emplace_back(index, text);
    }
    std::vector<std::pair<std::size_t, std::string>> clicks;

  private:
    std::string url_;
    std::vector<std::string> anchors_;
    std::string text_;
};

class FakeBrowserWindow final : public BrowserWindow {
  public:
    FakeBrowserWindow(BrowserEvents& events, FakeWindowLog& log) : events_(events), log_(log) {
        ++log_.created;
    }
    bool IsOpen() const override { return open_; }
    void Present() override { ++log_.presented; }
    bool Navigate(const std::string& url) override {
        log_.navigations.push_back(url);
        return true;
    }
    void Close() override {
        log_.closedDuringEvent += inEvent_ ? 1 : 0;
        open_ = false;
    }
    void CloseSoon() override { closeAsked_ = true; }

    void Complete(const std::string& cookieText, BrowserDocument& document) {
        inEvent_ = true;
        events_.OnTopLevelDocumentComplete(cookieText, document);
        inEvent_ = false;
        if (closeAsked_) {
            open_ = false;
        }
    }

  private:
    BrowserEvents& events_;
    FakeWindowLog& log_;
    bool open_ = true;
    bool inEvent_ = false;
    bool closeAsked_ = false;
};

// A factory whose newest window the test can reach.
struct FakeWindows {
    FakeWindowLog log;
    FakeBrowserWindow* newest = nullptr;

    BrowserWindowFactory Factory() {
        return [this](BrowserEvents& events) {
            auto window = std::make_unique<FakeBrowserWindow>(events, log);
            newest = window.get();
            return window;
        };
    }
};

}  // namespace kesto::testing
