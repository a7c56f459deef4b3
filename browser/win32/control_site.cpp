#include "browser/win32/control_site.h"

#include "browser/win32/browser_ids.h"

namespace kesto::win32 {

namespace {

RECT ClientArea(HWND window) {
    RECT area{};
    GetClientRect(window, &area);
    return area;
}

bool IsKeyMessage(UINT message) {
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

// Null out-pointers, as the callers of the site's "nothing here" answers expect.
template <typename Interface>
HRESULT NothingInto(Interface** out, HRESULT answer) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    return answer;
}

}  // namespace

ControlMaker MakeControlOfClass(const CLSID& controlClass) {
    return [controlClass](IOleObject** control) {
        return CoCreateInstance(controlClass, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(control));
    };
}

Microsoft::WRL::ComPtr<ControlSite> ControlSite::Create(HWND host) {
    // The new object counts no reference yet: the pointer takes the first.
    return Microsoft::WRL::ComPtr<ControlSite>(new ControlSite(host));
}

ControlSite::ControlSite(HWND host) : host_(host) {}

ControlSite::~ControlSite() {
    CloseControl();
    if (oleInitialised_) {
        OleUninitialize();
    }
}

HRESULT ControlSite::CreateControl(const ControlMaker& makeControl) {
    if (control_ || !makeControl) {
        return E_UNEXPECTED;
    }
    // The host initialises OLE for its thread before the first control it creates.
    if (!oleInitialised_) {
        oleInitialised_ = SUCCEEDED(OleInitialize(nullptr));
    }
    Microsoft::WRL::ComPtr<IOleObject> control;
    HRESULT result = makeControl(control.GetAddressOf());
    if (FAILED(result) || !control) {
        return FAILED(result) ? result : E_UNEXPECTED;
    }
    result = control->SetClientSite(this);
    if (FAILED(result)) {
        return result;
    }
    control_ = control;
    OleSetContainedObject(control_.Get(), TRUE);
    RECT area = ClientArea(host_);
    result = control_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, host_, &area);
    if (FAILED(result)) {
        CloseControl();
    }
    return result;
}

Microsoft::WRL::ComPtr<IUnknown> ControlSite::Control() const {
    Microsoft::WRL::ComPtr<IUnknown> control;
    if (control_) {
        control_.As(&control);
    }
    return control;
}

void ControlSite::Resize() {
    if (!control_) {
        return;
    }
    Microsoft::WRL::ComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(control_.As(&inPlace))) {
        const RECT area = ClientArea(host_);
        inPlace->SetObjectRects(&area, &area);
    }
}

void ControlSite::CloseControl() {
    if (!control_) {
        return;
    }
    Microsoft::WRL::ComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(control_.As(&inPlace))) {
        inPlace->InPlaceDeactivate();
    }
    activeObject_.Reset();
    control_->Close(OLECLOSE_NOSAVE);
    control_->SetClientSite(nullptr);
    control_.Reset();
}

void ControlSite::FocusControl() {
    if (!control_) {
        return;
    }
    RECT area = ClientArea(host_);
    control_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, this, 0, host_, &area);
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(host_, focus)) {
        return;
    }
    Microsoft::WRL::ComPtr<IOleInPlaceObject> inPlace;
    HWND controlWindow = nullptr;
    if (SUCCEEDED(control_.As(&inPlace)) && SUCCEEDED(inPlace->GetWindow(&controlWindow)) &&
        controlWindow != nullptr) {
        SetFocus(controlWindow);
    }
}

void ControlSite::OnFrameActivate(bool active) {
    if (activeObject_) {
        activeObject_->OnFrameWindowActivate(active ? TRUE : FALSE);
    }
}

bool ControlSite::TranslateKey(MSG& message) {
    if (!activeObject_ || !IsKeyMessage(message.message)) {
        return false;
    }
    // The object may leave the UI-active state while it translates; keep it alive meanwhile.
    const Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> object = activeObject_;
    return object->TranslateAccelerator(&message) == S_OK;
}

STDMETHODIMP ControlSite::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
        *object = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
        *object = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame)) {
        *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (IsEqualIID(iid, IID_IOleControlSite)) {
        *object = static_cast<IOleControlSite*>(this);
    } else if (IsEqualIID(iid, IID_IDocHostUIHandler)) {
        *object = static_cast<IDocHostUIHandler*>(this);
    } else if (IsEqualIID(iid, IID_IOleCommandTarget)) {
        *object = static_cast<IOleCommandTarget*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

// The site is used on its window's thread only.
STDMETHODIMP_(ULONG) ControlSite::AddRef() {
    return ++references_;
}
STDMETHODIMP_(ULONG) ControlSite::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

STDMETHODIMP ControlSite::GetContainer(IOleContainer** container) {
    if (container == nullptr) {
        return E_POINTER;
    }
    *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP ControlSite::GetWindow(HWND* window) {
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = host_;
    return S_OK;
}

STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip,
                                           LPOLEINPLACEFRAMEINFO frameInfo) {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
        frameInfo == nullptr) {
        return E_POINTER;
    }
    *frame = this;
    AddRef();
    *document = nullptr;
    *position = ClientArea(host_);
    *clip = *position;
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = GetAncestor(host_, GA_ROOT);
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP ControlSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    activeObject_ = object;
    return S_OK;
}

STDMETHODIMP ControlSite::GetExtendedControl(IDispatch** extended) {
    return NothingInto(extended, E_NOTIMPL);
}

STDMETHODIMP ControlSite::GetHostInfo(DOCHOSTUIINFO* info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    info->dwFlags |= DOCHOSTUIFLAG_DPI_AWARE;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    info->pchHostCss = nullptr;
    info->pchHostNS = nullptr;
    return S_OK;
}

// The documented "use the defaults" answers of the document host.
STDMETHODIMP ControlSite::GetOptionKeyPath(LPOLESTR* key, DWORD) {
    return NothingInto(key, S_FALSE);
}
STDMETHODIMP ControlSite::GetDropTarget(IDropTarget*, IDropTarget** target) {
    return NothingInto(target, E_NOTIMPL);
}
STDMETHODIMP ControlSite::GetExternal(IDispatch** external) {
    return NothingInto(external, S_FALSE);
}
STDMETHODIMP ControlSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) {
    return NothingInto(translated, S_FALSE);
}
STDMETHODIMP ControlSite::FilterDataObject(IDataObject*, IDataObject** filtered) {
    return NothingInto(filtered, S_FALSE);
}

// A null group is the standard one, which the host does not handle; a group other than the
// document host's is unknown here.
STDMETHODIMP ControlSite::QueryStatus(const GUID* group, ULONG count, OLECMD* commands,
                                      OLECMDTEXT*) {
    if (commands == nullptr && count > 0) {
        return E_POINTER;
    }
    if (group == nullptr) {
        return OLECMDERR_E_NOTSUPPORTED;
    }
    if (!IsEqualGUID(*group, kDocHostCommandGroup)) {
        return OLECMDERR_E_UNKNOWNGROUP;
    }
    for (ULONG i = 0; i < count; ++i) {
        commands[i].cmdf = commands[i].cmdID == OLECMDID_SHOWSCRIPTERROR
                               ? static_cast<DWORD>(OLECMDF_SUPPORTED | OLECMDF_ENABLED)
                               : 0;
    }
    return S_OK;
}

STDMETHODIMP ControlSite::Exec(const GUID* group, DWORD command, DWORD, VARIANT*, VARIANT* out) {
    if (group == nullptr) {
        return OLECMDERR_E_NOTSUPPORTED;
    }
    if (!IsEqualGUID(*group, kDocHostCommandGroup)) {
        return OLECMDERR_E_UNKNOWNGROUP;
    }
    if (command != OLECMDID_SHOWSCRIPTERROR) {
        return OLECMDERR_E_NOTSUPPORTED;
    }
    if (out != nullptr) {
        out->vt = VT_BOOL;
        out->boolVal = VARIANT_TRUE;
    }
    return S_OK;
}

STDMETHODIMP ControlSite::OnPosRectChange(LPCRECT) {
    Resize();
    return S_OK;
}

}  // namespace kesto::win32
