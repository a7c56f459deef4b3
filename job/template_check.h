#pragma once
// The check a job makes before its first request: everything the ticked areas will read from
// the template is there, readable and usable, so that a bad template changes nothing in the
// shop. The same check serves the desktop program and the command line.

#include <string>
#include <vector>

#include "job/decoration_job.h"

namespace kesto {

struct TemplateProblem {
    std::string file;     // the file or folder, relative to the template folder ("main/a.jpg")
    std::string problem;  // what is wrong with it, in words a template's author can act on

    bool operator==(const TemplateProblem&) const = default;
};

// The problems of the request's template for its ticked areas; none when the job may start.
// Pictures are read through the graphics layer, which must be running.
std::vector<TemplateProblem> CheckTemplate(const JobRequest& request);

}  // namespace kesto
