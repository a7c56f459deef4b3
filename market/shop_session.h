#pragma once
// The record one decoration job shares among its area operations: the addresses its pictures got
// in the photo album, where progress messages go, and the state of the album protocol. Building
// one starts the graphics library for the job's thumbnails; destroying it releases the library.

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "image/graphics_startup.h"

namespace kesto {

class ProgressSink;
struct ProgressMessage;

// Orders UTF-8 texts by their UTF-16 code units (case-sensitive: "B" before "a", "1.jpg" before
// "11.jpg"; a character beyond the basic plane sorts by its surrogates, before U+E000..U+FFFF).
struct CodeUnitLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// Key: a picture's file name without its folder; value: the address the album gave it.
using UploadedPictures = std::map<std::string, std::string, CodeUnitLess>;

struct ShopSession {
    UploadedPictures uploadedPictures;
    // Where the operations post their progress messages; the job sets it after building the
    // session.
    std::shared_ptr<ProgressSink> progress;
    // Posts the message to progress; nowhere when there is none.
    void Post(ProgressMessage message) const;
    // The address the upload request answered; the request is made only while this is empty.
    std::string uploadAddress;
    // Whether this job's album page check has succeeded.
    bool albumReady = false;
    // Why the last area operation failed, in words a shop owner can act on: which step, which
    // file or request, and what it met. Set by the operation that failed; empty otherwise.
    std::string failure;

  private:
    GraphicsUser graphics_;
};

}  // namespace kesto
