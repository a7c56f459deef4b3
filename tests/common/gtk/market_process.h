#pragma once
// kesto-market as a child process for a test: started on a free port, stopped when the object
// goes away.

#include <glib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace kesto::testing {

class MarketProcess {
  public:
    // Starts the program with the given options and reads the proxy address it announces on its
    // first line.
    explicit MarketProcess(const std::string& program, std::vector<std::string> options = {}) {
        options.insert(options.begin(), {program, "--port", "0"});
        std::vector<gchar*> argv;
        for (std::string& option : options) {
            argv.push_back(option.data());
        }
        argv.push_back(nullptr);
        gint out = -1;
        if (!g_spawn_async_with_pipes(nullptr, argv.data(), nullptr, G_SPAWN_DO_NOT_REAP_CHILD,
                                      nullptr, nullptr, &pid_, nullptr, &out, nullptr, nullptr)) {
            return;
        }
        file_ = fdopen(out, "r");
        char line[512] = {};
        if (file_ != nullptr && std::fgets(line, sizeof line, file_) != nullptr) {
            const std::string text(line);
            const auto start = text.find("http://");
            const auto end = text.find_first_of(" \n", start);
            if (start != std::string::npos) {
                proxy_ = text.substr(start, end - start);
            }
        }
    }
    ~MarketProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            g_spawn_close_pid(pid_);
        }
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    MarketProcess(const MarketProcess&) = delete;
    MarketProcess& operator=(const MarketProcess&) = delete;

    // "http://127.0.0.1:PORT"; empty when the program did not start.
    const std::string& proxy() const { return proxy_; }

  private:
    GPid pid_ = 0;
    FILE* file_ = nullptr;
    std::string proxy_;
};

}  // namespace kesto::testing
