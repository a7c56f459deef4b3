#pragma once
// What a browser object asks of the platform's web view: a top-level window hosting it, and the
// top-level document that finished loading. Each platform implements BrowserWindow over its own
// web-browser control; MiniBrowser above it never knows which one runs.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kesto {

// The top-level document of a finished load, as the document-complete hook sees it. Valid only
// for the length of the hook's call.
class BrowserDocument {
  public:
    virtual ~BrowserDocument() = default;

    // The document's address, as the page reports it.
    virtual std::string Url() const = 0;
    // The text of the whole document, its title included, without markup.
    virtual std::string Text() const = 0;
    // The visible text of every anchor element of the document, in document order.
    virtual std::vector<std::string> AnchorTexts() const = 0;
    // Clicks the anchor at index (of AnchorTexts) when it still reads text; the result is not
    // reported.
    virtual void ClickAnchor(std::size_t index, const std::string& text) = 0;
};

// What the window reports to its browser object, on the thread that runs the window.
class BrowserEvents {
  public:
    virtual ~BrowserEvents() = default;
    // A top-level document finished loading (frames and failed loads report nothing);
    // cookieText is the document's cookie text.
    virtual void OnTopLevelDocumentComplete(std::string cookieText, BrowserDocument& document) = 0;
};

// One top-level window with the platform's web view, created hidden and centred, captioned
// "about:blank" until its first load, then with the current address.
class BrowserWindow {
  public:
    virtual ~BrowserWindow() = default;

    // Whether the window still exists (the user or Close may have closed it).
    virtual bool IsOpen() const = 0;
    // Brings an open window to the front.
    virtual void Present() = 0;
    // Shows the window and starts loading url; false when the load cannot be started.
    virtual bool Navigate(const std::string& url) = 0;
    // Closes the window; the object stays, and IsOpen answers false from then on.
    virtual void Close() = 0;
    // Closes the window once the event being handled has returned: what a document-complete
    // hook calls, since closing destroys the web view whose event is still running. A window
    // object destroyed before then closes nothing more.
    virtual void CloseSoon() = 0;
};

// Makes a new window whose events go to the given receiver, which outlives it.
using BrowserWindowFactory = std::function<std::unique_ptr<BrowserWindow>(BrowserEvents&)>;

}  // namespace kesto
