#pragma once
// The record one decoration job shares among its area operations: the addresses its pictures got
// in the photo album, where progress messages go, the state of the album protocol, and the job's
// context its requests go with (market/job_context.h). Building one starts the graphics library
// for the job's thumbnails; destroying it releases the library.

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "image/graphics_startup.h"
#include "market/job_context.h"

namespace kesto {

// Where the job's progress messages go; the marketplace client only keeps it for the job
// (job/session_progress.h posts to it).
class ProgressSink;

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
    // The address the upload request answered; the request is made only while this is empty.
    std::string uploadAddress;
    // Whether this job's album page check has succeeded.
    bool albumReady = false;
    // How many picture uploads of an area may be under way at once (1: one after another).
    int parallelUploads = 1;

    // The context the session's requests go with: the job's once it is handed over (UseContext),
    // until then one of the session's own (no time bound, no login watch).
    JobContext& context() const { return *context_; }
    // Makes the session's requests go with the job's context, which must outlive them.
    void UseContext(JobContext& context) { context_ = &context; }

  private:
    std::unique_ptr<JobContext> ownContext_ = std::make_unique<JobContext>();
    JobContext* context_ = ownContext_.get();
    GraphicsUser graphics_;
};

}  // namespace kesto
