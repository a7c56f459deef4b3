// MD5 on POSIX systems: OpenSSL's EVP digest interface.

#include <openssl/evp.h>

#include <stdexcept>

#include "platform/md5.h"

namespace kesto {

struct Md5::State {
    struct Free {
        void operator()(EVP_MD_CTX* digest) const { EVP_MD_CTX_free(digest); }
    };
    std::unique_ptr<EVP_MD_CTX, Free> context{EVP_MD_CTX_new()};
};

Md5::Md5() : state_(std::make_unique<State>()) {
    if (!state_->context || EVP_DigestInit_ex(state_->context.get(), EVP_md5(), nullptr) != 1) {
        throw std::runtime_error("MD5 is not available");
    }
}

Md5::~Md5() = default;

void Md5::Update(const void* data, std::size_t length) {
    EVP_DigestUpdate(state_->context.get(), data, length);
}

Md5::Digest Md5::Finish() {
    Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(state_->context.get(), digest.data(), &length);
    return digest;
}

}  // namespace kesto
