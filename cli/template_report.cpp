#include "cli/template_report.h"

#include <algorithm>

#include "job/json_document.h"

namespace kesto {

namespace {

const char* SeverityName(FindingSeverity severity) {
    switch (severity) {
        case FindingSeverity::kError:
            return "error";
        case FindingSeverity::kWarning:
            return "warning";
        case FindingSeverity::kNote:
            return "note";
    }
    return "error";
}

int CountOf(const std::vector<TemplateFinding>& findings, FindingSeverity severity) {
    return static_cast<int>(std::count_if(
        findings.begin(), findings.end(),
        [severity](const TemplateFinding& finding) { return finding.severity == severity; }));
}

std::string Counted(int count, const char* what) {
    return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

}  // namespace

std::string TemplateReportText(const std::vector<TemplateFinding>& findings) {
    std::string text;
    for (const TemplateFinding& finding : findings) {
        text += std::string(SeverityName(finding.severity)) + ": " + FindingLine(finding) + "\n";
    }
    return text + Counted(CountOf(findings, FindingSeverity::kError), "error") + ", " +
           Counted(CountOf(findings, FindingSeverity::kWarning), "warning") + "\n";
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
        list.append(entry);
    }
    report["findings"] = list;
    return JsonDocumentText(report);
}

}  // namespace kesto
