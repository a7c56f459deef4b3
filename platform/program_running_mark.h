#pragma once
// The mark a running kesto-design or kesto-decorate leaves for the Windows installer and
// uninstaller: while any program of the suite holds one, they change nothing and ask the user to
// close it (a silent run fails instead). Backends beside this file:
// win32/program_running_mark_win32.cpp (a named mutex in the user's session, which
// packaging/windows/kesto-decor.nsi opens by the same name), posix/program_running_mark_posix.cpp
// (no mark: the package manager replaces the files of running programs safely).
//
// Contract: Leave never blocks. A program without a mark runs as before; it is only not seen by
// the installer. Errors: null, with no error number.

#include <memory>

namespace kesto {

class ProgramRunningMark {
  public:
    // Leaves the mark for as long as the returned object lives; several programs, and several
    // runs of one, may hold it at once. Null when the system keeps no such mark.
    static std::unique_ptr<ProgramRunningMark> Leave();

    virtual ~ProgramRunningMark() = default;
};

}  // namespace kesto
