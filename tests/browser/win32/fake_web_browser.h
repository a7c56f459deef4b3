#pragma once
// A test double of the web-browser control, made in the test process through the container's
// control maker. It has the interfaces the container uses (IOleObject, IOleInPlaceObject,
// IOleInPlaceActiveObject, IWebBrowser2 as far as the container calls it, and
// IConnectionPointContainer with the IConnectionPoint of DWebBrowserEvents2), activates in place
// and in the UI as the real control does (a child window of its own, the site's notifications,
// the frame's SetActiveObject), records what the container does, and offers a scripted HTML
// document. Its objects are built from the interfaces' method tables with only the methods the
// container calls filled in: a call of any other faults the test.
//
// The header names no COM interface type, so that the double's own files can be built against
// the interfaces' C declarations.

#include <windows.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kesto::testing {

// One element of the scripted document's "all" collection.
struct ScriptedElement {
    std::wstring innerText;
    bool anchor = true;
};

// What one control double answers, and what it saw. Shared by the test and the double.
struct FakeBrowserLog {
    // Answers.
    HRESULT keyAnswer = S_FALSE;  // of IOleInPlaceActiveObject::TranslateAccelerator
    std::wstring documentUrl;     // empty: the control has no HTML document
    std::wstring documentCookie;
    std::wstring documentTitle;
    std::wstring bodyText;  // the body element's text
    std::vector<ScriptedElement> elements;

    // The double's own IWebBrowser2 (an IDispatch) while it lives, uncounted: what the control
    // passes as the frame of its top-level events.
    void* self = nullptr;

    // What the container did.
    std::vector<LONG> verbs;        // DoVerb's verbs, in order
    HWND window = nullptr;          // the control's own window while it is in place
    bool uiActive = false;          // the frame was given the active object
    std::vector<UINT> translated;   // messages handed to TranslateAccelerator
    std::vector<UINT> dispatched;   // key messages that reached the control's window
    std::vector<bool> frameActive;  // OnFrameWindowActivate's arguments
    GUID eventsAsked{};             // the interface FindConnectionPoint was asked for
    // The sink Advise accepted: the pointer it answered for DWebBrowserEvents2's id (an
    // IDispatch), held until Unadvise; null when it did not answer.
    void* sink = nullptr;
    std::vector<bool> silentSet;         // put_Silent's arguments (VARIANT_TRUE as true), in order
    std::optional<DWORD> hostInfoFlags;  // the flags the site's GetHostInfo gave, once asked
    void* site = nullptr;  // the client site (an IOleClientSite) while the double holds it
    std::vector<std::wstring> navigations;
    bool registeredAsBrowser = false;
    bool quit = false;
    bool closed = false;
    std::vector<std::size_t> clicks;  // indexes of the clicked elements
};

// Makes a control double recording into the log, as a creation call does: the object's
// interface of the id in object, or E_NOINTERFACE.
HRESULT MakeFakeWebBrowser(const std::shared_ptr<FakeBrowserLog>& log, const IID& iid,
                           void** object);

// Makes the scripted HTML document of the log (IHTMLDocument2 with its title, its body and its
// "all" collection of elements, anchors among them), as the control's Document property does.
HRESULT MakeScriptedDocument(const std::shared_ptr<FakeBrowserLog>& log, const IID& iid,
                             void** object);

}  // namespace kesto::testing
