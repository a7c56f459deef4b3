#pragma once
// The decoration job: the ticked areas in a fixed order (shop sign, main page, categories),
// stopping at the first area that fails, reporting every step through the progress protocol and
// ending with the shop front's address. The job's requests share one context
// (market/job_context.h) with one time bound: an area whose request it refuses or cuts short
// fails, whatever the area made of that.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "job/area_result.h"
#include "job/job_limits.h"
#include "job/progress.h"
#include "job/template_finding.h"
#include "templates/template_folder.h"

namespace kesto {

struct JobContext;

// What the dialog hands the job when Upload is pressed.
struct JobRequest {
    bool shopSign = false;
    bool mainPage = false;
    bool categories = false;   // ticked and, where the warning was shown, confirmed
    std::string templatePath;  // the chosen template folder, ending with the path separator
    // How long the job's marketplace requests may take in all; the area running when it runs
    // out fails (tests shorten it).
    std::chrono::milliseconds timeBound = kJobTimeBound;
    // How many picture uploads of an area may be under way at once (job/parallel_uploads.h).
    int parallelUploads = 1;
};

// The areas the request ticks, as the template is read for them.
TemplateAreas TickedAreas(const JobRequest& request);

// The operations the job runs against the marketplace, each returning its result code (above 0
// for success) and, when it failed, why. The area operations make their requests with the job's
// context. The marketplace client implements them over one job's shop session; tests use fakes.
class DecorationSteps {
  public:
    virtual ~DecorationSteps() = default;
    // What is wrong with the template as read for the ticked areas (its errors), checked before
    // any request. The marketplace steps run the real check; fakes may skip it.
    virtual std::vector<TemplateFinding> CheckTemplate(const JobRequest& /*request*/,
                                                       const TemplateFolder& /*folder*/) {
        return {};
    }
    // Takes the shop for this job until the steps go (called once); above 0 when held, 0 when
    // another job decorates it (no reason) or when the shop cannot be held (the reason says
    // why). The marketplace steps hold a lock between processes (job/shop_job_lock.h).
    virtual AreaResult HoldShop() { return {1, {}}; }
    // The areas' parts of the template as read before the check.
    virtual AreaResult UpdateShopSign(JobContext& context, const TemplateFile& picture) = 0;
    virtual AreaResult UpdateMainPage(JobContext& context, const MainFolder& mainFolder) = 0;
    virtual AreaResult UpdateCategories(JobContext& context, const ClassFolder& classFolder) = 0;
    // The logged-in user's number; empty when unknown.
    virtual std::string UserNumber() = 0;
};

// Runs one job to its end on the calling thread.
void RunDecorationJob(const JobRequest& request, DecorationSteps& steps, ProgressSink& progress);

// The shop front: http, the shop host, "/" + user number + "?t=" + a number from 0 to 32767.
// Empty when the user number is.
std::string ShopFrontAddress(const std::string& userNumber, int randomValue);

}  // namespace kesto
