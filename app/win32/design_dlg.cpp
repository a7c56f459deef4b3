#include "app/win32/design_dlg.h"

#include "app/maker_link.h"
#include "platform/win32/wide_text.h"

namespace kesto::win32 {

namespace {

int AreaControl(Area area) {
    switch (area) {
        case Area::ShopSign:
            return kShopSignBox;
        case Area::MainPage:
            return kMainPageBox;
        case Area::Categories:
            break;
    }
    return kCategoriesBox;
}

}  // namespace

DesignDlg::DesignDlg(DesignProgram& program)
    : program_(program),
      link_([this](const std::wstring& target) { return program_.OnLink(Narrow(target)); }) {}

DesignDlg::~DesignDlg() = default;

INT_PTR DesignDlg::DoModal(HINSTANCE module) {
    return DialogBoxParamW(module, MAKEINTRESOURCEW(kDesignDialogResource), GetActiveWindow(),
                           &DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DesignDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // WM_INITDIALOG's lParam is the dialog object; no handled message reads lParam otherwise.
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<DesignDlg*>(lParam)->window_ = window;
    }
    auto* dialog = reinterpret_cast<DesignDlg*>(GetWindowLongPtrW(window, DWLP_USER));
    if (dialog == nullptr) {
        return FALSE;
    }
    LRESULT result = 0;
    if (!dialog->ProcessMessage(message, wParam, result)) {
        return FALSE;
    }
    if (message == WM_INITDIALOG) {
        return static_cast<INT_PTR>(result);
    }
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

bool DesignDlg::ProcessMessage(UINT message, WPARAM wParam, LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return true;
        case WM_COMMAND:
            return OnCommand(wParam, result);
        case WM_CLOSE:
            // The dialog never ends by itself: the program ends it, at once or once a running
            // job has ended.
            program_.OnClose();
            result = 1;
            return true;
        case WM_DESTROY:
            OnDestroy();
            return true;
        case WM_TIMER:
            program_.OnLoginTimer();
            return true;
        case kJobEndedMessage:
            program_.OnJobEnded();
            return true;
        case kShopFrontNotOpenedMessage:
            program_.OnShopFrontNotOpened();
            return true;
        default:
            break;
    }
    if (IsProgressMessage(message)) {
        // The whole message travels in wParam; lParam repeats its result for other readers. Every
        // number of the range is taken, so that no message the dialog does not list yet (a
        // failure's reason) is lost.
        if (const std::unique_ptr<ProgressMessage> posted = TakePostedMessage(wParam)) {
            program_.OnProgress(*posted);
        }
        return true;
    }
    return false;
}

bool DesignDlg::OnCommand(WPARAM wParam, LRESULT& result) {
    if (HIWORD(wParam) != 0) {
        return false;
    }
    switch (LOWORD(wParam)) {
        case kLoginButton:
            program_.OnLogin();
            result = 1;
            return true;
        case kUploadButton:
            program_.OnUpload();
            result = 1;
            return true;
        case kPreviewButton:
            program_.OnPreview();
            return true;
        case kExitButton:
            program_.OnExit();
            result = 1;
            return true;
        default:
            return false;
    }
}

void DesignDlg::OnInitDialog() {
    sink_ = std::make_shared<WindowProgressSink>(window_);
    program_.OnInitDialog(*this, sink_);
    if (link_.Subclass(Control(kMakerLink))) {
        link_.SetLinkTarget(Widen(kMakerSiteAddress));
        link_.SetLinkLabel(Widen(kMakerNoticeLine));
    }
}

void DesignDlg::OnDestroy() {
    if (sink_) {
        sink_->Detach();
    }
    program_.OnDialogDestroyed();
    PostQuitMessage(0);
}

void DesignDlg::AddTemplate(const std::string& name) {
    SendMessageW(Control(kTemplateList), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Widen(name).c_str()));
}

void DesignDlg::SelectTemplate(int index) {
    SendMessageW(Control(kTemplateList), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int DesignDlg::SelectedTemplate() const {
    const LRESULT selected = SendMessageW(Control(kTemplateList), CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

void DesignDlg::SetAreaChecked(Area area, bool checked) {
    CheckDlgButton(window_, AreaControl(area), checked ? BST_CHECKED : BST_UNCHECKED);
}

bool DesignDlg::IsAreaChecked(Area area) const {
    return IsDlgButtonChecked(window_, AreaControl(area)) == BST_CHECKED;
}

void DesignDlg::EnableUpload(bool enabled) {
    EnableWindow(Control(kUploadButton), enabled);
}

// The list scrolls as far as its last line allows, so the newest line stays in sight; nothing
// is selected.
void DesignDlg::AddProgressLine(const std::string& line) {
    HWND list = Control(kProgressList);
    const LRESULT added =
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(line).c_str()));
    if (added >= 0) {
        SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(added), 0);
    }
}

// The dialog owns the question, so that it stays disabled while the question shows: a second
// Upload press then cannot start a job beside the one being asked about.
bool DesignDlg::AskYesNo(const std::string& text, const std::string& caption) {
    return MessageBoxW(window_, Widen(text).c_str(), Widen(caption).c_str(),
                       MB_YESNO | MB_ICONWARNING) == IDYES;
}

void DesignDlg::StartLoginTimer(unsigned periodMilliseconds) {
    if (loginTimerId_ != 0) {
        KillTimer(window_, loginTimerId_);
    }
    loginTimerId_ = SetTimer(window_, kLoginTimerId, periodMilliseconds, nullptr);
}

void DesignDlg::StopLoginTimer() {
    KillTimer(window_, kLoginTimerId);
    loginTimerId_ = 0;
}

void DesignDlg::End(int code) {
    EndDialog(window_, code);
}

}  // namespace kesto::win32
