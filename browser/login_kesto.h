#pragma once
// LoginKesto: the login browser. It helps the marketplace's login along: on the portal's front
// page it clicks the login link, and on the login entry page it forgets the cookie text, so that
// the login check sees cookies only once the user has logged in.

#include "browser/mini_browser.h"

namespace kesto {

class LoginKesto final : public MiniBrowser {
  public:
    using MiniBrowser::MiniBrowser;

  protected:
    void OnDocumentComplete(BrowserDocument& document) override;
};

}  // namespace kesto
