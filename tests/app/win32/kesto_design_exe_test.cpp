// Starts kesto-design.exe itself (its path is the test's first argument) and looks at the dialog
// it shows: resource 103 with the templates beside the executable, Upload disabled, the link.
// Exit and the close command both end the process with exit code 1. At start the program sets its
// browsers' document mode in the current user's settings.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "browser/win32/browser_emulation.h"
#include "tests/app/win32/window_screenshot.h"

namespace {

using namespace std::chrono_literals;

std::wstring g_program;

// A Unix path as Wine shows it on drive Z:.
std::wstring WindowsPath(const std::string& path) {
    std::wstring converted = L"Z:";
    for (const char c : path) {
        converted += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return converted;
}

// One run of the program, ended and waited for when the object goes.
class RunningProgram {
  public:
    explicit RunningProgram(const std::wstring& program) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + program + L"\"";
        started_ = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                  nullptr, nullptr, &startup, &process_) != FALSE;
    }
    ~RunningProgram() {
        if (started_) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_.hProcess, 99);
            }
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return started_; }

    HWND WaitForDialog() const {
        const auto end = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < end) {
            HWND dialog = FindWindowW(L"#32770", L"Kesto装修");
            if (dialog != nullptr && IsWindowVisible(dialog)) {  // its set-up is done
                return dialog;
            }
            std::this_thread::sleep_for(50ms);
        }
        return nullptr;
    }

    // The process's exit code once it ended within the time; -1 otherwise.
    long ExitCode() const {
        DWORD code = 0;
        if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process_.hProcess, &code)) {
            return -1;
        }
        return static_cast<long>(code);
    }

  private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

std::wstring ControlText(HWND dialog, int id) {
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

TEST(KestoDesignExeTest, ShowsTheDialogWithTheTemplatesAndExitEndsTheProcess) {
    RunningProgram program(g_program);
    ASSERT_TRUE(program.started());
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_GE(SendDlgItemMessageW(dialog, 1003, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(SendDlgItemMessageW(dialog, 1003, CB_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 108)));
    EXPECT_EQ(ControlText(dialog, 4), L"登录");
    EXPECT_EQ(ControlText(dialog, 108), L"上传");
    EXPECT_EQ(ControlText(dialog, 5), L"预览");
    EXPECT_EQ(ControlText(dialog, 3), L"退出");
    EXPECT_EQ(ControlText(dialog, 1004), L"店招");
    EXPECT_EQ(ControlText(dialog, 1005), L"主页面");
    EXPECT_EQ(ControlText(dialog, 1006), L"分类");
    EXPECT_NE(GetWindowLongPtrW(GetDlgItem(dialog, 1001), GWL_STYLE) & SS_NOTIFY, 0);
    EXPECT_EQ(GetWindowLongPtrW(dialog, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    std::this_thread::sleep_for(500ms);  // let the desktop finish drawing
    EXPECT_TRUE(kesto::testing::SaveWindowPng(dialog, L"kesto_design.png"));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), 0);
    EXPECT_EQ(program.ExitCode(), 1);
}

// The manifest makes the dialog per-monitor DPI aware (version 2), so that the system scales it
// to each monitor's DPI instead of stretching a bitmap of it.
TEST(KestoDesignExeTest, TheDialogIsPerMonitorDpiAware) {
    using WindowContext = HANDLE(WINAPI*)(HWND);
    using AwarenessOf = int(WINAPI*)(HANDLE);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto windowContext = reinterpret_cast<WindowContext>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
    const auto awarenessOf = reinterpret_cast<AwarenessOf>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    if (windowContext == nullptr || awarenessOf == nullptr) {
        GTEST_SKIP() << "no per-window DPI awareness on this system";
    }
    RunningProgram program(g_program);
    ASSERT_TRUE(program.started());
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    constexpr int kPerMonitorAware = 2;  // DPI_AWARENESS_PER_MONITOR_AWARE
    EXPECT_EQ(awarenessOf(windowContext(dialog)), kPerMonitorAware);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), 0);
    EXPECT_EQ(program.ExitCode(), 1);
}

TEST(KestoDesignExeTest, AtStartTheProgramSetsItsBrowsersDocumentMode) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kesto::win32::kBrowserEmulationKey, L"kesto-design.exe");
    RunningProgram program(g_program);
    ASSERT_TRUE(program.started());
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    DWORD mode = 0;
    DWORD size = sizeof(mode);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kesto::win32::kBrowserEmulationKey,
                           L"kesto-design.exe", RRF_RT_REG_DWORD, nullptr, &mode, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::optional<DWORD>(mode),
              kesto::win32::EmulationModeForEngineVersion(kesto::win32::InstalledEngineVersion()));
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(program.ExitCode(), 1);
}

TEST(KestoDesignExeTest, TheCloseCommandEndsTheProcessToo) {
    RunningProgram program(g_program);
    ASSERT_TRUE(program.started());
    HWND dialog = program.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(program.ExitCode(), 1);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kesto_design_exe_tests PATH-OF-kesto-design.exe\n");
        return 2;
    }
    g_program = WindowsPath(argv[1]);
    return RUN_ALL_TESTS();
}
