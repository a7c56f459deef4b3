#pragma once
// The main dialog on GTK: a fixed-size window with the dialog's controls at their places. It
// draws what DesignProgram asks for and forwards the user's actions, the login timer's ticks and
// the jobs' messages to it. Runs on the GTK main loop's thread; the jobs' messages reach it
// through the main loop.

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/design_dialog_view.h"
#include "app/design_program.h"
#include "app/gtk/dialog_units.h"
#include "app/gtk/hyperlink.h"
#include "app/gtk/main_loop_progress_sink.h"

namespace kesto::gtk {

// What the program's start-up and the tests change about the window.
struct DesignDlgOptions {
    // The Yes/No question; empty: a modal message box.
    std::function<bool(const std::string& text, const std::string& caption)> askYesNo;
    // Called once the window has gone, with the code the dialog ended with.
    std::function<void(int)> onClosed;
    // When set, each progress line is also written here as it is added (for tests that watch
    // the running program).
    std::function<void(const std::string&)> echoLine;
};

class DesignDlg final : public DesignDialogView {
  public:
    explicit DesignDlg(DesignProgram& program, DesignDlgOptions options = {});
    ~DesignDlg() override;
    DesignDlg(const DesignDlg&) = delete;
    DesignDlg& operator=(const DesignDlg&) = delete;

    // Shows the window and fills it (the dialog's initial set-up).
    void Show();

    // The widgets, for the program's tests.
    GtkWindow* window() const { return window_ == nullptr ? nullptr : GTK_WINDOW(window_); }
    GtkButton* loginButton() const { return GTK_BUTTON(login_); }
    GtkButton* uploadButton() const { return GTK_BUTTON(upload_); }
    GtkButton* previewButton() const { return GTK_BUTTON(preview_); }
    GtkButton* exitButton() const { return GTK_BUTTON(exit_); }
    GtkComboBoxText* templateList() const { return GTK_COMBO_BOX_TEXT(templates_); }
    GtkToggleButton* areaBox(Area area) const;
    GtkTreeModel* progressLines() const { return GTK_TREE_MODEL(lines_); }
    GtkTreeView* progressView() const { return GTK_TREE_VIEW(lineView_); }
    CHyperLink& link() { return link_; }
    bool loginTimerRunning() const { return loginTimer_ != 0; }
    std::vector<std::string> templatePathsForTest() const { return program_.templatePaths(); }

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
    // The window goes and onClosed runs.
    void End(int code) override;

  private:
    void BuildControls();
    GtkWidget* Place(GtkWidget* widget, const DialogRect& units);
    GtkWidget* AddButton(const char* text, const DialogRect& units);
    GtkWidget* AddCentredLabel(const char* text, const DialogRect& units);
    GtkWidget* AddAreaBox(const char* text, const DialogRect& units);
    void BuildProgressList();
    bool MessageBoxYesNo(const std::string& text, const std::string& caption);

    static void OnLoginClicked(GtkButton* button, gpointer self);
    static void OnUploadClicked(GtkButton* button, gpointer self);
    static void OnPreviewClicked(GtkButton* button, gpointer self);
    static void OnExitClicked(GtkButton* button, gpointer self);
    static gboolean OnDeleteEvent(GtkWidget* widget, GdkEvent* event, gpointer self);
    static void OnDestroy(GtkWidget* widget, gpointer self);
    static gboolean OnLoginTimer(gpointer self);

    DesignProgram& program_;
    DesignDlgOptions options_;
    std::shared_ptr<MainLoopProgressSink> sink_;
    CHyperLink link_;
    GtkWidget* window_ = nullptr;  // owned by GTK's list of top-level windows until destroyed
    GtkWidget* fixed_ = nullptr;
    GtkWidget* login_ = nullptr;
    GtkWidget* upload_ = nullptr;
    GtkWidget* preview_ = nullptr;
    GtkWidget* exit_ = nullptr;
    GtkWidget* templates_ = nullptr;
    GtkWidget* shopSign_ = nullptr;
    GtkWidget* mainPage_ = nullptr;
    GtkWidget* categories_ = nullptr;
    GtkWidget* lineView_ = nullptr;
    GtkListStore* lines_ = nullptr;  // owned by the tree view
    guint loginTimer_ = 0;
    int endCode_ = 0;
};

}  // namespace kesto::gtk
