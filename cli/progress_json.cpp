#include "cli/progress_json.h"

#include <json/value.h>
#include <json/writer.h>

namespace kesto {

namespace {

bool CarriesResult(const ProgressMessage& message) {
    switch (message.number) {
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
    return message.number == kPictureUploadStarting || message.number == kPictureUploaded;
}

}  // namespace

std::string ProgressJsonLine(const ProgressMessage& message, const std::string& line,
                             PicturePosition picture) {
    Json::Value object(Json::objectValue);
    object["number"] = message.number;
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
    if (message.number == kDecorationFinished && !message.text.empty()) {
        object["address"] = message.text;
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    writer["emitUTF8"] = true;
    return Json::writeString(writer, object) + "\n";
}

}  // namespace kesto
