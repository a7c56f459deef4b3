// The container's side of the web-browser control's hosting contract, against the control's test
// double (Wine has no HTML engine here, so the real control renders nothing): keys, focus,
// events, pop-up windows, the login link walk and the password browser over a scripted document,
// and the document mode setting.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/login_kesto.h"
#include "browser/password_browser.h"
#include "browser/win32/browser_emulation.h"
#include "browser/win32/browser_ids.h"
#include "browser/win32/browser_key_routing.h"
#include "browser/win32/control_browser_window.h"
#include "tests/browser/win32/fake_web_browser.h"

namespace kesto::win32 {
namespace {

using kesto::testing::FakeBrowserLog;
using kesto::testing::ScriptedElement;
using Microsoft::WRL::ComPtr;

constexpr wchar_t kPortalFront[] = L"http://www.kesto.example/";

// Makes control doubles, keeping each one's log in the order they were made.
struct FakeControls {
    std::vector<std::shared_ptr<FakeBrowserLog>> logs;

    ControlBrowserSettings Settings() {
        ControlBrowserSettings settings;
        settings.makeControl = [this](IOleObject** control) {
            auto log = std::make_shared<FakeBrowserLog>();
            logs.push_back(log);
            return kesto::testing::MakeFakeWebBrowser(log, IID_IOleObject,
                                                      reinterpret_cast<void**>(control));
        };
        return settings;
    }
};

class RecordingEvents final : public BrowserEvents {
  public:
    void OnTopLevelDocumentComplete(std::string cookieText, BrowserDocument& document) override {
        cookies.push_back(std::move(cookieText));
        urls.push_back(document.Url());
    }
    std::vector<std::string> cookies;
    std::vector<std::string> urls;
};

// Runs the thread's waiting messages as a dialog's modal loop does: each is offered to the
// message-filter hook before it is translated and dispatched.
void PumpAsDialogLoop() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!CallMsgFilterW(&message, MSGF_DIALOGBOX)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// Fires one of the control's events at the sink the container connected; the arguments in
// DISPPARAMS order (the last one first).
HRESULT Fire(const FakeBrowserLog& log, DISPID event, std::vector<VARIANT> arguments) {
    auto* sink = static_cast<IDispatch*>(log.sink);
    if (sink == nullptr) {
        return E_FAIL;
    }
    DISPPARAMS parameters{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    return sink->Invoke(event, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr,
                        nullptr);
}

VARIANT DispatchArgument(IDispatch* object) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_DISPATCH;
    value.pdispVal = object;
    return value;
}

// DocumentComplete (pDisp, URL) of the control's top-level document.
HRESULT CompleteTopLevelDocument(const FakeBrowserLog& log) {
    VARIANT url;
    VariantInit(&url);
    return Fire(log, kDocumentComplete, {url, DispatchArgument(static_cast<IDispatch*>(log.self))});
}

ComPtr<IUnknown> Identity(IUnknown* object) {
    ComPtr<IUnknown> identity;
    if (object != nullptr) {
        object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf()));
    }
    return identity;
}

class ControlHostingTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        OleInitialize(nullptr);
        ASSERT_TRUE(ControlBrowserWindow::RegisterWindowClasses());
    }
    static void TearDownTestSuite() { OleUninitialize(); }

    // Activates the window as a user's click does, and lets its messages run.
    static void Activate(HWND window) {
        ShowWindow(window, SW_SHOWNORMAL);
        SetActiveWindow(window);
        PumpAsDialogLoop();
    }

    FakeControls controls;
    RecordingEvents events;
    const BrowserKeysInModalLoops keys;
};

TEST_F(ControlHostingTest, ActivationUiActivatesTheControlAndGivesItTheFocus) {
    ASSERT_TRUE(keys.installed());
    ControlBrowserWindow window(events, controls.Settings());
    ASSERT_EQ(controls.logs.size(), 1u);
    FakeBrowserLog& log = *controls.logs[0];
    ASSERT_FALSE(log.verbs.empty());
    EXPECT_EQ(log.verbs[0], OLEIVERB_INPLACEACTIVATE);

    // Another window's activation is told to the control, and so is the way back, which
    // UI-activates the control and gives it the focus.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    Activate(other);
    log.verbs.clear();
    log.frameActive.clear();
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(window.browser()->QueryInterface(IID_IOleInPlaceObject,
                                               reinterpret_cast<void**>(inPlace.GetAddressOf())),
              S_OK);
    inPlace->UIDeactivate();
    Activate(window.window());
    EXPECT_TRUE(log.uiActive);
    EXPECT_EQ(log.verbs.at(0), OLEIVERB_UIACTIVATE);
    EXPECT_EQ(GetFocus(), log.window);
    Activate(other);
    EXPECT_EQ(log.frameActive, std::vector<bool>{false});
    Activate(window.window());
    EXPECT_EQ(log.frameActive, (std::vector<bool>{false, true}));
    EXPECT_EQ(GetFocus(), log.window);
    DestroyWindow(other);
}

TEST_F(ControlHostingTest, KeysGoToTheUiActiveControlFirst) {
    ControlBrowserWindow window(events, controls.Settings());
    FakeBrowserLog& log = *controls.logs[0];
    const HWND control = log.window;

    // Not UI active (the control has left that state): the site let go of the control's active
    // object, and keys are not offered to the control.
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(window.browser()->QueryInterface(IID_IOleInPlaceObject,
                                               reinterpret_cast<void**>(inPlace.GetAddressOf())),
              S_OK);
    inPlace->UIDeactivate();
    log.keyAnswer = S_OK;
    PostMessageW(control, WM_KEYDOWN, VK_TAB, 0);
    PumpAsDialogLoop();
    EXPECT_TRUE(log.translated.empty());
    ASSERT_FALSE(log.dispatched.empty());
    EXPECT_EQ(log.dispatched[0], static_cast<UINT>(WM_KEYDOWN));

    Activate(window.window());
    ASSERT_TRUE(log.uiActive);
    const struct {
        UINT message;
        WPARAM key;
        HRESULT answer;  // the control's
        bool offered;
        bool dispatched;
    } cases[] = {
        {WM_KEYDOWN, VK_TAB, S_OK, true, false},  // the control moved the focus itself
        {WM_KEYDOWN, VK_DELETE, S_FALSE, true, true}, {WM_KEYUP, VK_BACK, S_FALSE, true, true},
        {WM_CHAR, L'v', S_FALSE, true, true},         {WM_SYSKEYDOWN, VK_MENU, S_FALSE, true, true},
        {WM_MOUSEMOVE, 0, S_OK, false, false},  // not a key
    };
    for (const auto& c : cases) {
        log.translated.clear();
        log.dispatched.clear();
        log.keyAnswer = c.answer;
        PostMessageW(control, c.message, c.key, 0);
        PumpAsDialogLoop();
        EXPECT_EQ(!log.translated.empty() && log.translated.front() == c.message, c.offered)
            << c.message << " " << c.key;
        EXPECT_EQ(!log.dispatched.empty() && log.dispatched.front() == c.message, c.dispatched)
            << c.message << " " << c.key;
    }

    // Keys of a window that is not a browser's stay with it.
    log.translated.clear();
    log.keyAnswer = S_OK;
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    PostMessageW(edit, WM_KEYDOWN, VK_TAB, 0);
    PumpAsDialogLoop();
    EXPECT_TRUE(log.translated.empty());
    DestroyWindow(edit);

    // A menu's loop keeps its keys; a message box's gives them on.
    MSG key{control, WM_KEYDOWN, VK_DOWN, 0, 0, {}};
    EXPECT_FALSE(CallMsgFilterW(&key, MSGF_MENU));
    EXPECT_TRUE(log.translated.empty());
    EXPECT_TRUE(CallMsgFilterW(&key, MSGF_MESSAGEBOX));
    EXPECT_EQ(log.translated, std::vector<UINT>{WM_KEYDOWN});
}

// The program's loop is a dialog box's modal loop, whose messages go through the hook.
INT_PTR CALLBACK PostKeyThenEnd(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        PostMessageW(reinterpret_cast<HWND>(lParam), WM_KEYDOWN, VK_TAB, 0);
        PostMessageW(dialog, WM_APP, 0, 0);
        return TRUE;
    }
    if (message == WM_APP) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

TEST_F(ControlHostingTest, KeysReachTheControlInADialogBoxsModalLoop) {
    ControlBrowserWindow window(events, controls.Settings());
    FakeBrowserLog& log = *controls.logs[0];
    Activate(window.window());
    ASSERT_TRUE(log.uiActive);
    log.keyAnswer = S_OK;

    struct EmptyDialog {
        DLGTEMPLATE header;
        WORD menu;
        WORD windowClass;
        WORD title;
    };
    alignas(4) const EmptyDialog dialog{{WS_POPUP, 0, 0, 0, 0, 50, 20}, 0, 0, 0};
    EXPECT_EQ(DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialog.header, nullptr,
                                      &PostKeyThenEnd, reinterpret_cast<LPARAM>(log.window)),
              0);
    EXPECT_EQ(log.translated, std::vector<UINT>{WM_KEYDOWN});
    EXPECT_TRUE(log.dispatched.empty());
}

TEST_F(ControlHostingTest, EventsAreConnectedByTheirOwnInterfaceIdAndLetGoAtTheEnd) {
    {
        ControlBrowserWindow window(events, controls.Settings());
        const FakeBrowserLog& log = *controls.logs[0];
        EXPECT_TRUE(IsEqualIID(log.eventsAsked, kWebBrowserEvents2Interface));
        // The double connects only a sink that answers for DWebBrowserEvents2's id.
        EXPECT_EQ(log.sink, window.eventSink());
        void* events2 = nullptr;
        EXPECT_EQ(window.eventSink()->QueryInterface(kWebBrowserEvents2Interface, &events2), S_OK);
        EXPECT_EQ(events2, window.eventSink());
        window.eventSink()->Release();
    }
    const FakeBrowserLog& log = *controls.logs[0];
    EXPECT_EQ(log.sink, nullptr);
    EXPECT_TRUE(log.closed);
    EXPECT_TRUE(log.quit);
    EXPECT_EQ(log.self, nullptr);  // every reference was given back
}

// The page's own messages reach the user: the control is not silent, and its site takes only
// the script error among the control's commands, answering "keep running the page's scripts".
// The site tells the control that the host is DPI-aware.
TEST_F(ControlHostingTest, TheSiteAnswersScriptErrorsAndLeavesThePagesMessagesShowing) {
    ControlBrowserWindow window(events, controls.Settings());
    const FakeBrowserLog& log = *controls.logs[0];
    EXPECT_EQ(log.silentSet, std::vector<bool>{false});
    ASSERT_TRUE(log.hostInfoFlags.has_value());
    EXPECT_EQ(*log.hostInfoFlags & DOCHOSTUIFLAG_DPI_AWARE, DWORD{DOCHOSTUIFLAG_DPI_AWARE});
    ComPtr<IOleCommandTarget> site;
    ASSERT_EQ(static_cast<IUnknown*>(log.site)->QueryInterface(
                  IID_IOleCommandTarget, reinterpret_cast<void**>(site.GetAddressOf())),
              S_OK);
    const struct {
        const GUID* group;
        DWORD command;
        HRESULT result;
    } cases[] = {
        {&kDocHostCommandGroup, OLECMDID_SHOWSCRIPTERROR, S_OK},
        {&kDocHostCommandGroup, OLECMDID_SHOWMESSAGE, OLECMDERR_E_NOTSUPPORTED},  // alert()
        {nullptr, OLECMDID_SHOWSCRIPTERROR, OLECMDERR_E_NOTSUPPORTED},
        {&IID_IUnknown, OLECMDID_SHOWSCRIPTERROR, OLECMDERR_E_UNKNOWNGROUP},
    };
    for (const auto& c : cases) {
        VARIANT out;
        VariantInit(&out);
        EXPECT_EQ(site->Exec(c.group, c.command, OLECMDEXECOPT_DODEFAULT, nullptr, &out), c.result)
            << c.command;
        EXPECT_EQ(out.vt == VT_BOOL && out.boolVal == VARIANT_TRUE, c.result == S_OK) << c.command;
    }
}

// The container's COM objects live while anyone holds them and go with the last reference: the
// window and the control let go of them when the window closes, a reference held longer keeps
// each alive (the sink then reaching no window), and its release frees it.
TEST_F(ControlHostingTest, TheSiteAndTheEventSinkCountTheirReferencesAndGoWithTheLast) {
    IUnknown* site = nullptr;
    IDispatch* sink = nullptr;
    {
        ControlBrowserWindow window(events, controls.Settings());
        const FakeBrowserLog& log = *controls.logs[0];
        site = static_cast<IUnknown*>(log.site);
        sink = window.eventSink();
        ASSERT_NE(site, nullptr);
        ASSERT_EQ(log.sink, sink);
        for (IUnknown* object : {site, static_cast<IUnknown*>(sink)}) {
            const ULONG held = object->AddRef();  // the test's, kept past the window
            EXPECT_GE(held, 3u);  // the window's, the control's and the test's at least
            EXPECT_EQ(object->AddRef(), held + 1);
            EXPECT_EQ(object->Release(), held);
        }
    }
    EXPECT_EQ(controls.logs[0]->site, nullptr);
    EXPECT_EQ(controls.logs[0]->sink, nullptr);
    void* again = nullptr;
    ASSERT_EQ(site->QueryInterface(IID_IOleClientSite, &again), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(again)->Release(), 1u);
    DISPPARAMS none{};
    EXPECT_EQ(sink->Invoke(kDocumentComplete, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr,
                           nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(site->Release(), 0u);
    EXPECT_EQ(sink->Release(), 0u);
}

// The window is owned by the window the settings name when it is made: no taskbar button of its
// own, never behind that window.
TEST_F(ControlHostingTest, TheWindowIsOwnedByTheGivenOwner) {
    HWND dialog = CreateWindowExW(0, L"STATIC", L"dialog", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
    const struct {
        std::function<HWND()> owner;
        HWND expected;
    } cases[] = {
        {[dialog] { return dialog; }, dialog},
        {[] { return HWND{}; }, nullptr},
        {{}, nullptr},
    };
    for (const auto& c : cases) {
        ControlBrowserSettings settings = controls.Settings();
        settings.owner = c.owner;
        ControlBrowserWindow window(events, settings);
        ASSERT_TRUE(window.IsOpen());
        EXPECT_EQ(GetWindow(window.window(), GW_OWNER), c.expected);
        EXPECT_EQ(GetWindowLongPtrW(window.window(), GWL_STYLE) & WS_CHILD, 0);
    }
    DestroyWindow(dialog);
}

// NewWindow2 (ppDisp, Cancel) and NewWindow3 (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl).
TEST_F(ControlHostingTest, NewWindowsOpenInAWindowOfTheProgram) {
    for (const DISPID event : {kNewWindow2, kNewWindow3}) {
        SCOPED_TRACE(event);
        FakeControls made;
        ControlBrowserWindow window(events, made.Settings());
        IDispatch* handedBack = nullptr;
        VARIANT_BOOL cancel = VARIANT_TRUE;
        std::vector<VARIANT> arguments(event == kNewWindow2 ? 2 : 5);
        for (VARIANT& argument : arguments) {
            VariantInit(&argument);
        }
        const std::size_t last = arguments.size() - 1;
        arguments[last].vt = VT_BYREF | VT_DISPATCH;
        arguments[last].ppdispVal = &handedBack;
        arguments[last - 1].vt = VT_BYREF | VT_BOOL;
        arguments[last - 1].pboolVal = &cancel;
        ASSERT_EQ(Fire(*made.logs[0], event, arguments), S_OK);

        EXPECT_EQ(cancel, VARIANT_FALSE);
        ASSERT_EQ(made.logs.size(), 2u);
        ASSERT_EQ(window.popups().size(), 1u);
        const ControlBrowserWindow& popup = *window.popups()[0];
        EXPECT_TRUE(IsWindowVisible(popup.window()));
        EXPECT_TRUE(made.logs[1]->registeredAsBrowser);
        ASSERT_NE(handedBack, nullptr);
        EXPECT_EQ(Identity(handedBack), Identity(popup.browser()));
        handedBack->Release();

        // The pop-up's pages report to the same events, so the login may end there.
        made.logs[1]->documentUrl = L"http://www.kesto.example/my";
        made.logs[1]->documentCookie = L"uin=o10001; skey=@k";
        events.cookies.clear();
        ASSERT_EQ(CompleteTopLevelDocument(*made.logs[1]), S_OK);
        EXPECT_EQ(events.cookies, std::vector<std::string>{"uin=o10001; skey=@k"});

        // The pop-up stays above its opener and has no taskbar button of its own.
        EXPECT_EQ(GetWindow(popup.window(), GW_OWNER), window.window());

        // Closing the window closes its pop-ups.
        window.Close();
        EXPECT_FALSE(popup.IsOpen());
    }
}

// WindowClosing (IsChildWindow, Cancel).
TEST_F(ControlHostingTest, APageThatClosesItsWindowClosesTheWindow) {
    ControlBrowserWindow window(events, controls.Settings());
    const struct {
        VARIANT_BOOL childWindow;
        VARIANT_BOOL cancelled;
        bool open;
    } cases[] = {
        {VARIANT_TRUE, VARIANT_FALSE, true},  // a frame's window is not ours to close
        {VARIANT_FALSE, VARIANT_TRUE, false},
    };
    for (const auto& c : cases) {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        std::vector<VARIANT> arguments(2);
        VariantInit(&arguments[0]);
        arguments[0].vt = VT_BYREF | VT_BOOL;
        arguments[0].pboolVal = &cancel;
        VariantInit(&arguments[1]);
        arguments[1].vt = VT_BOOL;
        arguments[1].boolVal = c.childWindow;
        ASSERT_EQ(Fire(*controls.logs[0], kWindowClosing, arguments), S_OK);
        PumpAsDialogLoop();
        EXPECT_EQ(cancel, c.cancelled);
        EXPECT_EQ(window.IsOpen(), c.open);
    }
}

TEST_F(ControlHostingTest, ANewWindowThatCannotBeMadeIsCancelledNotOpenedElsewhere) {
    ControlBrowserSettings settings = controls.Settings();
    settings.makeControl = [first = settings.makeControl, made = 0](IOleObject** control) mutable {
        return made++ == 0 ? first(control) : E_OUTOFMEMORY;
    };
    ControlBrowserWindow window(events, settings);
    IDispatch* handedBack = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    std::vector<VARIANT> arguments(5);
    for (VARIANT& argument : arguments) {
        VariantInit(&argument);
    }
    arguments[4].vt = VT_BYREF | VT_DISPATCH;
    arguments[4].ppdispVal = &handedBack;
    arguments[3].vt = VT_BYREF | VT_BOOL;
    arguments[3].pboolVal = &cancel;
    ASSERT_EQ(Fire(*controls.logs[0], kNewWindow3, arguments), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(handedBack, nullptr);
    EXPECT_TRUE(window.popups().empty());
}

TEST_F(ControlHostingTest, TheLoginLinkIsFoundWithOrWithoutWhiteSpaceAroundItsWord) {
    const struct {
        std::vector<ScriptedElement> elements;
        std::vector<std::size_t> clicks;
    } cases[] = {
        {{{L"首页"}, {L"登录"}}, {1}},
        {{{L"首页"}, {L"\r\n  登录\r\n"}}, {1}},
        {{{L"登录", false}, {L"\u00a0登录\u00a0"}}, {1}},  // a heading is not an anchor
        {{{L"登录帮助"}, {L"注册"}}, {}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const auto& c = cases[i];
        FakeControls made;
        LoginKesto login(MakeControlBrowserFactory(made.Settings()));
        login.Create();
        ASSERT_EQ(made.logs.size(), 1u);
        FakeBrowserLog& log = *made.logs[0];
        log.documentUrl = kPortalFront;
        log.elements = c.elements;
        ASSERT_EQ(CompleteTopLevelDocument(log), S_OK);
        EXPECT_EQ(log.clicks, c.clicks);
    }
}

// The password form's markers may stand in the title and the body; the window closes once the
// completing document's event has returned.
TEST_F(ControlHostingTest, ThePasswordBrowserReadsTitleAndBodyAndClosesAfterTheEvent) {
    FakeControls made;
    PasswordBrowser password(MakeControlBrowserFactory(made.Settings()));
    password.Create();
    ASSERT_EQ(made.logs.size(), 1u);
    FakeBrowserLog& log = *made.logs[0];
    ASSERT_TRUE(password.Navigate("http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2"));
    log.documentUrl = L"http://member.kesto.example/cgi-bin/login_entry?LoginLevel=2";
    log.documentTitle = L"交易密码验证";
    log.bodyText = L"请输入交易密码\r\n确定";
    ASSERT_EQ(CompleteTopLevelDocument(log), S_OK);
    PumpAsDialogLoop();
    EXPECT_TRUE(password.HasOpenWindow());

    log.documentUrl = L"http://www.kesto.example/my";
    log.documentTitle = L"我的Kesto";
    log.bodyText = L"欢迎您，10001。";
    ASSERT_EQ(CompleteTopLevelDocument(log), S_OK);
    EXPECT_TRUE(password.HasOpenWindow());
    PumpAsDialogLoop();
    EXPECT_FALSE(password.HasOpenWindow());
}

TEST(BrowserEmulationTest, TheModeIsTheEnginesNewest) {
    const struct {
        const wchar_t* version;
        std::optional<DWORD> mode;
    } cases[] = {
        {L"11.0.19041.1", 11001},         {L"10.0.9200.16384", 10001},
        {L"9.11.19041.0", 11001},         {L"9.10.9200.16384", 10001},
        {L"9.0.8112.16421", 9999},        {L"8.0.6001.18702", 8888},
        {L"7.0.5730.13", 7000},           {L"12.0", 11001},
        {L"6.0.2900.2180", std::nullopt}, {L"", std::nullopt},
        {L"x.1", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EmulationModeForEngineVersion(c.version), c.mode) << c.version;
    }
}

TEST(BrowserEmulationTest, TheSettingIsWrittenForTheExecutablesFileName) {
    const std::optional<DWORD> expected = EmulationModeForEngineVersion(InstalledEngineVersion());
    ASSERT_TRUE(expected) << "no engine version in the machine's settings";
    ASSERT_TRUE(SetBrowserEmulationForThisProgram());
    DWORD mode = 0;
    DWORD size = sizeof(mode);
    ASSERT_EQ(
        RegGetValueW(HKEY_CURRENT_USER, kBrowserEmulationKey, L"browser_hosting_win32_tests.exe",
                     RRF_RT_REG_DWORD, nullptr, &mode, &size),
        ERROR_SUCCESS);
    EXPECT_EQ(mode, *expected);
}

}  // namespace
}  // namespace kesto::win32
