#pragma once
// The main dialog on Windows: dialog resource 103 run modally, its controls implementing the
// shared dialog logic's view, and the window messages forwarded to that logic.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/design_dialog.h"
#include "app/win32/hyperlink.h"
#include "app/win32/window_progress_sink.h"
#include "job/job_thread.h"

namespace kesto::win32 {

inline constexpr int kDesignDialogResource = 103;

// Control ids of dialog resource 103.
enum DesignControl : int {
    kUploadButton = 108,
    kExitButton = 3,
    kLoginButton = 4,
    kPreviewButton = 5,
    kTemplateList = 1003,
    kShopSignBox = 1004,
    kMainPageBox = 1005,
    kCategoriesBox = 1006,
    kProgressList = 1000,
    kMakerLink = 1001,
};

inline constexpr UINT_PTR kLoginTimerId = 100;
inline constexpr UINT kLoginTimerPeriodMs = 2000;

// What the dialog uses beyond its own controls; WinMain passes the real ones, tests fakes.
struct DesignDlgServices {
    std::function<void()> openLoginBrowser;
    std::function<void(const std::wstring& address)> openPasswordBrowser;
    std::function<bool()> checkLogin;
    std::function<bool(const std::wstring& target)> openWithShell;
    std::function<void(std::wstring address)> openShopFront;
    DecorationStepsFactory makeSteps;
};

class DesignDlg final : private DesignDialogView {
  public:
    // templateRoot: the folder holding the templates, ending with a backslash (UTF-8).
    DesignDlg(DesignDlgServices services, std::string templateRoot);
    ~DesignDlg() override;
    DesignDlg(const DesignDlg&) = delete;
    DesignDlg& operator=(const DesignDlg&) = delete;

    // Runs the dialog from resource 103 of the given module until it ends; the code it ended
    // with (1 for Exit, 0 for the close command, -1 when it could not be shown).
    INT_PTR DoModal(HINSTANCE module);

    HWND window() const { return window_; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool ProcessMessage(UINT message, WPARAM wParam, LRESULT& result);
    bool OnCommand(WPARAM wParam, LRESULT& result);
    void OnInitDialog();
    void OnDestroy();

    // DesignDialogView
    void AddTemplate(const std::string& name) override;
    void SelectTemplate(int index) override;
    int SelectedTemplate() const override;
    void SetAreaChecked(Area area, bool checked) override;
    bool IsAreaChecked(Area area) const override;
    void EnableUpload(bool enabled) override;
    void AddProgressLine(const std::string& line) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void OpenWithShell(const std::string& target) override;
    void OpenShopFront(const std::string& address) override;
    void OpenLoginBrowser() override;
    void OpenPasswordBrowser(const std::string& address) override;
    void StartLoginTimer() override;
    void StopLoginTimer() override;
    bool CheckLogin() override;
    void StartJob(const JobRequest& request) override;

    HWND Control(int id) const { return GetDlgItem(window_, id); }

    DesignDlgServices services_;
    std::string templateRoot_;
    HWND window_ = nullptr;
    UINT_PTR loginTimerId_ = 0;
    CHyperLink link_;
    DesignDialog logic_;
    std::shared_ptr<WindowProgressSink> sink_;
};

// The template folder beside the running executable: its folder followed by "template\".
std::string TemplateRootBesideExecutable();

}  // namespace kesto::win32
