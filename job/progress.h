#pragma once
// The decoration job's progress protocol: numbered messages, posted from the job's thread to the
// dialog in order, each of which the dialog turns into at most one line of its progress list.
// A message owns its text (a value type), so no string is ever shared or freed twice between
// the threads.

#include <optional>
#include <string>

namespace kesto {

// The message numbers, the same absolute window-message numbers on every front end.
enum ProgressNumber : int {
    kPictureUploaded = 2024,        // text: the picture's file name; result: the upload's
    kPictureUploadStarting = 2026,  // text: the picture's file name
    kCustomContentSave = 2028,      // stage 0 before, 1 after (result: the save's); no line
    kMainPageProgress = 2030,       // stage 0 before, 1 after with the result
    kShopSignProgress = 2032,       // stage 0 before, 1 after with the result
    kNoShopSignPicture = 2036,
    kDecorationFinished = 2038,   // text: the shop front address
    kTransactionPassword = 2040,  // the service asks for the transaction password
    kFailureReason = 2042,        // text: why the area before it failed, in the user's words
    kTemplateProblem = 2044,      // text: "file: problem" found by the check before the job
    kTemplateRejected = 2046,     // after the problems: the job ends having sent nothing
    kPictureProgress = 2048,      // stage: pictures of the area done; result: the area's count;
                                  // text: the picture just done. Sent with 0 before the first.
    kShopSignBytes = 2050,        // stage: KiB of a chunked shop sign accepted; result: its KiB
    kShopBusy = 2052,         // another job decorates the shop: this one ends having sent nothing
    kShopNotHeld = 2054,      // the shop could not be held for the job: it ends having sent nothing
    kAreasNotStarted = 2056,  // text: the ticked areas a failed area kept from starting
    kCategoriesProgress = 2124,  // stage 0 before, 1 after with the result
};

struct ProgressMessage {
    int number = 0;
    int stage = 0;   // the window message's wParam where it is a number
    int result = 0;  // the window message's lParam
    std::string text;

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
