#include "market/kesto_uploader.h"

#include "market/transaction_password.h"
#include "support/text_conversion.h"
#include "upload/answer_rules.h"

namespace kesto {

KestoUploader::KestoUploader(int mode) : answerMode(mode) {}

KestoUploader::KestoUploader(int mode, std::unique_ptr<net::Session> ownSession)
    : Uploader(std::move(ownSession)), answerMode(mode) {}

int KestoUploader::ParseAnswer(std::string_view answer) {
    std::string text = answer.empty()
                           ? std::string()
                           : FromMarketplace(answer.data(), static_cast<int>(answer.size()));
    if (IsTransactionPasswordPage(text)) {
        passwordPage = std::move(text);
        return 0;
    }
    switch (answerMode) {
        case kErrcodeRule:
            return ErrcodeRule(answer);
        case kReturnUrlRule:
            return ReturnUrlRule(answer, returnUrl);
        default:
            return 1;
    }
}

int KestoUploader::Reserved() {
    return 0;
}

bool KestoUploader::IsSingleRequest() const {
    return true;
}

std::string KestoUploader::GetReturnUrl() const {
    return returnUrl;
}

}  // namespace kesto
