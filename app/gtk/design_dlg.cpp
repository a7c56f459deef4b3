#include "app/gtk/design_dlg.h"

#include <utility>

#include "app/maker_link.h"

namespace kesto::gtk {

namespace {

template <typename Handler>
void Connect(gpointer instance, const char* signal, Handler handler, gpointer data) {
    g_signal_connect(instance, signal, reinterpret_cast<GCallback>(handler), data);
}

}  // namespace

DesignDlg::DesignDlg(DesignProgram& program, DesignDlgOptions options)
    : program_(program),
      options_(std::move(options)),
      sink_(MainLoopProgressSink::Create(
          [this](const ProgressMessage& message) { program_.OnProgress(message); },
          [this] { program_.OnJobEnded(); })),
      link_([this](const std::string& target) { return program_.OnLink(target); }) {
    BuildControls();
}

DesignDlg::~DesignDlg() {
    StopLoginTimer();
    sink_->Detach();
    if (window_ != nullptr) {
        g_signal_handlers_disconnect_by_data(window_, this);
        gtk_widget_destroy(window_);
        program_.OnDialogDestroyed();
    }
}

void DesignDlg::Show() {
    program_.OnInitDialog(*this, sink_);
    link_.SetLinkTarget(kMakerSiteAddress);
    link_.SetLinkLabel(kMakerNoticeLine);
    gtk_widget_show_all(window_);
    gtk_widget_grab_focus(login_);
}

GtkToggleButton* DesignDlg::areaBox(Area area) const {
    switch (area) {
        case Area::ShopSign:
            return GTK_TOGGLE_BUTTON(shopSign_);
        case Area::MainPage:
            return GTK_TOGGLE_BUTTON(mainPage_);
        case Area::Categories:
            break;
    }
    return GTK_TOGGLE_BUTTON(categories_);
}

void DesignDlg::BuildControls() {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), "Kesto装修");
    // A modal-frame dialog: fixed size, no minimise or maximise box, centred on the screen.
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
    fixed_ = gtk_fixed_new();
    const DialogRect size = ToPixels(kDialogSize);
    gtk_widget_set_size_request(fixed_, size.width, size.height);
    gtk_container_add(GTK_CONTAINER(window_), fixed_);

    upload_ = AddButton("上传", kUploadButton);
    exit_ = AddButton("退出", kExitButton);
    AddCentredLabel("装修模板：", kTemplateLabel);
    login_ = AddButton("登录", kLoginButton);
    templates_ = Place(gtk_combo_box_text_new(), kTemplateList);
    shopSign_ = AddAreaBox("店招", kShopSignBox);
    mainPage_ = AddAreaBox("主页面", kMainPageBox);
    categories_ = AddAreaBox("分类", kCategoriesBox);
    preview_ = AddButton("预览", kPreviewButton);
    AddCentredLabel("装修区域：", kAreaLabel);
    BuildProgressList();
    const DialogRect linkPlace = ToPixels(kMakerLink);
    gtk_fixed_put(GTK_FIXED(fixed_), link_.widget(), linkPlace.left, linkPlace.top);

    // Enter presses Login unless another button has the focus; Esc does nothing.
    gtk_widget_set_can_default(login_, TRUE);
    gtk_window_set_default(GTK_WINDOW(window_), login_);
    gtk_widget_set_sensitive(upload_, FALSE);

    Connect(login_, "clicked", &DesignDlg::OnLoginClicked, this);
    Connect(upload_, "clicked", &DesignDlg::OnUploadClicked, this);
    Connect(preview_, "clicked", &DesignDlg::OnPreviewClicked, this);
    Connect(exit_, "clicked", &DesignDlg::OnExitClicked, this);
    Connect(window_, "delete-event", &DesignDlg::OnDeleteEvent, this);
    Connect(window_, "destroy", &DesignDlg::OnDestroy, this);
}

GtkWidget* DesignDlg::Place(GtkWidget* widget, const DialogRect& units) {
    const DialogRect pixels = ToPixels(units);
    gtk_widget_set_size_request(widget, pixels.width, pixels.height);
    gtk_fixed_put(GTK_FIXED(fixed_), widget, pixels.left, pixels.top);
    return widget;
}

GtkWidget* DesignDlg::AddButton(const char* text, const DialogRect& units) {
    return Place(gtk_button_new_with_label(text), units);
}

GtkWidget* DesignDlg::AddCentredLabel(const char* text, const DialogRect& units) {
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_xalign(GTK_LABEL(label), 0.5F);
    gtk_label_set_yalign(GTK_LABEL(label), 0.5F);
    return Place(label, units);
}

GtkWidget* DesignDlg::AddAreaBox(const char* text, const DialogRect& units) {
    return Place(gtk_check_button_new_with_label(text), units);
}

void DesignDlg::BuildProgressList() {
    lines_ = gtk_list_store_new(1, G_TYPE_STRING);
    lineView_ = gtk_tree_view_new_with_model(GTK_TREE_MODEL(lines_));
    g_object_unref(lines_);  // the view keeps the model
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(lineView_), FALSE);
    gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(lineView_), -1, "",
                                                gtk_cell_renderer_text_new(), "text", 0, nullptr);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_container_add(GTK_CONTAINER(scroller), lineView_);
    Place(scroller, kProgressList);
}

void DesignDlg::AddTemplate(const std::string& name) {
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(templates_), name.c_str());
}

void DesignDlg::SelectTemplate(int index) {
    gtk_combo_box_set_active(GTK_COMBO_BOX(templates_), index);
}

int DesignDlg::SelectedTemplate() const {
    return gtk_combo_box_get_active(GTK_COMBO_BOX(templates_));
}

void DesignDlg::SetAreaChecked(Area area, bool checked) {
    gtk_toggle_button_set_active(areaBox(area), checked ? TRUE : FALSE);
}

bool DesignDlg::IsAreaChecked(Area area) const {
    return gtk_toggle_button_get_active(areaBox(area)) != FALSE;
}

void DesignDlg::EnableUpload(bool enabled) {
    gtk_widget_set_sensitive(upload_, enabled ? TRUE : FALSE);
}

void DesignDlg::AddProgressLine(const std::string& line) {
    GtkTreeIter row;
    gtk_list_store_insert_with_values(lines_, &row, -1, 0, line.c_str(), -1);
    // Keep the newest line in sight.
    GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(lines_), &row);
    gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(lineView_), path, nullptr, FALSE, 0, 0);
    gtk_tree_path_free(path);
    if (options_.echoLine) {
        options_.echoLine(line);
    }
}

bool DesignDlg::AskYesNo(const std::string& text, const std::string& caption) {
    return options_.askYesNo ? options_.askYesNo(text, caption) : MessageBoxYesNo(text, caption);
}

bool DesignDlg::MessageBoxYesNo(const std::string& text, const std::string& caption) {
    GtkWidget* box =
        gtk_message_dialog_new(GTK_WINDOW(window_), GTK_DIALOG_MODAL, GTK_MESSAGE_WARNING,
                               GTK_BUTTONS_NONE, "%s", text.c_str());
    // The window speaks Chinese whatever the locale, so its buttons do too (the toolkit's own
    // labels follow the locale: English under C).
    gtk_dialog_add_buttons(GTK_DIALOG(box), "否(_N)", GTK_RESPONSE_NO, "是(_Y)", GTK_RESPONSE_YES,
                           nullptr);
    gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_YES);
    const int answer = gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
    return answer == GTK_RESPONSE_YES;
}

void DesignDlg::StartLoginTimer(unsigned periodMilliseconds) {
    StopLoginTimer();
    loginTimer_ = g_timeout_add(periodMilliseconds, &DesignDlg::OnLoginTimer, this);
}

void DesignDlg::StopLoginTimer() {
    if (loginTimer_ != 0) {
        g_source_remove(loginTimer_);
        loginTimer_ = 0;
    }
}

void DesignDlg::End(int code) {
    if (window_ != nullptr) {
        endCode_ = code;
        gtk_widget_destroy(window_);  // OnDestroy reports the end
    }
}

void DesignDlg::OnLoginClicked(GtkButton* /*button*/, gpointer self) {
    static_cast<DesignDlg*>(self)->program_.OnLogin();
}

void DesignDlg::OnUploadClicked(GtkButton* /*button*/, gpointer self) {
    static_cast<DesignDlg*>(self)->program_.OnUpload();
}

void DesignDlg::OnPreviewClicked(GtkButton* /*button*/, gpointer self) {
    static_cast<DesignDlg*>(self)->program_.OnPreview();
}

void DesignDlg::OnExitClicked(GtkButton* /*button*/, gpointer self) {
    static_cast<DesignDlg*>(self)->program_.OnExit();
}

// The window never goes by itself: the program ends it, at once or once a running job has ended.
gboolean DesignDlg::OnDeleteEvent(GtkWidget* /*widget*/, GdkEvent* /*event*/, gpointer self) {
    static_cast<DesignDlg*>(self)->program_.OnClose();
    return TRUE;
}

void DesignDlg::OnDestroy(GtkWidget* /*widget*/, gpointer self) {
    auto& design = *static_cast<DesignDlg*>(self);
    design.window_ = nullptr;
    design.StopLoginTimer();
    design.sink_->Detach();
    design.program_.OnDialogDestroyed();
    if (design.options_.onClosed) {
        design.options_.onClosed(design.endCode_);
    }
}

gboolean DesignDlg::OnLoginTimer(gpointer self) {
    auto& design = *static_cast<DesignDlg*>(self);
    const guint running = design.loginTimer_;
    design.program_.OnLoginTimer();
    // The poll may have stopped the timer (the login completed).
    return design.loginTimer_ == running ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

}  // namespace kesto::gtk
