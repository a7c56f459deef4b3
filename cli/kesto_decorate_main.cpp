// kesto-decorate: decorates the logged-in user's shop with a template from the command line.
// Its exit status is one of cli/exit_codes.h.

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/decorate_options.h"
#include "cli/desktop_login.h"
#include "cli/exit_codes.h"
#include "cli/template_report.h"
#include "cli/terminal_progress.h"
#include "image/graphics_startup.h"
#include "job/categories_warning.h"
#include "job/decoration_job.h"
#include "job/decoration_plan.h"
#include "job/marketplace_steps.h"
#include "job/template_check.h"
#include "market/cookie_file_source.h"
#include "market/cookie_store.h"
#include "market/hosts.h"
#include "market/identity.h"
#include "market/shop_session.h"
#include "platform/program_running_mark.h"
#include "platform/system.h"
#include "platform/text_output.h"
#include "platform/translation.h"
#include "support/file_path.h"
#include "support/fill_in.h"
#include "support/printable_text.h"
#include "support/program_version.h"
#include "support/user_files.h"
#include "templates/template_catalog.h"
#include "templates/template_folder.h"
#include "templates/template_roots.h"

namespace kesto {
namespace {

int Refuse(const std::string& message) {
    WriteText(stderr, "kesto-decorate: " + message + "\n");
    return kUsageError;
}

// Deleting the shop's categories needs the user's word: --yes, or Yes on a terminal.
bool ConfirmCategories(const DecorateOptions& options, std::string& refusal) {
    if (options.confirmed) {
        return true;
    }
    if (!StandardInputIsTerminal()) {
        refusal = Translate(
            "decorating the categories deletes all of the shop's current categories; pass "
            "--yes to confirm, or leave them out with --areas");
        return false;
    }
    WriteText(stderr, std::string(kCategoriesWarning) + " [y/N] ");
    std::fflush(stderr);
    std::string answer;
    std::getline(std::cin, answer);
    if (answer == "y" || answer == "Y" || answer == "yes") {
        return true;
    }
    refusal = Translate("the shop's categories were left as they are; nothing was changed");
    return false;
}

// Why the cookie file could not be read, in the user's language.
std::string CookieFileProblem(FileReadResult read, const std::string& cookieFile) {
    // TRANSLATORS: the file's path, then what is wrong with it ("does not exist").
    return FillIn(Translate("the cookie file {} {}"),
                  {cookieFile, Translate(DescribeFileReadResult(read))}) +
           Translate(
               " (log in with kesto-decorate --login or kesto-design first, or pass --cookies "
               "FILE)");
}

// Loads the login's cookies into the shared cookie store and the identity.
bool LoadLogin(const std::string& cookieFile, std::string& problem) {
    std::string content;
    const FileReadResult read = ReadCookieFile(cookieFile, content);
    if (read != FileReadResult::kRead) {
        problem = CookieFileProblem(read, cookieFile);
        return false;
    }
    StoreCookieFile(content);
    ProcessIdentity().SetCookieSource(
        std::make_shared<CookieFileSource>(cookieFile, hosts::kCookieDomain));
    if (!EnsureIdentity()) {
        problem = FillIn(
            Translate(
                "the cookie file {} holds no marketplace login (cookies uin and skey for {})"),
            {cookieFile, hosts::kCookieDomain});
        return false;
    }
    return true;
}

// The job the options ask for.
JobRequest RequestFor(const DecorateOptions& options) {
    JobRequest request;
    request.shopSign = options.shopSign;
    request.mainPage = options.mainPage;
    request.categories = options.categories;
    request.templatePath = WithTrailingSeparator(options.templateFolder);
    request.parallelUploads = options.parallelUploads;
    return request;
}

// Standard output for the program's own lines alone: the folder listing's diagnostic lines go to
// the null device.
std::FILE* OwnOutput() {
    std::FILE* out = TakeStandardOutput();
    return out != nullptr ? out : stdout;
}

// --check: the template's findings on standard output; nothing is sent and no login is needed.
int CheckOnly(const DecorateOptions& options) {
    const GraphicsUser graphics;  // pictures are read to see that they are pictures
    const JobRequest request = RequestFor(options);
    std::FILE* out = OwnOutput();
    const std::vector<TemplateFinding> findings =
        InspectTemplate(request, ReadTemplateFolder(request.templatePath, TickedAreas(request)));
    const std::string report = options.json ? TemplateReportJson(options.templateFolder, findings)
                                            : TemplateReportText(findings);
    WriteText(out, report);
    std::fflush(out);
    const bool errors = std::any_of(findings.begin(), findings.end(), [](const auto& finding) {
        return finding.severity == FindingSeverity::kError;
    });
    return errors ? kTemplateRefused : kDecorated;
}

// --plan: what a run would change, found with reading requests only.
int PlanOnly(const DecorateOptions& options, const JobRequest& request) {
    std::FILE* out = OwnOutput();
    ShopSession session;
    const DecorationPlan plan = PlanDecoration(
        request, ReadTemplateFolder(request.templatePath, TickedAreas(request)), session);
    if (options.json) {
        WriteText(out, PlanJson(options.templateFolder, plan));
    } else {
        for (const std::string& line : PlanLines(plan)) {
            WriteText(out, PrintableText(line) + "\n");
        }
    }
    std::fflush(out);
    if (!plan.templateErrors.empty()) {
        return kTemplateRefused;
    }
    return plan.CanRun() ? kDecorated : kAreaFailed;
}

// --list-templates: "NAME<tab>FOLDER" for each template found, in search order; a tab or line
// break in a name is escaped, so that each line holds one template and one tab.
int ListOnly(const std::vector<std::string>& templateRoots) {
    std::FILE* out = OwnOutput();
    for (const TemplateEntry& found : ListTemplates(templateRoots)) {
        WriteText(out, PrintableText(found.name) + "\t" + PrintableText(found.folder) + "\n");
    }
    std::fflush(out);
    return kDecorated;
}

int Decorate(const std::vector<std::string>& arguments) {
    ParsedOptions parsed = ParseDecorateOptions(arguments);
    if (!parsed.options) {
        return Refuse(parsed.error + "\n" + Translate("(see kesto-decorate --help)"));
    }
    DecorateOptions& options = *parsed.options;
    if (options.help) {
        WriteText(stdout, DecorateUsage(TemplateRoots(ProcessTemplatePlaces())));
        return kDecorated;
    }
    if (options.version) {
        WriteText(stdout, VersionLine("kesto-decorate"));
        return kDecorated;
    }
    if (options.login) {
        const LoginReport report =
            LogInWithDesktopProgram(SystemLoginLauncher(), DesktopCookieFile());
        if (report.exitCode != kDecorated) {
            WriteText(stderr, "kesto-decorate: " + report.message + "\n");
            return report.exitCode;
        }
        WriteText(stdout, report.message + "\n");
        return kDecorated;
    }
    const std::vector<std::string> templateRoots = TemplateRoots(ProcessTemplatePlaces());
    if (options.listTemplates) {
        return ListOnly(templateRoots);
    }
    // A template given by name is looked up; a folder that is not found is reported as given.
    options.templateFolder =
        FindTemplateFolder(options.templateFolder, templateRoots).value_or(options.templateFolder);
    std::error_code error;
    const bool folderExists =
        std::filesystem::is_directory(PathFromUtf8(options.templateFolder), error);
    const std::string missingFolder = FillIn(
        Translate("the template folder {} does not exist; --list-templates shows the installed "
                  "templates"),
        {options.templateFolder});
    if (options.check) {
        // The report names the missing folder as a finding; the hint where to look goes beside
        // it, on standard error, so that the report itself stays as the check writes it.
        const int result = CheckOnly(options);
        if (!folderExists) {
            WriteText(stderr, "kesto-decorate: " + missingFolder + "\n");
        }
        return result;
    }
    if (!folderExists) {
        return Refuse(missingFolder);
    }
    const std::string cookieFile =
        options.cookieFile.empty() ? DesktopCookieFile() : options.cookieFile;
    std::string problem;
    if (!LoadLogin(cookieFile, problem)) {
        return Refuse(problem);
    }
    const JobRequest request = RequestFor(options);
    if (options.plan) {
        return PlanOnly(options, request);
    }
    if (request.categories && !ConfirmCategories(options, problem)) {
        return Refuse(problem);
    }
    const int areas = int{request.shopSign} + int{request.mainPage} + int{request.categories};
    auto progress = std::make_shared<TerminalProgress>(
        OwnOutput(), StandardErrorIsTerminal() ? stderr : nullptr, areas, stderr,
        options.json ? LineFormat::kJson : LineFormat::kText);
    const std::unique_ptr<DecorationSteps> steps =
        MakeMarketplaceSteps(progress, request.parallelUploads);
    RunDecorationJob(request, *steps, *progress);
    progress->EndBar();
    if (progress->rejected()) {
        return kTemplateRefused;
    }
    return progress->finished() ? kDecorated : kAreaFailed;
}

}  // namespace
}  // namespace kesto

int main(int argc, char** argv) {
    // While it lives, the Windows installer and uninstaller leave the program's files alone.
    const auto runningMark = kesto::ProgramRunningMark::Leave();
    // Text on the wire and on the terminal follows the user's locale.
    std::setlocale(LC_ALL, "");
    kesto::StartTranslations();
    try {
        return kesto::Decorate(kesto::ProgramArguments(argc, argv));
    } catch (const std::exception& error) {
        kesto::WriteText(stderr,
                         "kesto-decorate: " +
                             kesto::FillIn(kesto::Translate("stopped on an unexpected error: {}"),
                                           {error.what()}) +
                             "\n");
    } catch (...) {
        kesto::WriteText(
            stderr, "kesto-decorate: " +
                        std::string(kesto::Translate("stopped on an unexpected error")) + "\n");
    }
    return kesto::kAreaFailed;
}
