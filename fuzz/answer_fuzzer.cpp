// Fuzzes the readers of the marketplace's answers and the layout edits made on what they read:
// an answer is anyone's bytes (a proxy's page, a changed service), and no answer may crash the
// program or leave undefined behaviour; the JSON reader's own refusals are exceptions the job
// catches, so they are caught here too.

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "job/category_answers.h"
#include "job/content_info.h"
#include "job/shop_layout.h"
#include "upload/answer_rules.h"

namespace {

void EditLayout(std::string_view answer) {
    Json::Value layout;
    if (kesto::ParseShopLayout(kesto::ExtractLayoutDocument(answer), layout) <= 0 ||
        !kesto::IsEditableLayout(layout)) {
        return;
    }
    Json::Value withHeader = layout;
    kesto::AddShopHeader(withHeader);
    kesto::ReplacedBannerFsids(layout);
    kesto::ModuleFsids(layout);
    Json::Value withContent = layout;
    kesto::AddCustomContent(withContent);
    kesto::NewCustomContentOrder(layout);
    kesto::MarkOldCustomContent(withContent);
    kesto::BuildLayoutInfo(withContent);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    kesto::ParseCategoryList(answer);
    kesto::UpdateAnswerProblem(answer);
    kesto::ExtractShopData(answer);
    kesto::ResultCodeRule(answer);
    kesto::ErrcodeRule(answer);
    std::string returnUrl;
    kesto::ReturnUrlRule(answer, returnUrl);
    try {
        EditLayout(answer);
    } catch (const std::exception&) {
        // The job fails the area on these; nothing more to look at here.
    }
    return 0;
}
