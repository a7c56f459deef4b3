#pragma once
// The process-wide start-up of the graphics library. Start and stop are counted: the library
// runs from the first start to the matching last stop, so one job ending never shuts it down
// under another job, or the program, that still uses it.

namespace kesto {

// Makes sure the library runs and counts one more user. False when it cannot start; nothing is
// counted then, and the next call tries again.
bool StartGraphics();

// Counts one user less; the last one shuts the library down. Without users it does nothing.
void StopGraphics();

// Whether the library runs now.
bool GraphicsRunning();

// One user of the library for the object's lifetime.
class GraphicsUser {
  public:
    GraphicsUser() : started_(StartGraphics()) {}
    ~GraphicsUser() {
        if (started_) {
            StopGraphics();
        }
    }
    GraphicsUser(const GraphicsUser&) = delete;
    GraphicsUser& operator=(const GraphicsUser&) = delete;

    bool Started() const { return started_; }

  private:
    bool started_;
};

}  // namespace kesto
