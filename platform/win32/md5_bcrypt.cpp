// MD5 on Windows: the BCrypt hashing functions.

#include <windows.h>
// bcrypt.h needs the types windows.h defines.
#include <bcrypt.h>

#include <stdexcept>

#include "platform/md5.h"

namespace kesto {

struct Md5::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;

    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        if (hash != nullptr) {
            BCryptDestroyHash(hash);
        }
        if (algorithm != nullptr) {
            BCryptCloseAlgorithmProvider(algorithm, 0);
        }
    }
};

Md5::Md5() : state_(std::make_unique<State>()) {
    if (BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0) < 0 ||
        BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0) < 0) {
        throw std::runtime_error("MD5 is not available");
    }
}

Md5::~Md5() = default;

void Md5::Update(const void* data, std::size_t length) {
    // BCrypt takes a non-const pointer but only reads the input.
    BCryptHashData(state_->hash, static_cast<PUCHAR>(const_cast<void*>(data)),
                   static_cast<ULONG>(length), 0);
}

Md5::Digest Md5::Finish() {
    Digest digest{};
    BCryptFinishHash(state_->hash, digest.data(), static_cast<ULONG>(digest.size()), 0);
    return digest;
}

}  // namespace kesto
