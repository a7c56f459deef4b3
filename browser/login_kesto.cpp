#include "browser/login_kesto.h"

#include "browser/login_page_rules.h"

namespace kesto {

void LoginKesto::OnDocumentComplete(BrowserDocument& document) {
    switch (ClassifyLoginPage(document.Url())) {
        case LoginPage::Entry:
            DiscardCookie();
            break;
        case LoginPage::PortalFront:
            if (const auto anchor = FindLoginAnchor(document.AnchorTexts())) {
                document.ClickAnchor(*anchor, kLoginLinkText);
            }
            break;
        case LoginPage::Other:
            break;
    }
}

}  // namespace kesto
