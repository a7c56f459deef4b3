#include "upload/kesto_uploader.h"

#include "upload/answer_rules.h"

namespace kesto {

KestoUploader::KestoUploader(int mode) : answerMode(mode) {}

KestoUploader::KestoUploader(int mode, std::unique_ptr<net::Session> ownSession)
    : Uploader(std::move(ownSession)), answerMode(mode) {}

int KestoUploader::ParseAnswer(std::string_view answer) {
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
