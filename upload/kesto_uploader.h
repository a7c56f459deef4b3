#pragma once
// The uploader with the marketplace's answer rules: errcode (mode 0), returnurl (mode 1), or
// every answer accepted (any other mode). It sends a batch as one request.

#include <memory>
#include <string>
#include <string_view>

#include "upload/uploader.h"

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

    int answerMode;

  protected:
    std::string returnUrl;
};

}  // namespace kesto
