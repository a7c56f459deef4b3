#pragma once
// MD5 (RFC 1321) from the platform's crypto library. Backends beside this file:
// win32/md5_bcrypt.cpp (BCrypt), posix/md5_openssl.cpp (OpenSSL's EVP).
//
// Contract: never blocks; any input length; an object is used by one thread at a time.

#include <array>
#include <cstddef>
#include <memory>

namespace kesto {

class Md5 {
  public:
    using Digest = std::array<unsigned char, 16>;

    Md5();
    ~Md5();
    Md5(const Md5&) = delete;
    Md5& operator=(const Md5&) = delete;

    void Update(const void* data, std::size_t length);
    // Ends the computation; the object takes no further input.
    Digest Finish();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace kesto
