#pragma once
// The link at the bottom of the main dialog: a static text control drawn underlined in the
// browser's link colour, with a hand cursor and a tooltip over its text, that opens its target
// in the default web browser when clicked (or on Enter or Space) and then takes the visited
// colour.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "app/link_style.h"
#include "app/win32/gdi_handles.h"
#include "app/win32/window_subclass.h"

namespace kesto::win32 {

class CHyperLink : public SubclassedWindow {
  public:
    // Opens a target; true when the shell reports success.
    using Opener = std::function<bool(const std::wstring& target)>;

    CHyperLink();
    explicit CHyperLink(Opener opener);

    // Attaches to an existing control and sets it up; false when the subclassing fails.
    bool Subclass(HWND window);
    bool SetLinkLabel(const std::wstring& text);
    bool SetLinkTarget(const std::wstring& text);

    // What tests and the dialog may look at.
    const RECT& linkRect() const { return linkRect_; }
    bool visited() const { return visited_; }
    bool paintsLabel() const { return paintLabel_; }
    LinkColour linkColour() const { return linkColour_; }
    LinkColour visitedColour() const { return visitedColour_; }
    HWND tooltip() const { return tooltip_; }
    HFONT linkFont() const { return linkFont_.get(); }

  protected:
    bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void SetUp();
    // The link's font: the normal font underlined, at its size.
    void MakeLinkFont();
    void CalcLinkRect();
    void RegisterTool();
    const std::wstring* ShownText() const;
    void Paint(HDC dc);
    void Navigate();
    void Repaint(bool now);
    bool PointerInLink(LPARAM position) const;
    bool HandleMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool HandleKeyboardAndFocus(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool HandleDrawing(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    Opener opener_;
    std::optional<std::wstring> label_;
    std::optional<std::wstring> target_;
    HCURSOR linkCursor_ = nullptr;
    UniqueFont linkFont_;
    HFONT normalFont_ = nullptr;
    RECT linkRect_{};
    HWND tooltip_ = nullptr;
    LinkColour linkColour_ = kDefaultLinkColour;
    LinkColour visitedColour_ = kDefaultVisitedColour;
    bool paintLabel_ = true;
    bool visited_ = false;
};

}  // namespace kesto::win32
