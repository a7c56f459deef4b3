#include "browser/win32/html_document.h"

#include "browser/win32/browser_ids.h"
#include "platform/win32/wide_text.h"

namespace kesto::win32 {

namespace {

using Microsoft::WRL::ComPtr;

class SystemString {
  public:
    SystemString() = default;
    ~SystemString() { SysFreeString(text_); }
    SystemString(const SystemString&) = delete;
    SystemString& operator=(const SystemString&) = delete;
    BSTR* out() { return &text_; }
    BSTR get() const { return text_; }

  private:
    BSTR text_ = nullptr;
};

VARIANT IndexVariant(long index) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = index;
    return value;
}

// The item at the index of the collection, fetched with name and index both set to it.
ComPtr<IDispatch> ItemAt(IHTMLElementCollection& all, long index) {
    ComPtr<IDispatch> item;
    if (FAILED(all.item(IndexVariant(index), IndexVariant(index), item.GetAddressOf()))) {
        return nullptr;
    }
    return item;
}

std::string InnerText(IHTMLElement& element) {
    SystemString text;
    element.get_innerText(text.out());
    return SystemStringText(text.get());
}

}  // namespace

std::string SystemStringText(BSTR text) {
    return text == nullptr ? std::string() : Narrow(std::wstring_view(text, SysStringLen(text)));
}

std::string HtmlDocument::Url() const {
    if (!document_) {
        return {};
    }
    SystemString url;
    document_->get_URL(url.out());
    return SystemStringText(url.get());
}

// The title, then the body's text: the title stands outside the body.
std::string HtmlDocument::Text() const {
    if (!document_) {
        return {};
    }
    SystemString title;
    document_->get_title(title.out());
    std::string text = SystemStringText(title.get());
    ComPtr<IHTMLElement> body;
    if (SUCCEEDED(document_->get_body(body.GetAddressOf())) && body) {
        text += '\n';
        text += InnerText(*body.Get());
    }
    return text;
}

std::vector<std::string> HtmlDocument::AnchorTexts() const {
    anchors_.clear();
    std::vector<std::string> texts;
    ComPtr<IHTMLElementCollection> all;
    if (!document_ || FAILED(document_->get_all(all.GetAddressOf())) || !all) {
        return texts;
    }
    long length = 0;
    if (FAILED(all->get_length(&length))) {
        return texts;
    }
    for (long index = 0; index < length; ++index) {
        const ComPtr<IDispatch> item = ItemAt(*all.Get(), index);
        ComPtr<IHTMLAnchorElement> anchor;
        ComPtr<IHTMLElement> element;
        if (!item ||
            FAILED(item->QueryInterface(kHtmlAnchorElementInterface,
                                        reinterpret_cast<void**>(anchor.GetAddressOf()))) ||
            FAILED(item->QueryInterface(kHtmlElementInterface,
                                        reinterpret_cast<void**>(element.GetAddressOf())))) {
            continue;
        }
        texts.push_back(InnerText(*element.Get()));
        anchors_.push_back(element);
    }
    return texts;
}

void HtmlDocument::ClickAnchor(std::size_t index, const std::string& text) {
    if (index >= anchors_.size() || !anchors_[index]) {
        return;
    }
    IHTMLElement& anchor = *anchors_[index].Get();
    if (InnerText(anchor) == text) {
        anchor.click();
    }
}

}  // namespace kesto::win32
