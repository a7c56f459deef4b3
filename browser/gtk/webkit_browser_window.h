#pragma once
// BrowserWindow over WebKitGTK: a top-level GTK window holding one web view. After each finished
// top-level load it reads the document's address, cookie text, text and anchor texts with one
// script, hands every cookie of WebKit's cookie manager (HTTP-only ones included) to the
// program, and then reports the document. Script dialogs are suppressed; failed loads report
// nothing.

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browser/browser_window.h"
#include "browser/gtk/gobject_ptr.h"
#include "browser/proxy_route.h"
#include "platform/net_layer.h"

namespace kesto::gtk {

struct WebKitBrowserSettings {
    // The proxy every web view takes (the request layer's route).
    ProxyRoute route;
    // Receives all of WebKit's cookies after each finished top-level load, before the document
    // is reported.
    std::function<void(std::vector<net::Cookie>)> onCookies;
};

class WebKitBrowserWindow final : public BrowserWindow {
  public:
    WebKitBrowserWindow(BrowserEvents& events, WebKitBrowserSettings settings);
    ~WebKitBrowserWindow() override;
    WebKitBrowserWindow(const WebKitBrowserWindow&) = delete;
    WebKitBrowserWindow& operator=(const WebKitBrowserWindow&) = delete;

    bool IsOpen() const override { return window_ != nullptr; }
    void Present() override;
    bool Navigate(const std::string& url) override;
    void Close() override;
    // Closes from an idle source of the main loop, removed when the object goes first.
    void CloseSoon() override;

    // Clicks the anchor at index of the current document when its text still matches text (the
    // text travels to the page as an argument, never as script source).
    void ClickAnchor(std::size_t index, const std::string& text);

    GtkWindow* window() const { return window_ == nullptr ? nullptr : GTK_WINDOW(window_); }
    WebKitWebView* webView() const { return view_; }

  private:
    struct PendingCapture;

    static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self);
    static gboolean OnLoadFailed(WebKitWebView* view, WebKitLoadEvent event, gchar* uri,
                                 GError* error, gpointer self);
    static gboolean OnScriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog, gpointer self);
    static gboolean OnCloseSoon(gpointer self);
    static void OnDestroy(GtkWidget* widget, gpointer self);
    static void OnSnapshotRead(GObject* source, GAsyncResult* result, gpointer pending);
    static void OnCookiesRead(GObject* source, GAsyncResult* result, gpointer pending);
    static void OnClickDone(GObject* source, GAsyncResult* result, gpointer unused);

    void StartCapture();
    void ShowErrorPage(const std::string& uri, const GError* error);
    // The pending capture's document is still the current one.
    bool IsCurrent(const PendingCapture& pending) const;
    void Report(PendingCapture& pending);

    BrowserEvents& events_;
    WebKitBrowserSettings settings_;
    GtkWidget* window_ = nullptr;  // owned by GTK's list of top-level windows until destroyed
    WebKitWebView* view_ = nullptr;
    GObjectPtr<GCancellable> cancellable_;
    unsigned loadGeneration_ = 0;
    guint closeSource_ = 0;  // the pending CloseSoon's idle source, or 0
    bool reportLoad_ = false;
    bool errorPageStarting_ = false;
};

// Makes WebKit browser windows with the given settings.
BrowserWindowFactory MakeWebKitBrowserFactory(WebKitBrowserSettings settings);

// Points every web view of the process at the route (no proxy at all when it names none).
void ApplyProxyRoute(const ProxyRoute& route);

}  // namespace kesto::gtk
