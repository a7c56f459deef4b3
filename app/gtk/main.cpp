// kesto-design on Linux. The one place where the program chooses the jobs' area steps: the
// marketplace client's.

#include "app/gtk/design_program.h"
#include "job/marketplace_steps.h"

int main(int argc, char** argv) {
    return kesto::gtk::RunDesignProgram(argc, argv, &kesto::MakeMarketplaceSteps);
}
