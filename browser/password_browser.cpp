#include "browser/password_browser.h"

#include "market/transaction_password.h"

namespace kesto {

void PasswordBrowser::OnNavigate() {
    askedForPassword_ = false;
}

void PasswordBrowser::OnDocumentComplete(BrowserDocument& document) {
    if (IsTransactionPasswordPage(document.Text())) {
        askedForPassword_ = true;
    } else if (askedForPassword_) {
        askedForPassword_ = false;
        CloseSoon();  // the hook runs inside the window's own event
    }
}

}  // namespace kesto
