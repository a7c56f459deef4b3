#include "cli/progress_json.h"

#include <json/value.h>
#include <json/writer.h>

#include "job/progress_numbers.h"

namespace kesto {

namespace {

bool CarriesResult(const ProgressMessage& message) {
    switch (message.kind) {
        case kPictureUploaded:
            return true;
        case kShopSignProgress:
        case kMainPageProgress:
        case kCategoriesProgress:
            return message.stage == 1;
        default:
            return false;
    }
}

bool NamesPicture(const ProgressMessage& message) {
    return message.kind == kPictureUploadStarting || message.kind == kPictureUploaded;
}

}  // namespace

std::string ProgressJsonLine(const ProgressMessage& message, const std::string& line,
                             PicturePosition picture) {
    Json::Value object(Json::objectValue);
    object["number"] = ProgressNumber(message.kind);
    object["line"] = line;
    if (CarriesResult(message)) {
        object["result"] = message.result;
    }
    if (NamesPicture(message)) {
        object["picture"] = message.text;
        if (picture.count > 0) {
            object["index"] = picture.index;
            object["count"] = picture.count;
        }
    }
    if ((message.kind == kFailureReason || message.kind == kTemplateProblem) &&
        !message.code.empty()) {
        object["code"] = message.code;
    }
    if (message.kind == kRateLimitWait) {
        object["seconds"] = message.result;
    }
    if (message.kind == kDecorationFinished && !message.text.empty()) {
        object["address"] = message.text;
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    writer["emitUTF8"] = true;
    return Json::writeString(writer, object) + "\n";
}

}  // namespace kesto
