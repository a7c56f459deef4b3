#pragma once
// The main dialog on Windows: dialog resource 103 run modally. It draws what DesignProgram asks
// for and forwards the window messages (the user's actions, the login timer, the jobs' messages)
// to it.

#include <windows.h>

#include <memory>
#include <string>

#include "app/design_dialog_view.h"
#include "app/design_program.h"
#include "app/win32/hyperlink.h"
#include "app/win32/window_progress_sink.h"

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

class DesignDlg final : private DesignDialogView {
  public:
    explicit DesignDlg(DesignProgram& program);
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
    void StartLoginTimer(unsigned periodMilliseconds) override;
    void StopLoginTimer() override;
    void End(int code) override;

    HWND Control(int id) const { return GetDlgItem(window_, id); }

    DesignProgram& program_;
    HWND window_ = nullptr;
    UINT_PTR loginTimerId_ = 0;
    CHyperLink link_;
    std::shared_ptr<WindowProgressSink> sink_;
};

}  // namespace kesto::win32
