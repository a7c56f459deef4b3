#pragma once
// MiniBrowser: a top-level window with the platform's web view that the program sends to an
// address, keeping the cookie text of the top-level document that finished loading last. The
// login browser (LoginKesto) and the password browser (PasswordBrowser) are the program's two
// objects of it.

#include <mutex>
#include <optional>
#include <string>

#include "browser/browser_window.h"
#include "market/cookie_source.h"

namespace kesto {

class MiniBrowser : public CookieSource, private BrowserEvents {
  public:
    explicit MiniBrowser(BrowserWindowFactory makeWindow);
    ~MiniBrowser() override;
    MiniBrowser(const MiniBrowser&) = delete;
    MiniBrowser& operator=(const MiniBrowser&) = delete;

    // Makes the window, hidden until the first Navigate. A window that is still open is kept
    // and brought to the front instead of opening a second one. Always 0.
    int Create();

    // Empties the captured cookie text, shows the window and starts loading url. False when no
    // window exists (Create was not called, or the window has been closed) or the load cannot
    // be started; the cookie text is emptied either way.
    bool Navigate(const std::string& url);

    // A copy of the captured cookie text; nothing when none was captured or it is empty. Safe
    // to call from any thread.
    std::optional<std::string> GetCookie() override;

    // Closes the window once the login is complete. The captured cookie text stays.
    void CloseLogin() override { Close(); }
    void Close();

    bool HasOpenWindow() const;

  protected:
    // Called when Navigate starts a load. Does nothing here.
    virtual void OnNavigate();
    // Called with each completed top-level document, after its cookie text was captured. Does
    // nothing here.
    virtual void OnDocumentComplete(BrowserDocument& document);

    // Forgets the captured cookie text.
    void DiscardCookie();
    // Closes the window once the current event has returned; what OnDocumentComplete may call.
    void CloseSoon();

  private:
    void OnTopLevelDocumentComplete(std::string cookieText, BrowserDocument& document) override;

    BrowserWindowFactory makeWindow_;
    std::unique_ptr<BrowserWindow> window_;
    mutable std::mutex cookieLock_;
    std::string cookieText_;
};

}  // namespace kesto
