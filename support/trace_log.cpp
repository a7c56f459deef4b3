#include "support/trace_log.h"

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "support/file_path.h"
#include "support/text_conversion.h"
#include "support/user_files.h"
#include "support/utf16.h"

namespace kesto {

namespace {

// Messages and lines are built in 512-character buffers that keep one place for the terminator.
constexpr std::size_t kBufferChars = 512;
constexpr std::size_t kMaxChars = kBufferChars - 1;
// The log file's full path, like every path the program builds, fits in 259 characters.
constexpr std::size_t kMaxPathChars = 259;

std::string FormatMessage(const char* format, va_list arguments) {
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length < 0) {
        return {};
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

std::string LogFileName(const LocalTime& time) {
    return "Trace" + std::to_string(time.month) + "-" + std::to_string(time.day) + ".log";
}

// One character of a path as compared across systems: ASCII folded to lower case, '\\' as '/'.
char ComparablePathChar(char c) {
    if (c == '\\') {
        return '/';
    }
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether folder is inside, or is, ancestor; both end with a path separator.
bool IsInFolder(const std::string& folder, const std::string& ancestor) {
    if (ancestor.empty() || folder.size() < ancestor.size()) {
        return false;
    }
    for (std::size_t i = 0; i < ancestor.size(); ++i) {
        if (ComparablePathChar(folder[i]) != ComparablePathChar(ancestor[i])) {
            return false;
        }
    }
    return true;
}

TraceLog::Environment ProcessEnvironment() {
    const TraceLogPlace place =
        TraceLogFolders(ExecutableFolder(), InstalledProgramFolders(), ProgramDataFolder());
    TraceLog::Environment environment;
    environment.enabled = TraceLog::SwitchFilePresent();
    environment.folder = place.folder;
    environment.fallbackFolder = place.fallbackFolder;
    return environment;
}

}  // namespace

TraceLogPlace TraceLogFolders(const std::string& programFolder,
                              const std::vector<std::string>& installedFolders,
                              const std::string& dataFolder) {
    for (const std::string& installed : installedFolders) {
        if (IsInFolder(programFolder, installed)) {
            return {{}, dataFolder};
        }
    }
    return {programFolder, dataFolder};
}

std::string FormatTraceLine(const LocalTime& time, unsigned long threadId,
                            const std::string& message) {
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "%d.%d %02d:%02d:%02d--(tid=%lu)", time.month, time.day,
                  time.hour, time.minute, time.second, threadId);
    std::u16string line = Utf8ToUtf16(std::string(prefix) + message);
    if (line.size() > kMaxChars) {
        line.resize(kMaxChars);
        // Never end on half of a surrogate pair.
        if (line.back() >= 0xD800 && line.back() <= 0xDBFF) {
            line.pop_back();
        }
    }
    if (line.size() + 1 < kMaxChars) {
        line += u"\r\n";
    } else if (line.size() < kMaxChars) {
        line += u"\r";
    }
    return Utf16ToUtf8(line);
}

bool TraceLog::SwitchFilePresent() {
    return std::ifstream("trace.txt").is_open();
}

TraceLog::TraceLog() : TraceLog(ProcessEnvironment()) {}

TraceLog::TraceLog(Environment environment) : environment_(std::move(environment)) {}

int TraceLog::Write(const char* format, ...) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!environment_.enabled) {
        return 0;
    }
    if (!file_) {
        file_ = OpenFile();
        if (!file_) {
            return -1;
        }
    }
    va_list arguments;
    va_start(arguments, format);
    const std::string message = FormatMessage(format, arguments);
    va_end(arguments);
    if (Utf16Length(message) > kMaxChars) {
        return 0;
    }
    const std::string line =
        FormatTraceLine(environment_.clock(), environment_.threadId(), message);
    return file_->Append(ToAnsi(line)) ? 1 : 0;
}

std::unique_ptr<ExclusiveAppendFile> TraceLog::OpenFile() const {
    const std::string name = LogFileName(environment_.clock());
    for (const std::string* folder : {&environment_.folder, &environment_.fallbackFolder}) {
        const std::string path = *folder + name;
        if (folder->empty() || Utf16Length(path) > kMaxPathChars) {
            continue;
        }
        if (folder == &environment_.fallbackFolder) {
            std::error_code error;
            std::filesystem::create_directories(PathFromUtf8(*folder), error);
        }
        if (auto file = ExclusiveAppendFile::Open(path)) {
            return file;
        }
    }
    return nullptr;
}

TraceLog& ProcessTraceLog() {
    static TraceLog log;
    return log;
}

namespace {
// Create the process's log during static initialisation, so that the switch is read in the
// folder the process started in.
[[maybe_unused]] const TraceLog& processTraceLogAtStart = ProcessTraceLog();
}  // namespace

}  // namespace kesto
