#include "app/gtk/design_dlg.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "app/maker_link.h"
#include "tests/common/gtk/gui_pump.h"
#include "tests/common/temp_folder.h"

namespace kesto::gtk {
namespace {

using kesto::testing::PumpFor;
using kesto::testing::PumpUntil;
using kesto::testing::TempFolder;
using namespace std::chrono_literals;

// Makes the fake steps of one job over the sink they report through.
using DecorationStepsFactory =
    std::function<std::unique_ptr<DecorationSteps>(std::shared_ptr<ProgressSink>)>;

// What a job's steps saw, shared between the job's thread and the test.
struct JobLog {
    std::mutex lock;
    std::vector<std::string> calls;
    std::atomic<int> jobs{0};

    void Add(std::string call) {
        const std::lock_guard guard(lock);
        calls.push_back(std::move(call));
    }
    std::vector<std::string> Calls() {
        const std::lock_guard guard(lock);
        return calls;
    }
};

// Steps that succeed, optionally ask for the transaction password first, and optionally wait
// for the test before they finish.
class FakeSteps final : public DecorationSteps {
  public:
    FakeSteps(std::shared_ptr<ProgressSink> sink, JobLog& log, std::shared_future<void> gate,
              bool askPassword)
        : sink_(std::move(sink)), log_(log), gate_(std::move(gate)), askPassword_(askPassword) {}

    // The job's first step, before any area.
    AreaResult HoldShop() override {
        if (askPassword_) {
            sink_->Post({kTransactionPassword, 0, 0, {}});
        }
        gate_.wait();
        return {1, {}};
    }
    AreaResult UpdateShopSign(JobContext&, const TemplateFile&) override {
        log_.Add("sign");
        return {1, {}};
    }
    AreaResult UpdateMainPage(JobContext&, const MainFolder&) override {
        log_.Add("main");
        return {1, {}};
    }
    AreaResult UpdateCategories(JobContext&, const ClassFolder&) override {
        log_.Add("categories");
        return {1, {}};
    }
    std::string UserNumber() override { return "10001"; }

  private:
    std::shared_ptr<ProgressSink> sink_;
    JobLog& log_;
    std::shared_future<void> gate_;
    bool askPassword_;
};

// The dialog's services as the test's functions; jobs run on threads of their own, as the
// program's do.
struct FakeServices final : DesignServices {
    std::function<void()> openLoginBrowser;
    std::function<void(const std::string&)> openPasswordBrowser;
    std::function<bool()> checkLogin;
    std::function<bool()> loginBrowserOpen;
    std::function<bool(const std::string&)> openWithShell;
    DecorationStepsFactory makeSteps;

    void OpenLoginBrowser() override { openLoginBrowser(); }
    bool CheckLogin() override { return checkLogin(); }
    bool LoginBrowserOpen() const override { return loginBrowserOpen(); }
    void OpenPasswordBrowser(const std::string& address) override { openPasswordBrowser(address); }
    bool OpenWithShell(const std::string& target) override { return openWithShell(target); }
    bool OpenShopFront(const std::string& address, std::function<void()> /*notOpened*/) override {
        return openWithShell(address);
    }
    void RunJob(const JobRequest& request, std::shared_ptr<ProgressSink> progress) override {
        const std::unique_ptr<DecorationSteps> steps = makeSteps(progress);
        RunDecorationJob(request, *steps, *progress);
    }
};

class DesignDlgTest : public ::testing::Test {
  protected:
    DesignDlgTest() {
        templates_.Write("a/cover.JPG", "picture");
        templates_.Write("a/a.b.gif", "picture");
        templates_.Write("a/head/sign.jpg", "picture");
        templates_.Write("b/notes.txt", "no picture here");
        templates_.Write(".hidden/x.jpg", "picture");
        templates_.Write("readme.txt", "a file, not a template");
        released_.set_value();
    }

    std::unique_ptr<FakeServices> Services() {
        auto services = std::make_unique<FakeServices>();
        services->openLoginBrowser = [this] {
            ++loginBrowserOpened_;
            loginWindowOpen_ = true;
        };
        services->loginBrowserOpen = [this] { return loginWindowOpen_; };
        services->openPasswordBrowser = [this](const std::string& address) {
            passwordAddresses_.push_back(address);
        };
        // As the real check, a complete login closes the login window.
        services->checkLogin = [this] {
            ++polls_;
            const bool complete = polls_ > failingPolls_;
            loginWindowOpen_ = loginWindowOpen_ && !complete;
            return complete;
        };
        services->openWithShell = [this](const std::string& target) {
            opened_.push_back(target);
            return openSucceeds_;
        };
        services->makeSteps = [this](std::shared_ptr<ProgressSink> sink) {
            ++log_.jobs;
            return std::make_unique<FakeSteps>(std::move(sink), log_, gate_, askPassword_);
        };
        return services;
    }

    DesignDlgOptions Options() {
        DesignDlgOptions options;
        options.askYesNo = [this](const std::string& text, const std::string& caption) {
            questions_.push_back(caption + ": " + text);
            return answerYes_;
        };
        options.onClosed = [this](int code) { closedWith_.push_back(code); };
        return options;
    }

    // A program over the fake services, polling the login every 10 ms; it outlives the windows
    // the case opens on it.
    DesignProgram& NewProgram(const std::string& templateRoot) {
        program_ =
            std::make_unique<DesignProgram>(Services(), DesignProgramSettings{{templateRoot}, 10});
        return *program_;
    }

    std::unique_ptr<DesignDlg> Open() {
        auto window = std::make_unique<DesignDlg>(NewProgram(templates_.Folder()), Options());
        window->Show();
        PumpFor(50ms);
        return window;
    }

    static std::vector<std::string> Lines(const DesignDlg& window) {
        std::vector<std::string> lines;
        GtkTreeModel* model = window.progressLines();
        GtkTreeIter row;
        for (gboolean more = gtk_tree_model_get_iter_first(model, &row); more != FALSE;
             more = gtk_tree_model_iter_next(model, &row)) {
            gchar* text = nullptr;
            gtk_tree_model_get(model, &row, 0, &text, -1);
            lines.emplace_back(text);
            g_free(text);
        }
        return lines;
    }

    // Selects the template of that name; the list keeps the folder listing's order.
    static void SelectTemplate(DesignDlg& window, const char* name) {
        GtkComboBox* list = GTK_COMBO_BOX(window.templateList());
        const int count = gtk_tree_model_iter_n_children(gtk_combo_box_get_model(list), nullptr);
        for (int index = 0; index < count; ++index) {
            gtk_combo_box_set_active(list, index);
            gchar* text = gtk_combo_box_text_get_active_text(window.templateList());
            const bool found = std::string(text) == name;
            g_free(text);
            if (found) {
                return;
            }
        }
        ADD_FAILURE() << "no template " << name;
    }

    static bool UploadEnabled(const DesignDlg& window) {
        return gtk_widget_get_sensitive(GTK_WIDGET(window.uploadButton())) != FALSE;
    }

    void LogIn(DesignDlg& window) {
        gtk_button_clicked(window.loginButton());
        ASSERT_TRUE(PumpUntil([&] { return UploadEnabled(window); }));
    }

    // Waits until the job has ended and Upload is back.
    void WaitForJob(DesignDlg& window, int jobs) {
        ASSERT_TRUE(PumpUntil([&] { return log_.jobs == jobs && UploadEnabled(window); }));
    }

    TempFolder templates_;
    std::promise<void> released_;
    std::shared_future<void> gate_ = released_.get_future().share();
    JobLog log_;
    int loginBrowserOpened_ = 0;
    bool loginWindowOpen_ = false;
    int polls_ = 0;
    int failingPolls_ = 0;
    bool openSucceeds_ = true;
    bool answerYes_ = true;
    bool askPassword_ = false;
    std::vector<std::string> passwordAddresses_;
    std::vector<std::string> opened_;
    std::vector<std::string> questions_;
    std::vector<int> closedWith_;
    std::unique_ptr<DesignProgram> program_;
};

std::string ButtonText(GtkButton* button) {
    return gtk_button_get_label(button);
}

TEST_F(DesignDlgTest, ShowsTheDialogsControlsAndTemplates) {
    const auto window = Open();
    EXPECT_STREQ(gtk_window_get_title(window->window()), "Kesto装修");
    EXPECT_FALSE(gtk_window_get_resizable(window->window()));
    EXPECT_EQ(ButtonText(window->loginButton()), "登录");
    EXPECT_EQ(ButtonText(window->uploadButton()), "上传");
    EXPECT_EQ(ButtonText(window->previewButton()), "预览");
    EXPECT_EQ(ButtonText(window->exitButton()), "退出");
    EXPECT_FALSE(UploadEnabled(*window));
    const struct {
        Area area;
        const char* text;
    } boxes[] = {{Area::ShopSign, "店招"}, {Area::MainPage, "主页面"}, {Area::Categories, "分类"}};
    for (const auto& box : boxes) {
        EXPECT_TRUE(gtk_toggle_button_get_active(window->areaBox(box.area))) << box.text;
        EXPECT_EQ(ButtonText(GTK_BUTTON(window->areaBox(box.area))), box.text);
    }
    // The sub-folders in listing order, the first selected; no files, no hidden folders.
    GtkTreeModel* templates = gtk_combo_box_get_model(GTK_COMBO_BOX(window->templateList()));
    EXPECT_EQ(gtk_tree_model_iter_n_children(templates, nullptr), 2);
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(window->templateList())), 0);
    ASSERT_EQ(window->templatePathsForTest().size(), 2U);
    gchar* first = gtk_combo_box_text_get_active_text(window->templateList());
    EXPECT_EQ(templates_.Folder() + first + "/", window->templatePathsForTest()[0]);
    g_free(first);
    gchar* tooltip = gtk_widget_get_tooltip_text(window->link().widget());
    EXPECT_STREQ(tooltip, kMakerSiteAddress);
    g_free(tooltip);
    EXPECT_TRUE(Lines(*window).empty());
}

TEST_F(DesignDlgTest, LoginPollReportsEverySecondFailureThenTheLogin) {
    failingPolls_ = 5;
    const auto window = Open();
    gtk_button_clicked(window->loginButton());
    EXPECT_EQ(loginBrowserOpened_, 1);
    EXPECT_TRUE(window->loginTimerRunning());
    ASSERT_TRUE(PumpUntil([&] { return UploadEnabled(*window); }));
    EXPECT_EQ(polls_, 6);
    EXPECT_FALSE(window->loginTimerRunning());
    EXPECT_EQ(Lines(*window), (std::vector<std::string>{"正在登录...", "正在登录...", "已登录."}));
    PumpFor(50ms);  // the stopped timer polls no more
    EXPECT_EQ(polls_, 6);
}

// However many lines the list holds, its newest is in sight.
TEST_F(DesignDlgTest, TheNewestProgressLineStaysInSight) {
    const auto window = Open();
    for (int line = 0; line < 80; ++line) {
        window->AddProgressLine("正在更新店招...");
        PumpFor(line % 20 == 0 ? 10ms : 0ms);  // some lines reach a list drawn already
    }
    window->AddProgressLine("装修完成。");
    EXPECT_TRUE(PumpUntil(
        [&] {
            GtkTreePath* first = nullptr;
            GtkTreePath* last = nullptr;
            if (!gtk_tree_view_get_visible_range(window->progressView(), &first, &last)) {
                return false;
            }
            const bool inSight =
                gtk_tree_path_get_indices(first)[0] > 0 && gtk_tree_path_get_indices(last)[0] == 80;
            gtk_tree_path_free(first);
            gtk_tree_path_free(last);
            return inSight;
        },
        3s));
}

TEST_F(DesignDlgTest, ACompletedJobShowsItsLinesInOrderAndOpensTheShopFront) {
    const auto window = Open();
    LogIn(*window);
    SelectTemplate(*window, "a");
    gtk_button_clicked(window->uploadButton());
    WaitForJob(*window, 1);
    ASSERT_TRUE(PumpUntil([&] { return Lines(*window).size() == 9; }));
    std::vector<std::string> lines = Lines(*window);
    const std::string addressLine = lines.back();
    lines.pop_back();
    EXPECT_EQ(lines, (std::vector<std::string>{"已登录.", "正在更新店招...", "店招更新完成。",
                                               "正在更新主页面...", "主页面更新完成。",
                                               "正在更新分类...", "分类更新完成。", "装修完成。"}));
    ASSERT_EQ(opened_.size(), 1U);
    EXPECT_TRUE(opened_[0].starts_with("http://shop.kesto.example/10001?t=")) << opened_[0];
    EXPECT_EQ(addressLine, "Shop address: " + opened_[0]);

    // The window after a completed job, kept as the build's artifact.
    PumpFor(300ms);
    GdkWindow* surface = gtk_widget_get_window(GTK_WIDGET(window->window()));
    GdkPixbuf* picture = gdk_pixbuf_get_from_window(surface, 0, 0, gdk_window_get_width(surface),
                                                    gdk_window_get_height(surface));
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(
        gdk_pixbuf_save(picture, KESTO_ARTIFACT_DIR "/design-window.png", "png", nullptr, nullptr));
    g_object_unref(picture);
}

TEST_F(DesignDlgTest, UploadAsksAboutCategoriesOnceAndRunsOneJobAtATime) {
    answerYes_ = false;
    std::promise<void> hold;
    gate_ = hold.get_future().share();
    const auto window = Open();
    LogIn(*window);
    SelectTemplate(*window, "a");

    gtk_button_clicked(window->uploadButton());
    EXPECT_EQ(questions_, std::vector<std::string>{"提示: 装修会删除现在的所有分类，是否继续?"});
    EXPECT_FALSE(gtk_toggle_button_get_active(window->areaBox(Area::Categories)));
    EXPECT_FALSE(UploadEnabled(*window));  // while the job runs
    gtk_button_clicked(window->uploadButton());
    hold.set_value();
    WaitForJob(*window, 1);
    EXPECT_EQ(log_.Calls(), (std::vector<std::string>{"sign", "main"}));

    gtk_toggle_button_set_active(window->areaBox(Area::Categories), TRUE);
    gtk_button_clicked(window->uploadButton());
    WaitForJob(*window, 2);
    EXPECT_EQ(questions_.size(), 1U);  // never asked again
    EXPECT_EQ(log_.Calls().back(), "categories");
}

TEST_F(DesignDlgTest, TheTransactionPasswordMessageOpensThePasswordBrowser) {
    askPassword_ = true;
    const auto window = Open();
    LogIn(*window);
    gtk_button_clicked(window->uploadButton());
    WaitForJob(*window, 1);
    ASSERT_TRUE(PumpUntil([&] { return Lines(*window).size() > 2; }));
    EXPECT_EQ(
        passwordAddresses_,
        std::vector<std::string>{"http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2"});
    EXPECT_EQ(Lines(*window)[1], "请输入交易密码后重新上传。");
}

TEST_F(DesignDlgTest, PreviewOpensTheTemplatesFirstPicture) {
    const auto window = Open();
    SelectTemplate(*window, "a");
    gtk_button_clicked(window->previewButton());
    EXPECT_EQ(opened_, std::vector<std::string>{templates_.Folder() + "a/cover.JPG"});
    SelectTemplate(*window, "b");
    gtk_button_clicked(window->previewButton());
    EXPECT_EQ(opened_.size(), 1U);  // "b" holds no picture, and the window says so
    EXPECT_EQ(Lines(*window), std::vector<std::string>{"The template has no picture to preview."});
}

TEST_F(DesignDlgTest, AnEmptyTemplateListLeavesUploadAndPreviewDoingNothing) {
    const TempFolder empty;
    DesignDlg window(NewProgram(empty.Folder()), Options());
    window.Show();
    LogIn(window);
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(window.templateList())), -1);
    gtk_button_clicked(window.uploadButton());
    gtk_button_clicked(window.previewButton());
    PumpFor(50ms);
    EXPECT_EQ(log_.jobs, 0);
    EXPECT_TRUE(opened_.empty());
    EXPECT_TRUE(questions_.empty());
}

GdkEvent* KeyPress(GtkWidget* widget, guint keyval) {
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(widget)));
    event->key.keyval = keyval;
    event->key.time = GDK_CURRENT_TIME;
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()),
                                          keyval, &keys, &count) &&
        count > 0) {
        event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    }
    g_free(keys);
    gdk_event_set_device(
        event, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
    return event;
}

void Send(GtkWidget* widget, GdkEvent* event) {
    gtk_widget_event(widget, event);
    gdk_event_free(event);
}

TEST_F(DesignDlgTest, EnterPressesLoginAndEscDoesNothing) {
    const auto window = Open();
    GtkWidget* toplevel = GTK_WIDGET(window->window());
    Send(toplevel, KeyPress(toplevel, GDK_KEY_Escape));
    PumpFor(30ms);
    EXPECT_TRUE(closedWith_.empty());
    EXPECT_EQ(loginBrowserOpened_, 0);
    Send(toplevel, KeyPress(toplevel, GDK_KEY_Return));
    EXPECT_TRUE(PumpUntil([&] { return loginBrowserOpened_ == 1; }, 2s));
}

// The window manager's close request, as the close button sends it.
void SendDelete(const DesignDlg& window) {
    GdkEvent* close = gdk_event_new(GDK_DELETE);
    close->any.window =
        GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(window.window()))));
    gtk_main_do_event(close);
    gdk_event_free(close);
}

TEST_F(DesignDlgTest, ExitEndsWithOneAndTheCloseButtonWithZero) {
    {
        const auto window = Open();
        gtk_button_clicked(window->exitButton());
        EXPECT_EQ(window->window(), nullptr);
    }
    {
        const auto window = Open();
        SendDelete(*window);
        EXPECT_EQ(window->window(), nullptr);
    }
    EXPECT_EQ(closedWith_, (std::vector<int>{1, 0}));
}

TEST_F(DesignDlgTest, ClosingWhileAJobRunsKeepsTheWindowUntilTheJobHasEnded) {
    std::promise<void> hold;
    gate_ = hold.get_future().share();
    const auto window = Open();
    LogIn(*window);
    gtk_button_clicked(window->uploadButton());
    ASSERT_TRUE(PumpUntil([&] { return log_.jobs == 1; }));

    SendDelete(*window);
    gtk_button_clicked(window->exitButton());
    PumpFor(50ms);
    ASSERT_NE(window->window(), nullptr);
    EXPECT_TRUE(closedWith_.empty());
    const std::vector<std::string> lines = Lines(*window);
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "The program closes once the decoration has finished."),
              1);

    hold.set_value();
    ASSERT_TRUE(PumpUntil([&] { return window->window() == nullptr; }));
    EXPECT_EQ(closedWith_, std::vector<int>{0});   // the first request's code
    EXPECT_EQ(log_.Calls().back(), "categories");  // the job ran to its end
}

GdkEvent* Button(GtkWidget* widget, GdkEventType type, double x, double y) {
    GdkEvent* event = gdk_event_new(type);
    event->button.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(widget)));
    event->button.button = GDK_BUTTON_PRIMARY;
    event->button.x = x;
    event->button.y = y;
    event->button.time = GDK_CURRENT_TIME;
    gdk_event_set_device(
        event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
    return event;
}

TEST_F(DesignDlgTest, TheLinkOpensOnAClickOnItsTextAndTurnsVisited) {
    const auto window = Open();
    CHyperLink& link = window->link();
    GtkWidget* text = link.widget();
    EXPECT_EQ(link.CurrentColour().blue, kLinkColour.blue);
    const double width = gtk_widget_get_allocated_width(text);

    openSucceeds_ = false;  // a failed open leaves it unvisited
    Send(text, Button(text, GDK_BUTTON_PRESS, 2, 2));
    Send(text, Button(text, GDK_BUTTON_RELEASE, 2, 2));
    EXPECT_EQ(opened_, std::vector<std::string>{kMakerSiteAddress});
    EXPECT_FALSE(link.visited());

    openSucceeds_ = true;
    Send(text, Button(text, GDK_BUTTON_PRESS, 2, 2));
    Send(text, Button(text, GDK_BUTTON_RELEASE, width + 5, 2));  // released beside the text
    EXPECT_EQ(opened_.size(), 1U);
    Send(text, Button(text, GDK_BUTTON_PRESS, 2, 2));
    Send(text, Button(text, GDK_BUTTON_RELEASE, 3, 3));
    EXPECT_EQ(opened_.size(), 2U);
    EXPECT_TRUE(link.visited());
    EXPECT_EQ(link.CurrentColour().red, kVisitedColour.red);

    Send(text, KeyPress(text, GDK_KEY_space));
    Send(text, KeyPress(text, GDK_KEY_Return));
    Send(text, KeyPress(text, GDK_KEY_a));
    EXPECT_EQ(opened_.size(), 4U);

    gtk_widget_set_sensitive(text, FALSE);
    EXPECT_EQ(link.CurrentColour().green, kDisabledColour.green);
}

}  // namespace
}  // namespace kesto::gtk
