#pragma once
// kesto-design on Linux: the process-wide objects, the main window, and the main loop.

#include "job/job_thread.h"

namespace kesto::gtk {

// Runs the program until the main window has gone; the jobs' area steps come from makeSteps.
// Always 1, whatever the window ended with.
int RunDesignProgram(int argc, char** argv, DecorationStepsFactory makeSteps);

}  // namespace kesto::gtk
