#pragma once
// PasswordBrowser: the password browser. The program sends it to the member host's entry page,
// where the marketplace asks for the transaction password. Once it has shown a page that asks
// for the password, the first later page that does not ask for it means the password step is
// over (a right password leads on, a wrong one asks again), and the window closes by itself.

#include "browser/mini_browser.h"

namespace kesto {

class PasswordBrowser final : public MiniBrowser {
  public:
    using MiniBrowser::MiniBrowser;

  protected:
    // Each navigation of the program starts the password step again.
    void OnNavigate() override;
    void OnDocumentComplete(BrowserDocument& document) override;

  private:
    // A page asking for the transaction password was shown since the last navigation.
    bool askedForPassword_ = false;
};

}  // namespace kesto
