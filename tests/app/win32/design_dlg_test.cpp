// Drives the real dialog of resource 103: the dialog runs modally on the test's thread while a
// driver thread looks at its controls and presses its buttons through window messages.

#include "app/win32/design_dlg.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/maker_link.h"
#include "app/win32/shell_open.h"
#include "platform/win32/wide_text.h"
#include "tests/app/win32/window_screenshot.h"
#include "tests/common/temp_folder.h"

namespace kesto::win32 {
namespace {

using namespace std::chrono_literals;
using kesto::testing::SaveWindowPng;
using kesto::testing::TempFolder;

// Makes the fake steps of one job over the sink they report through.
using DecorationStepsFactory =
    std::function<std::unique_ptr<DecorationSteps>(std::shared_ptr<ProgressSink>)>;

constexpr wchar_t kDialogCaption[] = L"Kesto装修";
constexpr wchar_t kWarningCaption[] = L"提示";

// What the fake services and steps saw, shared between the dialog's, the driver's and the jobs'
// threads.
struct Record {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::wstring> shellOpened;
    std::vector<std::wstring> shopFronts;
    std::vector<std::wstring> passwordBrowser;
    int loginBrowserOpened = 0;
    int loginPolls = 0;
    bool loginComplete = false;
    bool loginWindowOpen = false;
    int jobsStarted = 0;
    int categoriesUpdated = 0;
    bool jobsMayFinish = false;
    bool shopFrontFails = false;

    template <typename Read>
    auto Get(Read read) {
        const std::lock_guard guard(lock);
        return read();
    }
    template <typename Change>
    void Set(Change change) {
        {
            const std::lock_guard guard(lock);
            change();
        }
        changed.notify_all();
    }
};

// A job's steps: the first (holding the shop) waits until the test lets jobs finish; the shop
// sign step reports that the marketplace asks for the transaction password, and a failure's
// reason.
class FakeSteps final : public DecorationSteps {
  public:
    FakeSteps(std::shared_ptr<ProgressSink> sink, Record& record)
        : sink_(std::move(sink)), record_(record) {}

    AreaResult HoldShop() override {
        record_.Set([&] { ++record_.jobsStarted; });
        std::unique_lock guard(record_.lock);
        record_.changed.wait_for(guard, 30s, [&] { return record_.jobsMayFinish; });
        return {1, {}};
    }
    AreaResult UpdateShopSign(JobContext&, const TemplateFile&) override {
        sink_->Post({kTransactionPassword, 0, 0, {}});
        sink_->Post({kFailureReason, 0, 0, "a reason"});
        return {1, {}};
    }
    AreaResult UpdateMainPage(JobContext&, const MainFolder&) override { return {1, {}}; }
    AreaResult UpdateCategories(JobContext&, const ClassFolder&) override {
        record_.Set([&] { ++record_.categoriesUpdated; });
        return {1, {}};
    }
    std::string UserNumber() override { return "10001"; }

  private:
    std::shared_ptr<ProgressSink> sink_;
    Record& record_;
};

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// A dialog with the caption once it is shown, that is once its initial set-up is done.
HWND FindDialog(const wchar_t* caption) {
    HWND dialog = FindWindowW(L"#32770", caption);
    return dialog != nullptr && IsWindowVisible(dialog) ? dialog : nullptr;
}

std::vector<std::wstring> ListLines(HWND dialog) {
    HWND list = GetDlgItem(dialog, kProgressList);
    std::vector<std::wstring> lines;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto index = static_cast<WPARAM>(i);
        std::wstring line(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, index, 0)),
                          L'\0');
        SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line.data()));
        lines.push_back(line);
    }
    return lines;
}

int CountLine(HWND dialog, const std::wstring& wanted) {
    int count = 0;
    for (const std::wstring& line : ListLines(dialog)) {
        count += line == wanted ? 1 : 0;
    }
    return count;
}

std::wstring ComboText(HWND dialog, int index) {
    HWND combo = GetDlgItem(dialog, kTemplateList);
    const auto item = static_cast<WPARAM>(index);
    std::wstring text(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, item, 0)),
                      L'\0');
    SendMessageW(combo, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()));
    return text;
}

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}
bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

void Press(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
void PressLater(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The dialog's services, recording what they are asked; jobs run on threads of their own, as
// the program's do.
class FakeServices final : public DesignServices {
  public:
    FakeServices(Record& record, DecorationStepsFactory makeSteps)
        : record_(record), makeSteps_(std::move(makeSteps)) {}

    void OpenLoginBrowser() override {
        record_.Set([&] {
            ++record_.loginBrowserOpened;
            record_.loginWindowOpen = true;
        });
    }
    // As the real check, a complete login closes the login window.
    bool CheckLogin() override {
        bool complete = false;
        record_.Set([&] {
            ++record_.loginPolls;
            complete = record_.loginComplete;
            record_.loginWindowOpen = record_.loginWindowOpen && !complete;
        });
        return complete;
    }
    bool LoginBrowserOpen() const override {
        return record_.Get([&] { return record_.loginWindowOpen; });
    }
    void OpenPasswordBrowser(const std::string& address) override {
        record_.Set([&] { record_.passwordBrowser.push_back(Widen(address)); });
    }
    bool OpenWithShell(const std::string& target) override {
        record_.Set([&] { record_.shellOpened.push_back(Widen(target)); });
        return true;
    }
    // Answers at once, as the platform's opener does; one that fails says so from its own thread.
    bool OpenShopFront(const std::string& address, std::function<void()> notOpened) override {
        bool fails = false;
        record_.Set([&] {
            record_.shopFronts.push_back(Widen(address));
            fails = record_.shopFrontFails;
        });
        if (fails) {
            std::thread(std::move(notOpened)).join();
        }
        return true;
    }
    void RunJob(const JobRequest& request, std::shared_ptr<ProgressSink> progress) override {
        const std::unique_ptr<DecorationSteps> steps = makeSteps_(progress);
        RunDecorationJob(request, *steps, *progress);
    }

  private:
    Record& record_;
    DecorationStepsFactory makeSteps_;
};

class DesignDlgTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }

    std::unique_ptr<FakeServices> Services() {
        return std::make_unique<FakeServices>(record, [this](std::shared_ptr<ProgressSink> sink) {
            return std::make_unique<FakeSteps>(std::move(sink), record);
        });
    }

    // Runs the dialog with the driver on its own thread; the code the dialog ended with, and
    // the exit code of the quit request its destruction left behind (-1 for none).
    template <typename Driver>
    std::pair<INT_PTR, int> Run(const std::string& templateRoot, Driver driver) {
        DesignProgram program(Services(), DesignProgramSettings{{templateRoot}});
        DesignDlg dialog(program);
        std::thread driving([&] {
            HWND window = nullptr;
            if (WaitFor([&] { return (window = FindDialog(kDialogCaption)) != nullptr; })) {
                driver(window);
            }
            if (IsWindow(window)) {
                PressLater(window, kExitButton);  // whatever the driver left undone
            }
        });
        const INT_PTR code = dialog.DoModal(GetModuleHandleW(nullptr));
        driving.join();
        MSG quit{};
        const int quitCode = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)
                                 ? static_cast<int>(quit.wParam)
                                 : -1;
        return {code, quitCode};
    }

    Record record;
};

TEST_F(DesignDlgTest, ListsTemplatesLogsInWarnsOnceAndRunsOneJobAtATime) {
    TempFolder root;
    root.Write("a/cover.JPG", "x");
    root.Write("a/a.b.gif", "x");
    root.Write("a/head/sign.jpg", "x");
    root.Write("b/readme.txt", "x");
    root.Write("loose.jpg", "x");
    root.Write(".hidden/x.jpg", "x");
    const std::wstring folderA = Widen(root.Folder()) + L"a\\";

    const auto [code, quitCode] = Run(root.Folder(), [&](HWND dialog) {
        // The template list, the three areas, Upload disabled until the login.
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, kTemplateList), CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(ComboText(dialog, 0), L"a");
        EXPECT_EQ(ComboText(dialog, 1), L"b");
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, kTemplateList), CB_GETCURSEL, 0, 0), 0);
        for (const int box : {kShopSignBox, kMainPageBox, kCategoriesBox}) {
            EXPECT_TRUE(Checked(dialog, box)) << box;
        }
        EXPECT_FALSE(Enabled(dialog, kUploadButton));
        EXPECT_TRUE(Enabled(dialog, kLoginButton));
        // Enter presses Login; Esc (the cancel command) does nothing.
        EXPECT_EQ(LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)), kLoginButton);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_TRUE(IsWindow(dialog));

        // Preview opens the template's first picture, taking the extension after the first ".".
        Press(dialog, kPreviewButton);
        EXPECT_EQ(record.Get([&] { return record.shellOpened; }),
                  std::vector<std::wstring>{folderA + L"cover.JPG"});

        // Login opens the login browser; the 2,000 ms timer polls until the login completes.
        Press(dialog, kLoginButton);
        EXPECT_EQ(record.Get([&] { return record.loginBrowserOpened; }), 1);
        EXPECT_TRUE(WaitFor([&] { return CountLine(dialog, L"正在登录...") == 1; }, 8s));
        record.Set([&] { record.loginComplete = true; });
        EXPECT_TRUE(WaitFor([&] { return CountLine(dialog, L"已登录.") == 1; }, 6s));
        EXPECT_TRUE(Enabled(dialog, kUploadButton));

        // The first Upload with categories ticked asks; No unticks the box.
        PressLater(dialog, kUploadButton);
        HWND warning = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (warning = FindDialog(kWarningCaption)) != nullptr; }));
        EXPECT_FALSE(IsWindowEnabled(dialog));  // no second Upload while the question shows
        PostMessageW(warning, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
        EXPECT_TRUE(WaitFor([&] { return record.Get([&] { return record.jobsStarted; }) == 1; }));
        EXPECT_FALSE(Checked(dialog, kCategoriesBox));
        EXPECT_FALSE(Enabled(dialog, kUploadButton));  // one job at a time
        Press(dialog, kUploadButton);
        record.Set([&] { record.jobsMayFinish = true; });
        EXPECT_TRUE(WaitFor([&] { return CountLine(dialog, L"装修完成。") == 1; }));
        EXPECT_TRUE(WaitFor([&] { return Enabled(dialog, kUploadButton); }));
        EXPECT_EQ(record.Get([&] { return record.jobsStarted; }), 1);
        EXPECT_EQ(CountLine(dialog, L"请输入交易密码后重新上传。"), 1);
        EXPECT_EQ(CountLine(dialog, L"原因：a reason"), 1);

        // Ticked again, categories run without a second question. The shop front then fails to
        // open, which the opener's thread reports after it has answered.
        CheckDlgButton(dialog, kCategoriesBox, BST_CHECKED);
        record.Set([&] { record.shopFrontFails = true; });
        PressLater(dialog, kUploadButton);
        EXPECT_TRUE(WaitFor([&] { return CountLine(dialog, L"装修完成。") == 2; }));
        EXPECT_TRUE(WaitFor([&] {
            return CountLine(
                       dialog,
                       L"Could not open the shop front: open the address above in a browser.") == 1;
        }));
        EXPECT_EQ(FindDialog(kWarningCaption), nullptr);
        EXPECT_EQ(record.Get([&] { return record.categoriesUpdated; }), 1);

        EXPECT_TRUE(WaitFor([&] { return Enabled(dialog, kUploadButton); }));
        EXPECT_TRUE(SaveWindowPng(dialog, L"design_dialog.png"));
        PressLater(dialog, kExitButton);
    });

    EXPECT_EQ(code, 1);      // Exit
    EXPECT_EQ(quitCode, 0);  // the destroyed dialog asked the process to end with code 0
    const std::wstring member = L"http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2";
    EXPECT_EQ(record.passwordBrowser, (std::vector<std::wstring>{member, member}));
    ASSERT_EQ(record.shopFronts.size(), 2u);
    EXPECT_EQ(record.shopFronts[0].rfind(L"http://shop.kesto.example/10001?t=", 0), 0u);
}

// However many lines the list holds, its newest is in sight, and no line is selected.
TEST_F(DesignDlgTest, TheNewestProgressLineStaysInSight) {
    TempFolder root;
    Run(root.Folder(), [&](HWND dialog) {
        WindowProgressSink lines(dialog);  // as a job posts them
        for (int line = 0; line < 80; ++line) {
            lines.Post({kShopSignProgress, 0, 0, {}});
        }
        lines.Post({kDecorationFinished, 0, 0, {}});
        ASSERT_TRUE(WaitFor([&] { return CountLine(dialog, L"装修完成。") == 1; }));
        HWND list = GetDlgItem(dialog, kProgressList);
        RECT client{};
        GetClientRect(list, &client);
        const auto top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
        EXPECT_GT(top, 0);
        EXPECT_LE((81 - top) * SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), client.bottom);
        EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    });
}

// Keys reach the dialog's modal loop as a user's do: posted to the focused control.
TEST_F(DesignDlgTest, EnterOnTheFocusedLinkOpensItAndElsewherePressesLogin) {
    TempFolder root;
    const auto [code, quitCode] = Run(root.Folder(), [&](HWND dialog) {
        HWND link = GetDlgItem(dialog, kMakerLink);
        const LPARAM enterKey = 1 | (MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC) << 16);
        PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(link), TRUE);
        PostMessageW(link, WM_KEYDOWN, VK_RETURN, enterKey);
        EXPECT_TRUE(
            WaitFor([&] { return record.Get([&] { return record.shellOpened.size(); }) == 1; }));
        EXPECT_EQ(record.Get([&] { return record.loginBrowserOpened; }), 0);

        HWND box = GetDlgItem(dialog, kShopSignBox);
        PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
        PostMessageW(box, WM_KEYDOWN, VK_RETURN, enterKey);
        EXPECT_TRUE(WaitFor([&] { return record.Get([&] { return record.loginBrowserOpened; }); }));
        EXPECT_EQ(record.Get([&] { return record.shellOpened.size(); }), 1u);
    });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(quitCode, 0);
    ASSERT_EQ(record.shellOpened.size(), 1u);
    EXPECT_EQ(record.shellOpened[0], Widen(kMakerSiteAddress));
}

TEST_F(DesignDlgTest, AnEmptyTemplateFolderLeavesPreviewIdleAndCloseEndsWithZero) {
    TempFolder root;
    const auto [code, quitCode] = Run(root.Folder(), [&](HWND dialog) {
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, kTemplateList), CB_GETCOUNT, 0, 0), 0);
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, kTemplateList), CB_GETCURSEL, 0, 0), CB_ERR);
        Press(dialog, kPreviewButton);
        Press(dialog, kUploadButton);
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(quitCode, 0);
    EXPECT_TRUE(record.shellOpened.empty());
    EXPECT_EQ(record.jobsStarted, 0);
}

TEST_F(DesignDlgTest, TheCloseCommandWhileAJobRunsEndsTheDialogOnceTheJobHasEnded) {
    TempFolder root;
    root.Write("a/cover.jpg", "x");
    record.loginComplete = true;
    const auto [code, quitCode] = Run(root.Folder(), [&](HWND dialog) {
        Press(dialog, kLoginButton);
        EXPECT_TRUE(WaitFor([&] { return Enabled(dialog, kUploadButton); }, 6s));
        CheckDlgButton(dialog, kCategoriesBox, BST_UNCHECKED);  // no question
        PressLater(dialog, kUploadButton);
        EXPECT_TRUE(WaitFor([&] { return record.Get([&] { return record.jobsStarted; }) == 1; }));

        // Neither the close command nor Exit ends the dialog while the job runs.
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        PressLater(dialog, kExitButton);
        EXPECT_TRUE(WaitFor([&] {
            return CountLine(dialog, L"The program closes once the decoration has finished.") == 1;
        }));
        std::this_thread::sleep_for(200ms);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(CountLine(dialog, L"The program closes once the decoration has finished."), 1);

        record.Set([&] { record.jobsMayFinish = true; });
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    });
    EXPECT_EQ(code, 0);  // the first request's code
    EXPECT_EQ(quitCode, 0);
    EXPECT_EQ(record.shopFronts.size(), 1u);  // the job ran to its end
}

// The shop front's opener answers at once and reports the shell's failure from its own thread.
TEST(ShellOpenTest, TheOpenersThreadReportsATargetTheShellCannotOpen) {
    TempFolder folder;
    folder.Write("page.txt", "x");
    for (const std::wstring& target : {Widen(folder.Folder()) + L"no-such-file.kesto-none",
                                       Widen(folder.Folder()) + L"no-such-folder\\page.txt"}) {
        struct Report {
            std::mutex lock;
            std::condition_variable arrived;
            bool notOpened = false;
        };
        const auto report = std::make_shared<Report>();  // the thread may outlive a failed wait
        ShellOpenOnOwnThread(target, [report] {
            const std::lock_guard guard(report->lock);
            report->notOpened = true;
            report->arrived.notify_all();
        });
        std::unique_lock guard(report->lock);
        EXPECT_TRUE(report->arrived.wait_for(guard, 20s, [&] { return report->notOpened; }))
            << Narrow(target);
    }
}

}  // namespace
}  // namespace kesto::win32
