// The GUI tests' entry point: GTK needs its display before any test builds a widget.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!gtk_init_check(&argc, &argv)) {
        fprintf(stderr, "no display: run the GUI tests under xvfb-run -a\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
