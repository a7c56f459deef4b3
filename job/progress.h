#pragma once
// The decoration job's progress protocol: typed messages, posted from the job's thread to the
// dialog in order, each of which the dialog turns into at most one line of its progress list.
// A message owns its text (a value type), so no string is ever shared or freed twice between
// the threads.

#include <optional>
#include <string>

namespace kesto {

// What a message says. The window-message numbers the Windows dialog receives and the command
// line's JSON shows are the front ends' (job/progress_numbers.h); the job posts kinds.
enum class ProgressKind {
    kPictureUploaded,        // text: the picture's file name; result: the upload's
    kPictureUploadStarting,  // text: the picture's file name
    kCustomContentSave,      // stage 0 before, 1 after (result: the save's); no line
    kMainPageProgress,       // stage 0 before, 1 after with the result
    kShopSignProgress,       // stage 0 before, 1 after with the result
    kNoShopSignPicture,
    kDecorationFinished,   // text: the shop front address
    kTransactionPassword,  // the service asks for the transaction password
    kFailureReason,        // text: why the area before it failed, in the user's words
    kTemplateProblem,      // text: "file: problem" found by the check before the job
    kTemplateRejected,     // after the problems: the job ends having sent nothing
    kPictureProgress,      // stage: pictures of the area done; result: the area's count;
                           // text: the picture just done. Sent with 0 before the first.
    kShopSignBytes,        // stage: KiB of a chunked shop sign accepted; result: its KiB
    kShopBusy,             // another job decorates the shop: this one ends having sent nothing
    kShopNotHeld,          // the shop could not be held for the job: it ends having sent nothing
    kAreasNotStarted,      // text: the ticked areas a failed area kept from starting
    kCategoriesProgress,   // stage 0 before, 1 after with the result
    kRateLimitWait,        // result: the seconds the job waits for a busy marketplace before it
                           // sends the refused request again
};
using enum ProgressKind;

struct ProgressMessage {
    ProgressKind kind = kPictureUploaded;
    int stage = 0;   // 0 before, 1 after, or a count, as the kind says
    int result = 0;  // a step's result, or a count, as the kind says
    std::string text;
    // kFailureReason and kTemplateProblem: the stable code of the reason or finding, for
    // scripts (docs/json.md); empty otherwise.
    std::string code = {};

    bool operator==(const ProgressMessage&) const = default;
};

// Where the job's messages go: the dialog's window on Windows, the toolkit's main loop or the
// terminal elsewhere. Post never blocks on the receiver and keeps the order of one thread's
// messages.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void Post(ProgressMessage message) = 0;
};

// The progress-list line a message adds, or nothing for messages without one.
std::optional<std::string> ProgressLine(const ProgressMessage& message);

}  // namespace kesto
