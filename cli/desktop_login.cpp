#include "cli/desktop_login.h"

#include "cli/exit_codes.h"
#include "platform/translation.h"
#include "support/fill_in.h"

namespace kesto {

namespace {

constexpr char kDesignProgram[] = "kesto-design";

// Where no window can be shown: how to bring a login made elsewhere.
std::string NoDisplayAdvice(const std::string& cookieFile) {
    // TRANSLATORS: {} is the path of the cookie file kesto-decorate reads by default.
    return FillIn(
        Translate("there is no display here to show the login window on.\n"
                  "Log in on a machine with a display, with kesto-design or kesto-decorate "
                  "--login there,\n"
                  "then copy the cookie file that login leaves to {} on this machine,\n"
                  "or pass the copy with --cookies FILE."),
        {cookieFile.empty() ? Translate("the default cookie file") : cookieFile});
}

}  // namespace

LoginLauncher SystemLoginLauncher() {
    return {&WindowsCanBeShown, &FindSuiteProgram, &RunProgram};
}

LoginReport LogInWithDesktopProgram(const LoginLauncher& launcher, const std::string& cookieFile) {
    if (!launcher.windowsCanBeShown()) {
        return {kUsageError, NoDisplayAdvice(cookieFile)};
    }
    const std::string design = launcher.findProgram(kDesignProgram);
    if (design.empty()) {
        return {kUsageError,
                Translate("cannot find kesto-design, which shows the login window, beside "
                          "kesto-decorate or on PATH")};
    }
    const ProgramEnd end = launcher.runProgram(design, {"--login"});
    if (!end.started) {
        return {kUsageError, FillIn(Translate("cannot start {}: {}"), {design, end.error})};
    }
    if (end.exitCode != 0) {
        return {kUsageError,
                FillIn(Translate("not logged in (kesto-design --login ended with status {})"),
                       {std::to_string(end.exitCode)})};
    }
    return {kDecorated, FillIn(Translate("logged in; the login is in {}"), {cookieFile})};
}

}  // namespace kesto
