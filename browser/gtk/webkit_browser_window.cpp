#include "browser/gtk/webkit_browser_window.h"

#include <json/json.h>

#include <cstdint>
#include <sstream>
#include <utility>

#include "support/html_escape.h"

namespace kesto::gtk {

namespace {

// Everything the document-complete hook and the login check need, read in one evaluation.
constexpr char kSnapshotScript[] =
    "JSON.stringify({url: document.URL, cookie: document.cookie,"
    " text: document.documentElement ? document.documentElement.textContent : '',"
    " anchors: Array.from(document.querySelectorAll('a'), a => a.innerText || '')})";

// Clicks anchors[index] when its text, with ASCII letters lower-cased, equals text's.
constexpr char kClickScript[] =
    "const lower = s => s.replace(/[A-Z]/g, c => c.toLowerCase());"
    "const anchor = document.querySelectorAll('a')[index];"
    "if (anchor && lower(anchor.innerText || '') === lower(text)) { anchor.click(); }";

constexpr int kDefaultWidth = 1000;
constexpr int kDefaultHeight = 720;

template <typename Handler>
void Connect(gpointer instance, const char* signal, Handler handler, gpointer data) {
    g_signal_connect(instance, signal, reinterpret_cast<GCallback>(handler), data);
}

// An address typed without a scheme (the bare portal host) is an http address.
std::string WithScheme(const std::string& url) {
    return url.find("://") == std::string::npos ? "http://" + url : url;
}

bool WasCancelled(const GError* error) {
    return error != nullptr && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
}

net::Cookie FromSoupCookie(SoupCookie* soup) {
    net::Cookie cookie;
    cookie.domain = soup_cookie_get_domain(soup);
    cookie.includeSubdomains = cookie.domain.starts_with('.');
    const char* path = soup_cookie_get_path(soup);
    cookie.path = path != nullptr && path[0] != '\0' ? path : "/";
    cookie.secure = soup_cookie_get_secure(soup) != FALSE;
    GDateTime* expires = soup_cookie_get_expires(soup);
    cookie.expires =
        expires == nullptr ? 0 : static_cast<std::int64_t>(g_date_time_to_unix(expires));
    cookie.name = soup_cookie_get_name(soup);
    cookie.value = soup_cookie_get_value(soup);
    cookie.httpOnly = soup_cookie_get_http_only(soup) != FALSE;
    return cookie;
}

void FreeSoupCookie(gpointer cookie) {
    soup_cookie_free(static_cast<SoupCookie*>(cookie));
}

// The document of one finished load, as the hook sees it.
class SnapshotDocument final : public BrowserDocument {
  public:
    SnapshotDocument(WebKitBrowserWindow& window, std::string url, std::string text,
                     std::vector<std::string> anchors)
        : window_(window),
          url_(std::move(url)),
          text_(std::move(text)),
          anchors_(std::move(anchors)) {}

    std::string Url() const override { return url_; }
    std::string Text() const override { return text_; }
    std::vector<std::string> AnchorTexts() const override { return anchors_; }
    void ClickAnchor(std::size_t index, const std::string& text) override {
        window_.ClickAnchor(index, text);
    }

  private:
    WebKitBrowserWindow& window_;
    std::string url_;
    std::string text_;
    std::vector<std::string> anchors_;
};

}  // namespace

// One finished load on its way from the script's answer and the cookie manager to the events.
struct WebKitBrowserWindow::PendingCapture {
    WebKitBrowserWindow* window;
    unsigned generation;
    std::string url;
    std::string cookieText;
    std::string text;
    std::vector<std::string> anchors;
};

WebKitBrowserWindow::WebKitBrowserWindow(BrowserEvents& events, WebKitBrowserSettings settings)
    : events_(events), settings_(std::move(settings)), cancellable_(g_cancellable_new()) {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), "about:blank");
    gtk_window_set_default_size(GTK_WINDOW(window_), kDefaultWidth, kDefaultHeight);
    gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
    view_ = WEBKIT_WEB_VIEW(webkit_web_view_new());
    gtk_container_add(GTK_CONTAINER(window_), GTK_WIDGET(view_));
    Connect(window_, "destroy", &WebKitBrowserWindow::OnDestroy, this);
    Connect(view_, "load-changed", &WebKitBrowserWindow::OnLoadChanged, this);
    Connect(view_, "load-failed", &WebKitBrowserWindow::OnLoadFailed, this);
    Connect(view_, "script-dialog", &WebKitBrowserWindow::OnScriptDialog, this);
}

WebKitBrowserWindow::~WebKitBrowserWindow() {
    g_cancellable_cancel(cancellable_.get());
    if (closeSource_ != 0) {
        g_source_remove(closeSource_);
    }
    if (window_ != nullptr) {
        g_signal_handlers_disconnect_by_data(window_, this);
        g_signal_handlers_disconnect_by_data(view_, this);
        gtk_widget_destroy(window_);
    }
}

void WebKitBrowserWindow::Present() {
    if (window_ != nullptr) {
        gtk_window_present(GTK_WINDOW(window_));
    }
}

bool WebKitBrowserWindow::Navigate(const std::string& url) {
    if (view_ == nullptr) {
        return false;
    }
    gtk_widget_show_all(window_);
    gtk_window_present(GTK_WINDOW(window_));
    webkit_web_view_load_uri(view_, WithScheme(url).c_str());
    return true;
}

void WebKitBrowserWindow::Close() {
    if (window_ != nullptr) {
        gtk_widget_destroy(window_);  // OnDestroy forgets the widgets
    }
}

void WebKitBrowserWindow::CloseSoon() {
    if (window_ != nullptr && closeSource_ == 0) {
        closeSource_ = g_idle_add(&WebKitBrowserWindow::OnCloseSoon, this);
    }
}

void WebKitBrowserWindow::ClickAnchor(std::size_t index, const std::string& text) {
    if (view_ == nullptr) {
        return;
    }
    GVariantDict arguments;
    g_variant_dict_init(&arguments, nullptr);
    g_variant_dict_insert_value(&arguments, "index",
                                g_variant_new_double(static_cast<double>(index)));
    g_variant_dict_insert_value(&arguments, "text", g_variant_new_string(text.c_str()));
    webkit_web_view_call_async_javascript_function(
        view_, kClickScript, -1, g_variant_dict_end(&arguments), nullptr, nullptr,
        cancellable_.get(), &WebKitBrowserWindow::OnClickDone, nullptr);
}

void WebKitBrowserWindow::OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self) {
    auto& window = *static_cast<WebKitBrowserWindow*>(self);
    switch (event) {
        case WEBKIT_LOAD_STARTED:
            ++window.loadGeneration_;
            // The error page that follows a failed load is no document of the site.
            window.reportLoad_ = !window.errorPageStarting_;
            window.errorPageStarting_ = false;
            break;
        case WEBKIT_LOAD_COMMITTED:
            if (const char* uri = webkit_web_view_get_uri(view); uri != nullptr) {
                gtk_window_set_title(GTK_WINDOW(window.window_), uri);
            }
            break;
        case WEBKIT_LOAD_FINISHED:
            if (window.reportLoad_) {
                window.StartCapture();
            }
            break;
        default:
            break;
    }
}

gboolean WebKitBrowserWindow::OnLoadFailed(WebKitWebView* /*view*/, WebKitLoadEvent /*event*/,
                                           gchar* uri, GError* error, gpointer self) {
    auto& window = *static_cast<WebKitBrowserWindow*>(self);
    window.reportLoad_ = false;  // "finished" follows a failed load too: it reports nothing
    if (!g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED)) {
        window.ShowErrorPage(uri == nullptr ? std::string() : uri, error);
    }
    return TRUE;
}

gboolean WebKitBrowserWindow::OnScriptDialog(WebKitWebView* /*view*/,
                                             WebKitScriptDialog* /*dialog*/, gpointer /*self*/) {
    return TRUE;  // handled: the page's alerts, confirmations and prompts show nothing
}

gboolean WebKitBrowserWindow::OnCloseSoon(gpointer self) {
    auto& window = *static_cast<WebKitBrowserWindow*>(self);
    window.closeSource_ = 0;
    window.Close();
    return G_SOURCE_REMOVE;
}

void WebKitBrowserWindow::OnDestroy(GtkWidget* /*widget*/, gpointer self) {
    auto& window = *static_cast<WebKitBrowserWindow*>(self);
    window.window_ = nullptr;
    window.view_ = nullptr;
    ++window.loadGeneration_;
}

void WebKitBrowserWindow::ShowErrorPage(const std::string& uri, const GError* error) {
    errorPageStarting_ = true;
    const std::string page =
        "<html><head><meta charset=\"utf-8\"></head><body><h3>" + EscapeHtml(uri) + "</h3><p>" +
        EscapeHtml(error == nullptr ? "" : error->message) + "</p></body></html>";
    webkit_web_view_load_alternate_html(view_, page.c_str(), uri.c_str(), nullptr);
}

void WebKitBrowserWindow::StartCapture() {
    auto pending = std::make_unique<PendingCapture>();
    pending->window = this;
    pending->generation = loadGeneration_;
    webkit_web_view_evaluate_javascript(view_, kSnapshotScript, -1, nullptr, nullptr,
                                        cancellable_.get(), &WebKitBrowserWindow::OnSnapshotRead,
                                        pending.release());
}

bool WebKitBrowserWindow::IsCurrent(const PendingCapture& pending) const {
    return view_ != nullptr && pending.generation == loadGeneration_;
}

void WebKitBrowserWindow::OnSnapshotRead(GObject* source, GAsyncResult* result,
                                         gpointer pendingData) {
    std::unique_ptr<PendingCapture> pending(static_cast<PendingCapture*>(pendingData));
    GError* rawError = nullptr;
    GObjectPtr<JSCValue> value(
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &rawError));
    const GErrorPtr error(rawError);
    if (WasCancelled(error.get())) {
        return;  // the window object is gone
    }
    WebKitBrowserWindow& window = *pending->window;
    if (!value || !window.IsCurrent(*pending)) {
        return;
    }
    const GCharPtr text(jsc_value_to_string(value.get()));
    Json::Value snapshot;
    std::istringstream stream(text ? text.get() : "");
    if (!Json::parseFromStream(Json::CharReaderBuilder(), stream, &snapshot, nullptr) ||
        !snapshot.isObject()) {
        return;
    }
    pending->url = snapshot["url"].asString();
    pending->cookieText = snapshot["cookie"].asString();
    pending->text = snapshot["text"].asString();
    for (const Json::Value& anchor : snapshot["anchors"]) {
        pending->anchors.push_back(anchor.isString() ? anchor.asString() : std::string());
    }
    WebKitCookieManager* cookies = webkit_website_data_manager_get_cookie_manager(
        webkit_web_view_get_website_data_manager(window.view_));
    webkit_cookie_manager_get_all_cookies(cookies, window.cancellable_.get(),
                                          &WebKitBrowserWindow::OnCookiesRead, pending.release());
}

void WebKitBrowserWindow::OnCookiesRead(GObject* source, GAsyncResult* result,
                                        gpointer pendingData) {
    std::unique_ptr<PendingCapture> pending(static_cast<PendingCapture*>(pendingData));
    GError* rawError = nullptr;
    GList* list = webkit_cookie_manager_get_all_cookies_finish(WEBKIT_COOKIE_MANAGER(source),
                                                               result, &rawError);
    const GErrorPtr error(rawError);
    std::vector<net::Cookie> cookies;
    for (GList* item = list; item != nullptr; item = item->next) {
        cookies.push_back(FromSoupCookie(static_cast<SoupCookie*>(item->data)));
    }
    g_list_free_full(list, &FreeSoupCookie);
    if (WasCancelled(error.get())) {
        return;
    }
    WebKitBrowserWindow& window = *pending->window;
    if (!window.IsCurrent(*pending)) {
        return;
    }
    if (!error && window.settings_.onCookies) {
        window.settings_.onCookies(std::move(cookies));
    }
    window.Report(*pending);
}

void WebKitBrowserWindow::Report(PendingCapture& pending) {
    SnapshotDocument document(*this, std::move(pending.url), std::move(pending.text),
                              std::move(pending.anchors));
    events_.OnTopLevelDocumentComplete(std::move(pending.cookieText), document);
}

void WebKitBrowserWindow::OnClickDone(GObject* source, GAsyncResult* result, gpointer /*unused*/) {
    // The click's result is not looked at; only the answer's resources are released.
    GError* rawError = nullptr;
    GObjectPtr<JSCValue> value(webkit_web_view_call_async_javascript_function_finish(
        WEBKIT_WEB_VIEW(source), result, &rawError));
    const GErrorPtr error(rawError);
}

BrowserWindowFactory MakeWebKitBrowserFactory(WebKitBrowserSettings settings) {
    ApplyProxyRoute(settings.route);
    return [settings = std::move(settings)](BrowserEvents& events) {
        return std::make_unique<WebKitBrowserWindow>(events, settings);
    };
}

void ApplyProxyRoute(const ProxyRoute& route) {
    WebKitWebsiteDataManager* manager =
        webkit_web_context_get_website_data_manager(webkit_web_context_get_default());
    if (route.proxyUri.empty()) {
        webkit_website_data_manager_set_network_proxy_settings(
            manager, WEBKIT_NETWORK_PROXY_MODE_NO_PROXY, nullptr);
        return;
    }
    std::vector<const gchar*> ignore;
    for (const std::string& host : route.ignoreHosts) {
        ignore.push_back(host.c_str());
    }
    ignore.push_back(nullptr);
    WebKitNetworkProxySettings* settings =
        webkit_network_proxy_settings_new(route.proxyUri.c_str(), ignore.data());
    webkit_website_data_manager_set_network_proxy_settings(
        manager, WEBKIT_NETWORK_PROXY_MODE_CUSTOM, settings);
    webkit_network_proxy_settings_free(settings);
}

}  // namespace kesto::gtk
