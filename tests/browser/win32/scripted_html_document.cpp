// The control double's scripted HTML document (see fake_web_browser.h), built against the
// interfaces' C declarations: the document answers its address, its cookie text, its title, its
// body and its "all" collection (the same object), whose items are the log's elements; an element
// reads its text and records a click, and answers for the anchor interface when it is an anchor.
// The body is an element that is no anchor.
#define CINTERFACE
#define CONST_VTABLE

#include <windows.h>

#include <mshtml.h>

#include "browser/win32/browser_ids.h"
#include "tests/browser/win32/c_interface.h"
#include "tests/browser/win32/fake_web_browser.h"

namespace kesto::testing {

namespace {

HRESULT CopyText(const std::wstring& text, BSTR* copy) {
    *copy = SysAllocString(text.c_str());
    return *copy != nullptr ? S_OK : E_OUTOFMEMORY;
}

// A counted object of the double; the derived object's faces point at it.
class Counted {
  public:
    Counted() = default;
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
    ULONG AddRef() { return ++references_; }
    ULONG Release() {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

  protected:
    virtual ~Counted() = default;

  private:
    ULONG references_ = 1;
};

// The body's index among the elements.
constexpr std::size_t kBody = static_cast<std::size_t>(-1);

class Element final : public Counted {
  public:
    Element(std::shared_ptr<FakeBrowserLog> log, std::size_t index);
    HRESULT QueryInterface(REFIID iid, void** object);
    HRESULT InnerText(BSTR* text) const {
        return CopyText(index_ == kBody ? log_->bodyText : log_->elements[index_].innerText, text);
    }
    HRESULT Click() const {
        log_->clicks.push_back(index_);
        return S_OK;
    }

  private:
    std::shared_ptr<FakeBrowserLog> log_;
    std::size_t index_;
    Face<Element> element_;
    Face<Element> anchor_;
};

class Document final : public Counted {
  public:
    explicit Document(std::shared_ptr<FakeBrowserLog> log);
    HRESULT QueryInterface(REFIID iid, void** object);
    HRESULT All(IHTMLElementCollection** all) {
        return HandOut<IHTMLElementCollection>(all_, reinterpret_cast<void**>(all));
    }
    HRESULT Url(BSTR* url) const { return CopyText(log_->documentUrl, url); }
    HRESULT Cookie(BSTR* cookie) const { return CopyText(log_->documentCookie, cookie); }
    HRESULT Title(BSTR* title) const { return CopyText(log_->documentTitle, title); }
    HRESULT Body(IHTMLElement** body) const;
    HRESULT Length(LONG* length) const {
        *length = static_cast<LONG>(log_->elements.size());
        return S_OK;
    }
    HRESULT Item(const VARIANT& index, IDispatch** item) const;

  private:
    std::shared_ptr<FakeBrowserLog> log_;
    Face<Document> document_;
    Face<Document> all_;
};

IHTMLElementVtbl MakeElementTable() {
    IHTMLElementVtbl table{};
    FillUnknown<Element, IHTMLElement>(table);
    table.get_innerText = [](IHTMLElement* self, BSTR* text) {
        return OwnerOf<Element>(self).InnerText(text);
    };
    table.click = [](IHTMLElement* self) { return OwnerOf<Element>(self).Click(); };
    return table;
}

IHTMLAnchorElementVtbl MakeAnchorTable() {
    IHTMLAnchorElementVtbl table{};
    FillUnknown<Element, IHTMLAnchorElement>(table);
    return table;
}

IHTMLDocument2Vtbl MakeDocumentTable() {
    IHTMLDocument2Vtbl table{};
    FillUnknown<Document, IHTMLDocument2>(table);
    table.get_all = [](IHTMLDocument2* self, IHTMLElementCollection** all) {
        return OwnerOf<Document>(self).All(all);
    };
    table.get_URL = [](IHTMLDocument2* self, BSTR* url) {
        return OwnerOf<Document>(self).Url(url);
    };
    table.get_cookie = [](IHTMLDocument2* self, BSTR* cookie) {
        return OwnerOf<Document>(self).Cookie(cookie);
    };
    table.get_title = [](IHTMLDocument2* self, BSTR* title) {
        return OwnerOf<Document>(self).Title(title);
    };
    table.get_body = [](IHTMLDocument2* self, IHTMLElement** body) {
        return OwnerOf<Document>(self).Body(body);
    };
    return table;
}

IHTMLElementCollectionVtbl MakeCollectionTable() {
    IHTMLElementCollectionVtbl table{};
    FillUnknown<Document, IHTMLElementCollection>(table);
    table.get_length = [](IHTMLElementCollection* self, LONG* length) {
        return OwnerOf<Document>(self).Length(length);
    };
    table.item = [](IHTMLElementCollection* self, VARIANT, VARIANT index, IDispatch** item) {
        return OwnerOf<Document>(self).Item(index, item);
    };
    return table;
}

const IHTMLElementVtbl kElementTable = MakeElementTable();
const IHTMLAnchorElementVtbl kAnchorTable = MakeAnchorTable();
const IHTMLDocument2Vtbl kDocumentTable = MakeDocumentTable();
const IHTMLElementCollectionVtbl kCollectionTable = MakeCollectionTable();

Element::Element(std::shared_ptr<FakeBrowserLog> log, std::size_t index)
    : log_(std::move(log)),
      index_(index),
      element_{&kElementTable, this},
      anchor_{&kAnchorTable, this} {}

HRESULT Element::QueryInterface(REFIID iid, void** object) {
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, win32::kHtmlElementInterface)) {
        return HandOut<IHTMLElement>(element_, object);
    }
    if (IsEqualIID(iid, win32::kHtmlAnchorElementInterface) && index_ != kBody &&
        log_->elements[index_].anchor) {
        return HandOut<IHTMLAnchorElement>(anchor_, object);
    }
    return E_NOINTERFACE;
}

Document::Document(std::shared_ptr<FakeBrowserLog> log)
    : log_(std::move(log)), document_{&kDocumentTable, this}, all_{&kCollectionTable, this} {}

HRESULT Document::QueryInterface(REFIID iid, void** object) {
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, win32::kHtmlDocument2Interface)) {
        return HandOut<IHTMLDocument2>(document_, object);
    }
    return E_NOINTERFACE;
}

HRESULT Document::Body(IHTMLElement** body) const {
    auto* element = new Element(log_, kBody);
    const HRESULT answer =
        element->QueryInterface(win32::kHtmlElementInterface, reinterpret_cast<void**>(body));
    element->Release();
    return answer;
}

HRESULT Document::Item(const VARIANT& index, IDispatch** item) const {
    *item = nullptr;
    if (index.vt != VT_I4 || index.lVal < 0 ||
        static_cast<std::size_t>(index.lVal) >= log_->elements.size()) {
        return E_INVALIDARG;
    }
    auto* element = new Element(log_, static_cast<std::size_t>(index.lVal));
    const HRESULT answer = element->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(item));
    element->Release();
    return answer;
}

}  // namespace

HRESULT MakeScriptedDocument(const std::shared_ptr<FakeBrowserLog>& log, const IID& iid,
                             void** object) {
    auto* document = new Document(log);
    const HRESULT answer = document->QueryInterface(iid, object);
    document->Release();
    return answer;
}

}  // namespace kesto::testing
