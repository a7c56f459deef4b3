#pragma once
// BrowserDocument over the control's HTML document: its address, its title and body text, and
// the anchors of its "all" collection walked in document order.

#include <windows.h>

#include <mshtml.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "browser/browser_window.h"

namespace kesto::win32 {

class HtmlDocument final : public BrowserDocument {
  public:
    // A null document reads as an empty address and text without anchors.
    explicit HtmlDocument(IHTMLDocument2* document) : document_(document) {}

    std::string Url() const override;
    std::string Text() const override;
    std::vector<std::string> AnchorTexts() const override;
    void ClickAnchor(std::size_t index, const std::string& text) override;

  private:
    Microsoft::WRL::ComPtr<IHTMLDocument2> document_;
    // The anchors AnchorTexts found, so that ClickAnchor reaches the same element.
    mutable std::vector<Microsoft::WRL::ComPtr<IHTMLElement>> anchors_;
};

// A system string's text as UTF-8; empty for a null string.
std::string SystemStringText(BSTR text);

}  // namespace kesto::win32
