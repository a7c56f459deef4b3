#pragma once
// kesto-decorate's exit status, the one list the help text, the README and the manual page
// (packaging/kesto-decorate.1.in) repeat.

namespace kesto {

enum ExitCode : int {
    // Decorated; or --check found no errors, --plan found that a run could go ahead, --login
    // logged in, or --help, --version or --list-templates printed what they print.
    kDecorated = 0,
    // An area failed (its reason on standard error), the shop could not be held for the run
    // (another run was decorating it), --plan could not read the shop, or the program stopped on
    // an unexpected error.
    kAreaFailed = 1,
    // A usage or set-up error: a bad option, an unknown template, a cookie file that cannot be
    // read or holds no login, the deletion of the categories not confirmed, or --login not
    // logged in (no display, kesto-design not found, or its login window closed first).
    kUsageError = 2,
    // The template did not pass the check made before the first request (of a run, --check or
    // --plan): nothing was sent.
    kTemplateRefused = 3,
};

}  // namespace kesto
