#include "job/decoration_job.h"

#include <chrono>
#include <exception>
#include <filesystem>
#include <random>
#include <utility>

#include "job/template_check.h"
#include "market/hosts.h"
#include "market/job_context.h"
#include "market/login_watch.h"
#include "platform/translation.h"
#include "support/fill_in.h"
#include "support/trace_log.h"

namespace kesto {

namespace {

// One number from 0 to 32767, drawn from a generator seeded with the current time in seconds.
int DrawShopFrontNumber() {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now().time_since_epoch());
    std::minstd_rand generator(static_cast<std::minstd_rand::result_type>(seconds.count()));
    return std::uniform_int_distribution<int>(0, 32767)(generator);
}

// What an exception that escaped a step says, for the trace log and the failure reason.
std::string ExceptionText() {
    try {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "unknown error";
    }
}

// The reason of an area during which the marketplace ended the login: the area's own words where
// they say so (they name the step), else the expired-login reason followed by them.
std::string ExpiredLoginReason(std::string reason) {
    const std::string expired = LoginExpiredReason();
    if (reason.find(expired) != std::string::npos) {
        return reason;
    }
    // TRANSLATORS: the expired-login reason, then the step's own words.
    return reason.empty() ? expired : FillIn(Translate("{} {}"), {expired, reason});
}

// Runs one area between its start and end messages, a failed one followed by its reason; true
// when it succeeded. No input ends an area without its failure line: an exception from the step
// (a local file that changed under it, an answer the JSON reader refuses, memory) fails it. An
// area whose request the job's time bound refused or cut short fails, even where the area went
// on without that request; so does an area during which the marketplace ended the login, and
// with it the job, since no later request would be taken.
template <typename Update>
bool RunArea(const JobContext& context, ProgressSink& progress, ProgressKind area,
             std::chrono::milliseconds timeBound, Update update) {
    progress.Post({area, 0, 0, {}});
    AreaResult result{-1, {}};
    std::string reason;
    std::string code;
    try {
        result = update();
    } catch (...) {
        const std::string what = ExceptionText();
        ProcessTraceLog().Write("Area %d stopped by an exception: %s", static_cast<int>(area),
                                what.c_str());
        reason = FillIn(Translate("an unexpected error stopped this area: {}; run again"), {what});
        code = "unexpected-error";
    }
    const bool late = context.timeBound.TimeBoundMissed();
    const bool loggedOut = context.loginWatch.LoginExpired();
    progress.Post({area, 1, (late || loggedOut) && result.code > 0 ? -1 : result.code, {}});
    if (result.code > 0 && !late && !loggedOut) {
        return true;
    }
    if (reason.empty() && result.code <= 0) {
        reason = std::move(result.reason);
        code = std::move(result.reasonCode);
    }
    if (loggedOut) {
        reason = ExpiredLoginReason(std::move(reason));
        code = "login-expired";
    }
    if (reason.empty() && late) {
        reason = DescribeMissedTimeBound(timeBound);
        code = "time-bound";
    }
    if (reason.empty()) {
        reason = Translate("no reason was recorded; the trace log may say more");
        code = "no-reason";
    }
    progress.Post({kFailureReason, 0, 0, std::move(reason), code.empty() ? "step-failed" : code});
    return false;
}

// The shop sign area: the first picture of the "head" folder. A missing picture is reported and
// does not end the job.
bool RunShopSign(const JobRequest& request, const SignFolder& head, DecorationSteps& steps,
                 JobContext& context, ProgressSink& progress) {
    if (!head.picture) {
        progress.Post({kNoShopSignPicture, 0, 0, {}});
        return true;
    }
    return RunArea(context, progress, kShopSignProgress, request.timeBound,
                   [&] { return steps.UpdateShopSign(context, *head.picture); });
}

// The ticked areas after a failed one, which the job does not start.
struct LaterAreas {
    bool mainPage = false;
    bool categories = false;
};

// Names the later ticked areas a failed area kept from starting; nothing when there are none.
void PostNotStarted(ProgressSink& progress, LaterAreas later) {
    std::string names;
    // The area names of the progress lines: "main page", "categories".
    for (const auto& [ticked, name] :
         {std::pair{later.mainPage, "主页面"}, std::pair{later.categories, "分类"}}) {
        if (ticked) {
            names += (names.empty() ? "" : "、") + std::string(name);
        }
    }
    if (!names.empty()) {
        progress.Post({kAreasNotStarted, 0, 0, std::move(names)});
    }
}

}  // namespace

TemplateAreas TickedAreas(const JobRequest& request) {
    return {request.shopSign, request.mainPage, request.categories};
}

std::string ShopFrontAddress(const std::string& userNumber, int randomValue) {
    if (userNumber.empty()) {
        return {};
    }
    return hosts::Address(hosts::kShop, "/" + userNumber + "?t=" + std::to_string(randomValue));
}

void RunDecorationJob(const JobRequest& request, DecorationSteps& steps, ProgressSink& progress) {
    // A template that cannot be decorated with changes nothing in the shop. It is read once:
    // the areas upload what the check passed.
    std::vector<TemplateFinding> problems;
    TemplateFolder folder;
    try {
        folder = ReadTemplateFolder(request.templatePath, TickedAreas(request));
        problems = steps.CheckTemplate(request, folder);
    } catch (...) {
        problems.push_back({FindingSeverity::kError,
                            {},
                            FillIn(Translate("the template could not be checked: {}; run again"),
                                   {ExceptionText()}),
                            "unexpected-error"});
    }
    if (!problems.empty()) {
        for (const TemplateFinding& problem : problems) {
            progress.Post({kTemplateProblem, 0, 0, FindingLine(problem), problem.code});
        }
        progress.Post({kTemplateRejected, 0, 0, {}});
        return;
    }
    if (AreaResult hold = steps.HoldShop(); hold.code <= 0) {
        if (hold.reason.empty()) {
            progress.Post({kShopBusy, 0, 0, {}});
        } else {
            progress.Post({kShopNotHeld, 0, 0, {}});
            progress.Post({kFailureReason, 0, 0, std::move(hold.reason),
                           hold.reasonCode.empty() ? "shop-not-held" : hold.reasonCode});
        }
        return;
    }
    // The job's requests from here on share one time bound and one login, and the
    // transaction-password page met by any of them opens the password window.
    JobContext context;
    context.timeBound = RequestTimeBound(request.timeBound);
    context.loginWatch.Start();
    context.transactionPasswordMet = [&progress] {
        progress.Post({kTransactionPassword, 0, 0, {}});
    };
    context.rateLimitWaitMet = [&progress](int seconds) {
        progress.Post({kRateLimitWait, 0, seconds, {}});
    };
    if (request.shopSign && !RunShopSign(request, folder.head, steps, context, progress)) {
        PostNotStarted(progress, {request.mainPage, request.categories});
        return;
    }
    if (request.mainPage && !RunArea(context, progress, kMainPageProgress, request.timeBound,
                                     [&] { return steps.UpdateMainPage(context, folder.main); })) {
        PostNotStarted(progress, {false, request.categories});
        return;
    }
    if (request.categories &&
        !RunArea(context, progress, kCategoriesProgress, request.timeBound,
                 [&] { return steps.UpdateCategories(context, folder.categories); })) {
        return;
    }
    progress.Post(
        {kDecorationFinished, 0, 0, ShopFrontAddress(steps.UserNumber(), DrawShopFrontNumber())});
}

}  // namespace kesto
