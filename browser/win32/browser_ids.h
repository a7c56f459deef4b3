#pragma once
// The published identities of the platform's web-browser control and the interfaces the browser
// window uses, spelled out here so that no import library has to supply them.

#include <windows.h>

#include <oaidl.h>

namespace kesto::win32 {

// The web-browser control's class.
inline constexpr CLSID kWebBrowserClass = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
inline constexpr IID kWebBrowser2Interface = {
    0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
inline constexpr IID kWebBrowserEvents2Interface = {
    0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
inline constexpr IID kConnectionPointContainerInterface = {
    0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID kHtmlDocument2Interface = {
    0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};
inline constexpr IID kHtmlElementInterface = {
    0x3050F1FF, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
inline constexpr IID kHtmlAnchorElementInterface = {
    0x3050F1DA, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

// The command group in which the control asks its host about the document's events, among them
// a script error (OLECMDID_SHOWSCRIPTERROR).
inline constexpr GUID kDocHostCommandGroup = {
    0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};

// The dispatch identifiers of the control's events that the browser window handles.
inline constexpr DISPID kStatusTextChange = 102;
inline constexpr DISPID kDownloadComplete = 104;
inline constexpr DISPID kDocumentComplete = 259;
inline constexpr DISPID kNewWindow2 = 251;
inline constexpr DISPID kNewWindow3 = 273;
inline constexpr DISPID kWindowClosing = 263;

}  // namespace kesto::win32
