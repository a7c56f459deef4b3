#include "cli/template_report.h"

#include <algorithm>

#include "job/json_document.h"
#include "platform/translation.h"
#include "support/fill_in.h"

namespace kesto {

namespace {

// The severity's name as the JSON report has it; the text report shows it translated.
const char* SeverityName(FindingSeverity severity) {
    switch (severity) {
        case FindingSeverity::kError:
            return TranslatedLater("error");
        case FindingSeverity::kWarning:
            return TranslatedLater("warning");
        case FindingSeverity::kNote:
            return TranslatedLater("note");
    }
    return TranslatedLater("error");
}

int CountOf(const std::vector<TemplateFinding>& findings, FindingSeverity severity) {
    return static_cast<int>(std::count_if(
        findings.begin(), findings.end(),
        [severity](const TemplateFinding& finding) { return finding.severity == severity; }));
}

std::string Counted(int count, const char* one, const char* many) {
    return FillIn(count == 1 ? one : many, {std::to_string(count)});
}

}  // namespace

std::string TemplateReportText(const std::vector<TemplateFinding>& findings) {
    std::string text;
    for (const TemplateFinding& finding : findings) {
        text += FillIn(Translate("{}: {}"),
                       {Translate(SeverityName(finding.severity)), FindingLine(finding)}) +
                "\n";
    }
    const std::string errors = Counted(CountOf(findings, FindingSeverity::kError),
                                       Translate("{} error"), Translate("{} errors"));
    const std::string warnings = Counted(CountOf(findings, FindingSeverity::kWarning),
                                         Translate("{} warning"), Translate("{} warnings"));
    // TRANSLATORS: the counts of errors and of warnings, as "2 errors, 1 warning".
    return text + FillIn(Translate("{}, {}"), {errors, warnings}) + "\n";
}

std::string TemplateReportJson(const std::string& templateFolder,
                               const std::vector<TemplateFinding>& findings) {
    Json::Value report(Json::objectValue);
    report["template"] = templateFolder;
    report["errors"] = CountOf(findings, FindingSeverity::kError);
    report["warnings"] = CountOf(findings, FindingSeverity::kWarning);
    Json::Value list(Json::arrayValue);
    for (const TemplateFinding& finding : findings) {
        Json::Value entry(Json::objectValue);
        entry["severity"] = SeverityName(finding.severity);
        entry["file"] = finding.file;
        entry["text"] = finding.text;
        entry["code"] = finding.code;
        list.append(entry);
    }
    report["findings"] = list;
    return JsonDocumentText(report);
}

}  // namespace kesto
