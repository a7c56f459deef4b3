// The web-browser control's test double (see the header), built against the interfaces' C
// declarations.
#define CINTERFACE
#define CONST_VTABLE

#include "tests/browser/win32/fake_web_browser.h"

#include <exdisp.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include "browser/win32/browser_ids.h"
#include "tests/browser/win32/c_interface.h"

namespace kesto::testing {

namespace {

using win32::kWebBrowserEvents2Interface;

constexpr wchar_t kControlWindowClass[] = L"KestoFakeWebBrowser";
constexpr DWORD kAdviseCookie = 1;

bool IsKeyMessage(UINT message) {
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

// The control's own window records the key messages that reach it.
LRESULT CALLBACK ControlWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* log = reinterpret_cast<FakeBrowserLog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (log != nullptr && IsKeyMessage(message)) {
        log->dispatched.push_back(message);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterControlWindowClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &ControlWindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kControlWindowClass;
    RegisterClassExW(&windowClass);  // fails harmlessly once registered
}

class FakeWebBrowser {
  public:
    explicit FakeWebBrowser(std::shared_ptr<FakeBrowserLog> log);
    FakeWebBrowser(const FakeWebBrowser&) = delete;
    FakeWebBrowser& operator=(const FakeWebBrowser&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object);
    ULONG AddRef() { return ++references_; }
    ULONG Release();
    FakeBrowserLog& log() const { return *log_; }

    // IOleObject
    HRESULT SetClientSite(IOleClientSite* site);
    HRESULT DoVerb(LONG verb, HWND parent, const RECT* area);
    HRESULT Close();
    // IOleInPlaceObject
    HRESULT InPlaceDeactivate();
    HRESULT UIDeactivate();
    // IWebBrowser2
    HRESULT GetDocument(IDispatch** document) const;
    VARIANT_BOOL silent = VARIANT_FALSE;
    // IConnectionPointContainer and IConnectionPoint
    HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point);
    HRESULT Advise(IUnknown* sink, DWORD* cookie);
    HRESULT Unadvise(DWORD cookie);

  private:
    ~FakeWebBrowser();
    HRESULT ActivateInPlace(HWND parent, const RECT* area);
    HRESULT ActivateUi(HWND parent, const RECT* area);
    void ReleaseSink();

    ULONG references_ = 1;
    std::shared_ptr<FakeBrowserLog> log_;
    Ref<IOleClientSite> site_;
    Ref<IOleInPlaceSite> inPlaceSite_;
    Ref<IOleInPlaceFrame> frame_;
    Face<FakeWebBrowser> oleObject_;
    Face<FakeWebBrowser> inPlaceObject_;
    Face<FakeWebBrowser> activeObject_;
    Face<FakeWebBrowser> browser_;
    Face<FakeWebBrowser> container_;
    Face<FakeWebBrowser> point_;
};

using Self = FakeWebBrowser;

IOleObjectVtbl MakeOleObjectTable() {
    IOleObjectVtbl table{};
    FillUnknown<Self, IOleObject>(table);
    table.SetClientSite = [](IOleObject* self, IOleClientSite* site) {
        return OwnerOf<Self>(self).SetClientSite(site);
    };
    table.DoVerb = [](IOleObject* self, LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent,
                      LPCRECT area) { return OwnerOf<Self>(self).DoVerb(verb, parent, area); };
    table.Close = [](IOleObject* self, DWORD) { return OwnerOf<Self>(self).Close(); };
    return table;
}

IOleInPlaceObjectVtbl MakeInPlaceObjectTable() {
    IOleInPlaceObjectVtbl table{};
    FillUnknown<Self, IOleInPlaceObject>(table);
    table.GetWindow = [](IOleInPlaceObject* self, HWND* window) {
        *window = OwnerOf<Self>(self).log().window;
        return *window != nullptr ? S_OK : E_FAIL;
    };
    table.InPlaceDeactivate = [](IOleInPlaceObject* self) {
        return OwnerOf<Self>(self).InPlaceDeactivate();
    };
    table.UIDeactivate = [](IOleInPlaceObject* self) { return OwnerOf<Self>(self).UIDeactivate(); };
    table.SetObjectRects = [](IOleInPlaceObject* self, LPCRECT area, LPCRECT) {
        MoveWindow(OwnerOf<Self>(self).log().window, area->left, area->top,
                   area->right - area->left, area->bottom - area->top, FALSE);
        return S_OK;
    };
    return table;
}

IOleInPlaceActiveObjectVtbl MakeActiveObjectTable() {
    IOleInPlaceActiveObjectVtbl table{};
    FillUnknown<Self, IOleInPlaceActiveObject>(table);
    table.TranslateAccelerator = [](IOleInPlaceActiveObject* self, LPMSG message) {
        FakeBrowserLog& log = OwnerOf<Self>(self).log();
        log.translated.push_back(message->message);
        return log.keyAnswer;
    };
    table.OnFrameWindowActivate = [](IOleInPlaceActiveObject* self, BOOL active) {
        OwnerOf<Self>(self).log().frameActive.push_back(active != FALSE);
        return S_OK;
    };
    table.OnDocWindowActivate = [](IOleInPlaceActiveObject*, BOOL) { return S_OK; };
    table.ResizeBorder = [](IOleInPlaceActiveObject*, LPCRECT, IOleInPlaceUIWindow*, BOOL) {
        return S_OK;
    };
    table.EnableModeless = [](IOleInPlaceActiveObject*, BOOL) { return S_OK; };
    return table;
}

IWebBrowser2Vtbl MakeBrowserTable() {
    IWebBrowser2Vtbl table{};
    FillUnknown<Self, IWebBrowser2>(table);
    table.Navigate = [](IWebBrowser2* self, BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
        OwnerOf<Self>(self).log().navigations.emplace_back(url != nullptr ? url : L"");
        return S_OK;
    };
    table.get_Application = [](IWebBrowser2* self, IDispatch** application) {
        return OwnerOf<Self>(self).QueryInterface(IID_IDispatch,
                                                  reinterpret_cast<void**>(application));
    };
    table.get_Document = [](IWebBrowser2* self, IDispatch** document) {
        return OwnerOf<Self>(self).GetDocument(document);
    };
    table.get_LocationURL = [](IWebBrowser2* self, BSTR* url) {
        const std::wstring& address = OwnerOf<Self>(self).log().documentUrl;
        *url = SysAllocString(address.empty() ? L"about:blank" : address.c_str());
        return *url != nullptr ? S_OK : E_OUTOFMEMORY;
    };
    table.Quit = [](IWebBrowser2* self) {
        OwnerOf<Self>(self).log().quit = true;
        return S_OK;
    };
    table.get_Silent = [](IWebBrowser2* self, VARIANT_BOOL* silent) {
        *silent = OwnerOf<Self>(self).silent;
        return S_OK;
    };
    table.put_Silent = [](IWebBrowser2* self, VARIANT_BOOL silent) {
        OwnerOf<Self>(self).silent = silent;
        OwnerOf<Self>(self).log().silentSet.push_back(silent != VARIANT_FALSE);
        return S_OK;
    };
    table.put_RegisterAsBrowser = [](IWebBrowser2* self, VARIANT_BOOL registered) {
        OwnerOf<Self>(self).log().registeredAsBrowser = registered != VARIANT_FALSE;
        return S_OK;
    };
    return table;
}

IConnectionPointContainerVtbl MakeContainerTable() {
    IConnectionPointContainerVtbl table{};
    FillUnknown<Self, IConnectionPointContainer>(table);
    table.FindConnectionPoint = [](IConnectionPointContainer* self, REFIID iid,
                                   IConnectionPoint** point) {
        return OwnerOf<Self>(self).FindConnectionPoint(iid, point);
    };
    return table;
}

IConnectionPointVtbl MakePointTable() {
    IConnectionPointVtbl table{};
    FillUnknown<Self, IConnectionPoint>(table);
    table.Advise = [](IConnectionPoint* self, IUnknown* sink, DWORD* cookie) {
        return OwnerOf<Self>(self).Advise(sink, cookie);
    };
    table.Unadvise = [](IConnectionPoint* self, DWORD cookie) {
        return OwnerOf<Self>(self).Unadvise(cookie);
    };
    return table;
}

const IOleObjectVtbl kOleObjectTable = MakeOleObjectTable();
const IOleInPlaceObjectVtbl kInPlaceObjectTable = MakeInPlaceObjectTable();
const IOleInPlaceActiveObjectVtbl kActiveObjectTable = MakeActiveObjectTable();
const IWebBrowser2Vtbl kBrowserTable = MakeBrowserTable();
const IConnectionPointContainerVtbl kContainerTable = MakeContainerTable();
const IConnectionPointVtbl kPointTable = MakePointTable();

FakeWebBrowser::FakeWebBrowser(std::shared_ptr<FakeBrowserLog> log)
    : log_(std::move(log)),
      oleObject_{&kOleObjectTable, this},
      inPlaceObject_{&kInPlaceObjectTable, this},
      activeObject_{&kActiveObjectTable, this},
      browser_{&kBrowserTable, this},
      container_{&kContainerTable, this},
      point_{&kPointTable, this} {
    log_->self = AsInterface<IWebBrowser2>(browser_);
}

FakeWebBrowser::~FakeWebBrowser() {
    log_->self = nullptr;
    ReleaseSink();
}

ULONG FakeWebBrowser::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

// One object answers for every interface; the connection point shares its count.
HRESULT FakeWebBrowser::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject)) {
        return HandOut<IOleObject>(oleObject_, object);
    }
    if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) {
        return HandOut<IOleInPlaceObject>(inPlaceObject_, object);
    }
    if (IsEqualIID(iid, IID_IOleInPlaceActiveObject)) {
        return HandOut<IOleInPlaceActiveObject>(activeObject_, object);
    }
    if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, win32::kWebBrowser2Interface)) {
        return HandOut<IWebBrowser2>(browser_, object);
    }
    if (IsEqualIID(iid, win32::kConnectionPointContainerInterface)) {
        return HandOut<IConnectionPointContainer>(container_, object);
    }
    return E_NOINTERFACE;
}

// As the control does, a new site is asked for its document host's information.
HRESULT FakeWebBrowser::SetClientSite(IOleClientSite* site) {
    site_.Reset(site);
    log_->site = site;
    Ref<IDocHostUIHandler> host;
    if (site != nullptr &&
        SUCCEEDED(site->lpVtbl->QueryInterface(site, IID_IDocHostUIHandler,
                                               reinterpret_cast<void**>(host.Out())))) {
        DOCHOSTUIINFO info{};
        info.cbSize = sizeof(info);
        if (host.get()->lpVtbl->GetHostInfo(host.get(), &info) == S_OK) {
            log_->hostInfoFlags = info.dwFlags;
        }
    }
    return S_OK;
}

HRESULT FakeWebBrowser::DoVerb(LONG verb, HWND parent, const RECT* area) {
    log_->verbs.push_back(verb);
    switch (verb) {
        case OLEIVERB_INPLACEACTIVATE:
            return ActivateInPlace(parent, area);
        case OLEIVERB_UIACTIVATE:
            return ActivateUi(parent, area);
        default:
            return OLEOBJ_S_INVALIDVERB;
    }
}

// As the control does: the site is asked, told and gives its frame; the control's window is a
// child of the given parent.
HRESULT FakeWebBrowser::ActivateInPlace(HWND parent, const RECT* area) {
    if (inPlaceSite_) {
        return S_OK;
    }
    if (!site_ ||
        FAILED(site_.get()->lpVtbl->QueryInterface(site_.get(), IID_IOleInPlaceSite,
                                                   reinterpret_cast<void**>(inPlaceSite_.Out())))) {
        return E_UNEXPECTED;
    }
    IOleInPlaceSite* site = inPlaceSite_.get();
    if (site->lpVtbl->CanInPlaceActivate(site) != S_OK) {
        inPlaceSite_.Reset();
        return E_FAIL;
    }
    site->lpVtbl->OnInPlaceActivate(site);
    Ref<IOleInPlaceUIWindow> document;
    RECT position{};
    RECT clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof(frameInfo);
    site->lpVtbl->GetWindowContext(site, frame_.Out(), document.Out(), &position, &clip,
                                   &frameInfo);
    const RECT placed = area != nullptr ? *area : position;
    RegisterControlWindowClass();
    log_->window =
        CreateWindowExW(0, kControlWindowClass, nullptr, WS_CHILD | WS_VISIBLE, placed.left,
                        placed.top, placed.right - placed.left, placed.bottom - placed.top, parent,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(log_->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(log_.get()));
    return S_OK;
}

// The site hears of the UI activation and the frame gets the active object; the control's
// window takes the focus.
HRESULT FakeWebBrowser::ActivateUi(HWND parent, const RECT* area) {
    const HRESULT inPlace = ActivateInPlace(parent, area);
    if (FAILED(inPlace)) {
        return inPlace;
    }
    if (!log_->uiActive) {
        inPlaceSite_.get()->lpVtbl->OnUIActivate(inPlaceSite_.get());
        if (frame_) {
            frame_.get()->lpVtbl->SetActiveObject(
                frame_.get(), AsInterface<IOleInPlaceActiveObject>(activeObject_), L"control");
        }
        log_->uiActive = true;
    }
    SetFocus(log_->window);
    return S_OK;
}

HRESULT FakeWebBrowser::UIDeactivate() {
    if (!log_->uiActive) {
        return S_OK;
    }
    log_->uiActive = false;
    if (frame_) {
        frame_.get()->lpVtbl->SetActiveObject(frame_.get(), nullptr, nullptr);
    }
    inPlaceSite_.get()->lpVtbl->OnUIDeactivate(inPlaceSite_.get(), FALSE);
    return S_OK;
}

HRESULT FakeWebBrowser::InPlaceDeactivate() {
    UIDeactivate();
    if (!inPlaceSite_) {
        return S_OK;
    }
    if (log_->window != nullptr) {
        DestroyWindow(log_->window);
        log_->window = nullptr;
    }
    inPlaceSite_.get()->lpVtbl->OnInPlaceDeactivate(inPlaceSite_.get());
    frame_.Reset();
    inPlaceSite_.Reset();
    return S_OK;
}

HRESULT FakeWebBrowser::Close() {
    log_->closed = true;
    return InPlaceDeactivate();
}

HRESULT FakeWebBrowser::GetDocument(IDispatch** document) const {
    *document = nullptr;
    if (log_->documentUrl.empty()) {
        return S_FALSE;
    }
    return MakeScriptedDocument(log_, IID_IDispatch, reinterpret_cast<void**>(document));
}

HRESULT FakeWebBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    log_->eventsAsked = iid;
    *point = nullptr;
    if (!IsEqualIID(iid, kWebBrowserEvents2Interface)) {
        return CONNECT_E_NOCONNECTION;
    }
    return HandOut<IConnectionPoint>(point_, reinterpret_cast<void**>(point));
}

// As the control does, the sink is asked for the events' own interface; a sink that answers
// only for IDispatch is refused.
HRESULT FakeWebBrowser::Advise(IUnknown* sink, DWORD* cookie) {
    void* events = nullptr;
    if (log_->sink != nullptr || sink == nullptr ||
        FAILED(sink->lpVtbl->QueryInterface(sink, kWebBrowserEvents2Interface, &events))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    log_->sink = events;
    *cookie = kAdviseCookie;
    return S_OK;
}

HRESULT FakeWebBrowser::Unadvise(DWORD cookie) {
    if (cookie != kAdviseCookie || log_->sink == nullptr) {
        return CONNECT_E_NOCONNECTION;
    }
    ReleaseSink();
    return S_OK;
}

void FakeWebBrowser::ReleaseSink() {
    if (auto* sink = static_cast<IDispatch*>(log_->sink)) {
        log_->sink = nullptr;
        sink->lpVtbl->Release(sink);
    }
}

}  // namespace

HRESULT MakeFakeWebBrowser(const std::shared_ptr<FakeBrowserLog>& log, const IID& iid,
                           void** object) {
    auto* control = new FakeWebBrowser(log);
    const HRESULT answer = control->QueryInterface(iid, object);
    control->Release();
    return answer;
}

}  // namespace kesto::testing
