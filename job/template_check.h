#pragma once
// The check of a template before a job's first request, and the fuller look `kesto-decorate
// --check` takes: everything the ticked areas will read from the template is there, readable
// and usable (errors), what the job would silently skip or use otherwise than the author may
// expect (warnings), and how the job will read it (notes). A template with an error changes
// nothing in the shop.

#include <string>
#include <vector>

#include "job/decoration_job.h"
#include "job/template_finding.h"
#include "templates/template_folder.h"

namespace kesto {

// Every finding for the request's ticked areas of the template as read (its areas read with
// ReadTemplateFolder), in the order the areas run. Pictures are read through the graphics layer,
// which must be running.
std::vector<TemplateFinding> InspectTemplate(const JobRequest& request,
                                             const TemplateFolder& folder);

// The errors alone: none when a job may start.
std::vector<TemplateFinding> CheckTemplate(const JobRequest& request, const TemplateFolder& folder);

// "file: text", or the text alone for the template itself.
std::string FindingLine(const TemplateFinding& finding);

}  // namespace kesto
