#pragma once
// What `kesto-decorate --check` prints: the template's findings as lines a person reads, or as
// one JSON document a script reads.

#include <string>
#include <vector>

#include "job/template_check.h"

namespace kesto {

// One line per finding ("error: main/a.jpg: cannot be read ..."), then the count of errors and
// warnings.
std::string TemplateReportText(const std::vector<TemplateFinding>& findings);

// {"template": ..., "errors": N, "warnings": N, "findings": [{"severity", "file", "text"}...]}
std::string TemplateReportJson(const std::string& templateFolder,
                               const std::vector<TemplateFinding>& findings);

}  // namespace kesto
