#pragma once
// A progress sink that keeps every message posted to it, for tests that check what a job or an
// operation reported. Used from one thread at a time.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "job/progress.h"

namespace kesto::testing {

class RecordingProgress final : public ProgressSink {
  public:
    void Post(ProgressMessage message) override { messages.push_back(std::move(message)); }

    // The progress lines the messages add, in order.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const ProgressMessage& message : messages) {
            if (const std::optional<std::string> line = ProgressLine(message)) {
                lines.push_back(*line);
            }
        }
        return lines;
    }

    std::vector<ProgressMessage> messages;
};

}  // namespace kesto::testing
