#include "app/win32/hyperlink.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

namespace kesto::win32 {
namespace {

constexpr wchar_t kParentClass[] = L"KestoHyperlinkTestParent";
constexpr wchar_t kSettingsKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
constexpr COLORREF kWhite = RGB(255, 255, 255);

LRESULT CALLBACK ParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORSTATIC) {
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Sets or removes the browser's link colour values for one test, and removes them afterwards.
class BrowserColours {
  public:
    BrowserColours() {
        RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key_, nullptr);
        Clear();
    }
    ~BrowserColours() {
        Clear();
        RegCloseKey(key_);
    }
    BrowserColours(const BrowserColours&) = delete;
    BrowserColours& operator=(const BrowserColours&) = delete;

    void SetText(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
        RegSetValueExW(key_, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void SetNumber(const wchar_t* name, DWORD value) {
        RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof(value));
    }
    void Clear() {
        RegDeleteValueW(key_, L"Anchor Color");
        RegDeleteValueW(key_, L"Anchor Color Visited");
    }

  private:
    HKEY key_ = nullptr;
};

class HyperlinkTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &ParentProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kParentClass;
        RegisterClassW(&windowClass);
    }

    HyperlinkTest() {
        parent_ = CreateWindowExW(0, kParentClass, L"parent", WS_POPUP, 0, 0, 400, 100, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~HyperlinkTest() override { DestroyWindow(parent_); }

    HWND MakeStatic(const wchar_t* text, DWORD style = SS_LEFT) {
        return CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 300, 20,
                               parent_, nullptr, GetModuleHandleW(nullptr), nullptr);
    }

    // A link whose opener records what it was asked to open and answers `opens`.
    CHyperLink MakeLink() {
        return CHyperLink([this](const std::wstring& target) {
            opened.push_back(target);
            return opens;
        });
    }

    static POINT Inside(const CHyperLink& link) {
        const RECT& rect = link.linkRect();
        return {rect.left + 2, (rect.top + rect.bottom) / 2};
    }

    static void Click(HWND control, POINT down, POINT up) {
        SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
        SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
    }

    // Draws the control into a white bitmap and tells whether any pixel has the colour.
    static bool DrawsColour(HWND control, COLORREF colour) {
        RECT client{};
        GetClientRect(control, &client);
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        FillRect(memory, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        bool found = false;
        for (int y = 0; y < client.bottom && !found; ++y) {
            for (int x = 0; x < client.right && !found; ++x) {
                found = GetPixel(memory, x, y) == colour;
            }
        }
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return found;
    }

    HWND parent_ = nullptr;
    std::vector<std::wstring> opened;
    bool opens = true;
};

TEST_F(HyperlinkTest, SetUpMakesATextStaticALinkWithTooltipAndUnderlinedFont) {
    HWND control = MakeStatic(L"visit the maker");
    CHyperLink link = MakeLink();
    ASSERT_TRUE(link.Subclass(control));
    EXPECT_NE(GetWindowLongPtrW(control, GWL_STYLE) & SS_NOTIFY, 0);
    EXPECT_TRUE(link.paintsLabel());
    ASSERT_NE(link.tooltip(), nullptr);
    wchar_t tooltipClass[32] = {};
    GetClassNameW(link.tooltip(), tooltipClass, 32);
    EXPECT_STREQ(tooltipClass, L"tooltips_class32");
    ASSERT_NE(link.linkFont(), nullptr);
    LOGFONTW font{};
    GetObjectW(link.linkFont(), sizeof(font), &font);
    EXPECT_TRUE(font.lfUnderline);
    // The text doubles as the target until the dialog sets one.
    EXPECT_EQ(SendMessageW(link.tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
    // Only the text's rectangle is the link: it starts at the left and is narrower than the
    // control.
    EXPECT_EQ(link.linkRect().left, 0);
    EXPECT_GT(link.linkRect().right, 0);
    EXPECT_LT(link.linkRect().right, 300);
    EXPECT_EQ(SendMessageW(control, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
    EXPECT_EQ(SendMessageW(control, WM_ERASEBKGND, 0, 0), 1);
}

TEST_F(HyperlinkTest, AlignmentMovesTheLinkRectangle) {
    CHyperLink left = MakeLink();
    CHyperLink centred = MakeLink();
    CHyperLink right = MakeLink();
    ASSERT_TRUE(left.Subclass(MakeStatic(L"same text")));
    ASSERT_TRUE(centred.Subclass(MakeStatic(L"same text", SS_CENTER)));
    ASSERT_TRUE(right.Subclass(MakeStatic(L"same text", SS_RIGHT)));
    const LONG width = left.linkRect().right - left.linkRect().left;
    EXPECT_EQ(centred.linkRect().left, (300 - width) / 2);
    EXPECT_EQ(right.linkRect().right, 300);
    EXPECT_EQ(right.linkRect().right - right.linkRect().left, width);
}

TEST_F(HyperlinkTest, PictureStaticsKeepTheirOwnPaintingAndTheWholeArea) {
    CHyperLink link = MakeLink();
    ASSERT_TRUE(link.Subclass(MakeStatic(L"", SS_BLACKRECT)));
    EXPECT_FALSE(link.paintsLabel());
    link.SetLinkTarget(L"http://www.kesto.example/");
    EXPECT_EQ(link.linkRect().right, 300);
    EXPECT_EQ(link.linkRect().bottom, 20);
}

TEST_F(HyperlinkTest, SubclassingFailsForNoWindowAndForAWindowAlreadyTaken) {
    CHyperLink first = MakeLink();
    CHyperLink second = MakeLink();
    EXPECT_FALSE(first.Subclass(nullptr));
    HWND control = MakeStatic(L"text");
    EXPECT_TRUE(first.Subclass(control));
    EXPECT_FALSE(second.Subclass(control));
    // Without a window the setters still keep their texts.
    EXPECT_TRUE(second.SetLinkTarget(L"http://x.example/"));
    EXPECT_TRUE(second.SetLinkLabel(L"x"));
}

TEST_F(HyperlinkTest, OnlyAClickWithinTheTextOpensTheTarget) {
    HWND control = MakeStatic(L"the maker's site");
    CHyperLink link = MakeLink();
    ASSERT_TRUE(link.Subclass(control));
    link.SetLinkTarget(L"http://www.kesto.example/");
    const POINT inside = Inside(link);
    const POINT besideText{link.linkRect().right + 5, inside.y};
    const POINT outsideControl{-50, inside.y};

    Click(control, besideText, besideText);  // the empty area beside the text
    Click(control, inside, outsideControl);  // released outside the control
    Click(control, inside, besideText);      // released outside the text
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(link.visited());

    Click(control, inside, inside);
    EXPECT_EQ(opened, (std::vector<std::wstring>{L"http://www.kesto.example/"}));
    EXPECT_TRUE(link.visited());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(HyperlinkTest, EnterAndSpaceOpenTheTargetOtherKeysDoNot) {
    HWND control = MakeStatic(L"link");
    CHyperLink link = MakeLink();
    ASSERT_TRUE(link.Subclass(control));
    link.SetLinkTarget(L"http://www.kesto.example/");
    SendMessageW(control, WM_CHAR, L'a', 0);
    EXPECT_TRUE(opened.empty());
    SendMessageW(control, WM_CHAR, VK_RETURN, 0);
    SendMessageW(control, WM_CHAR, VK_SPACE, 0);
    EXPECT_EQ(opened.size(), 2u);
}

// The dialog asks the focused control with the key message it is about to handle: the link
// takes a pressed Enter (so that Enter opens it instead of pressing the default button) and
// leaves Tab, arrows and Esc to the dialog.
TEST_F(HyperlinkTest, TheLinkTakesAPressedEnterFromTheDialogOnly) {
    HWND control = MakeStatic(L"link");
    CHyperLink link = MakeLink();
    ASSERT_TRUE(link.Subclass(control));
    const struct {
        UINT message;
        WPARAM key;
        LRESULT code;
    } cases[] = {
        {WM_KEYDOWN, VK_RETURN, DLGC_WANTCHARS | DLGC_WANTMESSAGE},
        {WM_KEYDOWN, VK_TAB, DLGC_WANTCHARS},
        {WM_KEYDOWN, VK_DOWN, DLGC_WANTCHARS},
        {WM_KEYDOWN, VK_ESCAPE, DLGC_WANTCHARS},
        {WM_CHAR, VK_RETURN, DLGC_WANTCHARS},
    };
    for (const auto& c : cases) {
        MSG asked{control, c.message, c.key, 0, 0, {}};
        EXPECT_EQ(SendMessageW(control, WM_GETDLGCODE, c.key, reinterpret_cast<LPARAM>(&asked)),
                  c.code)
            << c.message << " " << c.key;
    }
}

TEST_F(HyperlinkTest, AFailedOpenLeavesTheLinkUnvisited) {
    HWND control = MakeStatic(L"link");
    CHyperLink link = MakeLink();
    ASSERT_TRUE(link.Subclass(control));
    opens = false;
    SendMessageW(control, WM_CHAR, VK_RETURN, 0);
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_FALSE(link.visited());
}

TEST_F(HyperlinkTest, TextIsDrawnInTheLinkVisitedAndGreyColours) {
    const BrowserColours colours;
    HWND control = MakeStatic(L"WWWWWWWW");
    CHyperLink link = MakeLink();
    ASSERT_TRUE(link.Subclass(control));
    EXPECT_TRUE(DrawsColour(control, RGB(0, 0, 255)));
    EXPECT_FALSE(DrawsColour(control, RGB(128, 0, 128)));

    SendMessageW(control, WM_CHAR, VK_RETURN, 0);
    EXPECT_TRUE(DrawsColour(control, RGB(128, 0, 128)));
    EXPECT_FALSE(DrawsColour(control, RGB(0, 0, 255)));

    EnableWindow(control, FALSE);
    EXPECT_TRUE(DrawsColour(control, GetSysColor(COLOR_GRAYTEXT)));
    EXPECT_FALSE(DrawsColour(control, RGB(128, 0, 128)));
    EXPECT_TRUE(DrawsColour(control, kWhite));  // the parent's static background
}

TEST_F(HyperlinkTest, ColoursComeFromTheBrowserSettingsWhenWellFormed) {
    struct Case {
        std::wstring anchor;
        DWORD type;
        LinkColour expected;
    };
    const Case cases[] = {
        {L"0,128,255", REG_SZ, 0xFF8000},
        {L"10,20,30", REG_EXPAND_SZ, 0x1E140A},
        {L"12,34", REG_SZ, kDefaultLinkColour},         // one comma
        {L"1,2,", REG_SZ, kDefaultLinkColour},          // nothing after the second comma
        {L"100,100,1000", REG_SZ, kDefaultLinkColour},  // 12 characters: too long
        {L"-1,0,0", REG_SZ, kDefaultLinkColour},
        {L"0,0,0", REG_MULTI_SZ, kDefaultLinkColour},  // another type
    };
    for (const Case& c : cases) {
        BrowserColours colours;
        colours.SetText(L"Anchor Color", c.anchor, c.type);
        colours.SetText(L"Anchor Color Visited", L"1,2,3");
        CHyperLink link = MakeLink();
        ASSERT_TRUE(link.Subclass(MakeStatic(L"link")));
        EXPECT_EQ(link.linkColour(), c.expected) << std::string(c.anchor.begin(), c.anchor.end());
        EXPECT_EQ(link.visitedColour(), 0x030201u);
    }
    BrowserColours colours;
    colours.SetNumber(L"Anchor Color", 0x123456);
    CHyperLink link = MakeLink();
    ASSERT_TRUE(link.Subclass(MakeStatic(L"link")));
    EXPECT_EQ(link.linkColour(), kDefaultLinkColour);
    EXPECT_EQ(link.visitedColour(), kDefaultVisitedColour);
}

TEST_F(HyperlinkTest, FontMessagesUseTheNormalFontAndDestroyTakesTheTooltip) {
    HWND control = MakeStatic(L"link");
    CHyperLink link = MakeLink();
    ASSERT_TRUE(link.Subclass(control));
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), font);
    HWND tooltip = link.tooltip();
    DestroyWindow(control);
    EXPECT_FALSE(IsWindow(tooltip));
    EXPECT_EQ(link.window(), nullptr);
}

// A per-monitor DPI change reaches the link as a font made anew at the monitor's size: the
// link's own underlined font and the rectangle that answers clicks follow it.
TEST_F(HyperlinkTest, ANewFontResizesTheLinkFontAndTheClickableText) {
    LOGFONTW larger{};
    larger.lfHeight = -30;
    wcscpy(larger.lfFaceName, L"Tahoma");
    const UniqueFont font(CreateFontIndirectW(&larger));
    HWND control = MakeStatic(L"visit the maker");
    CHyperLink link = MakeLink();
    ASSERT_TRUE(link.Subclass(control));
    const LONG widthBefore = link.linkRect().right - link.linkRect().left;

    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    ASSERT_NE(link.linkFont(), nullptr);
    LOGFONTW now{};
    GetObjectW(link.linkFont(), sizeof(now), &now);
    EXPECT_EQ(now.lfHeight, -30);
    EXPECT_TRUE(now.lfUnderline);
    EXPECT_GT(link.linkRect().right - link.linkRect().left, widthBefore);
}

}  // namespace
}  // namespace kesto::win32
