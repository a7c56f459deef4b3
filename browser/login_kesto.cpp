#include "browser/login_kesto.h"

#include "browser/login_page_rules.h"

namespace kesto {

void LoginKesto::OnDocumentComplete(BrowserDocument& document) {
    switch (ClassifyLoginPage(document.Url())) {
        case LoginPage::Entry:
            DiscardCookie();
            break;
        case LoginPage::PortalFront:
            // The anchor is clicked only while it reads the text found, white space included.
            if (const std::vector<std::string> texts = document.AnchorTexts();
                const auto anchor = FindLoginAnchor(texts)) {
                document.ClickAnchor(*anchor, texts[*anchor]);
            }
            break;
        case LoginPage::Other:
            break;
    }
}

}  // namespace kesto
