#pragma once
// Running the GTK main loop from a test until something has happened, bounded in time.

#include <gtk/gtk.h>

#include <chrono>
#include <functional>
#include <thread>

namespace kesto::testing {

// Runs pending main-loop work until done() holds or the time is up; whether done() held.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        if (!g_main_context_iteration(nullptr, FALSE)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return true;
}

// Runs the main loop for a while.
inline void PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

}  // namespace kesto::testing
