#pragma once
// The uploader with the marketplace's answer rules: errcode (mode 0), returnurl (mode 1), the
// marketplace's success answer (mode 3: an errcode of 0 that is there), or every answer accepted
// (any other mode). The transaction-password page is never accepted, whatever the mode. It sends
// a batch as one request.

#include <memory>
#include <string>
#include <string_view>

#include "market/uploader.h"

namespace kesto {

class KestoUploader : public Uploader {
  public:
    static constexpr int kErrcodeRule = 0;
    static constexpr int kReturnUrlRule = 1;

    explicit KestoUploader(int mode);
    KestoUploader(int mode, std::unique_ptr<net::Session> ownSession);

    int ParseAnswer(std::string_view answer) override;
    int Reserved() override;
    bool IsSingleRequest() const override;

    // The address the last answer returned under the returnurl rule; empty until then.
    std::string GetReturnUrl() const;
    // The last answer that was the transaction-password page (in UTF-8); empty until then.
    const std::string& PasswordPage() const { return passwordPage; }

    int answerMode;

  protected:
    std::string returnUrl;
    std::string passwordPage;
};

}  // namespace kesto
