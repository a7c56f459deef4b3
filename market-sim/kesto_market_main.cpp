// kesto-market [--port N] [--charset NAME] [--fault
// ENDPOINT=KIND[:SECONDS][*COUNT][+SKIP][%EVERY]]...
//              [--password-required USER]... [--delay MILLISECONDS]
//              [--answers rich|documented] [--refuse-duplicate-category-names]
// kesto-market --version | --help
// Serves the marketplace's five hosts as an HTTP proxy on 127.0.0.1 and prints the proxy
// address to use on its first line. --answers documented makes success answers carry only what
// the marketplace promises its clients (rich, the default, adds error codes of zero, names and
// types beside ids and echoed fields); --refuse-duplicate-category-names answers 409 to a
// category update that would give two top-level categories the same name.

#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>
#include <charconv>

#include <clocale>
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "market-sim/market_server.h"
#include "market/hosts.h"
#include "platform/translation.h"
#include "support/fill_in.h"
#include "support/program_version.h"

namespace {

struct Options {
    int port = 0;
    std::string charset = "UTF-8";
    std::vector<kesto::sim::FaultSetting> faults;
    std::vector<std::string> passwordRequired;
    int delayMilliseconds = 0;
    kesto::sim::AnswerMode answers = kesto::sim::AnswerMode::kRich;
    bool refuseDuplicateCategoryNames = false;
};

constexpr char kSynopsis[] =
    " kesto-market [--port N] [--charset UTF-8|GBK]\n"
    "           [--fault "
    "ENDPOINT=error|errorpage|drop|cut|garbage|relogin|password|expire|429[:SECONDS]|"
    "stall:SECONDS[*COUNT][+SKIP][%EVERY]]...\n"
    "           [--password-required USER]... [--delay MILLISECONDS] [--answers "
    "rich|documented]\n"
    "           [--refuse-duplicate-category-names]\n"
    "       kesto-market --version | --help\n";

std::string HelpText() {
    // The forms stay as they are typed; each paragraph and option is translated on its own.
    // TRANSLATORS: the label before the forms; six columns wide, as the forms below are indented.
    std::string text = std::string(kesto::Translate("usage:")) + kSynopsis + "\n";
    for (const char* paragraph : {
             kesto::TranslatedLater(
                 "Serves the marketplace's five hosts on 127.0.0.1 as an HTTP proxy, for tests "
                 "and\n"
                 "demonstrations, and prints the proxy's address on its first line.\n"),
             "\n",
             kesto::TranslatedLater(
                 "  --port N         the port to listen on (default: a free one)\n"),
             kesto::TranslatedLater(
                 "  --charset NAME   the marketplace's code page on the wire: UTF-8 (default) or "
                 "GBK\n"),
             kesto::TranslatedLater(
                 "  --fault ENDPOINT=KIND\n"
                 "                   make an endpoint misbehave; *COUNT limits how often, +SKIP\n"
                 "                   lets that many requests pass first, %EVERY hits only every\n"
                 "                   EVERY-th request; * as the endpoint counts\n"
                 "                   every request (may be given more than once)\n"),
             kesto::TranslatedLater(
                 "  --password-required USER\n"
                 "                   USER's shop asks for the transaction password\n"),
             kesto::TranslatedLater(
                 "  --delay MILLISECONDS\n"
                 "                   every answer waits this long, as a distant server's would\n"
                 "                   (at most 60000)\n"),
             kesto::TranslatedLater(
                 "  --answers MODE   rich (default) or documented: success answers carry only "
                 "the\n"
                 "                   markers the marketplace documents\n"),
             kesto::TranslatedLater(
                 "  --refuse-duplicate-category-names\n"
                 "                   answer 409 to a category update that would give two "
                 "top-level\n"
                 "                   categories the same name\n"),
             kesto::TranslatedLater("  --version        print the program's version\n"),
             kesto::TranslatedLater("  --help           show this text\n"),
         }) {
        text += *paragraph == '\n' ? paragraph : kesto::Translate(paragraph);
    }
    return text;
}

// A refused start: the problem on standard error, and where the usage is.
int Refuse(const std::string& problem) {
    std::cerr << "kesto-market: " << problem << "\n"
              << kesto::Translate("(see kesto-market --help)") << "\n";
    return 2;
}

// Fills the options; the empty text on success, else the problem.
std::string ParseOptions(int argc, char** argv, Options& options) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            return "help";
        }
        if (name == "--version") {
            return "version";
        }
        if (name == "--refuse-duplicate-category-names") {
            options.refuseDuplicateCategoryNames = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            return kesto::FillIn(kesto::Translate("unknown option or missing value: {}"), {name});
        }
        const std::string& value = args[++i];
        if (name == "--port") {
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), options.port);
            if (error != std::errc() || end != value.data() + value.size() || options.port < 0 ||
                options.port > 65535) {
                return kesto::FillIn(kesto::Translate("bad port: {}"), {value});
            }
        } else if (name == "--delay") {
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(),
                                                      options.delayMilliseconds);
            if (error != std::errc() || end != value.data() + value.size() ||
                options.delayMilliseconds < 0 || options.delayMilliseconds > 60000) {
                return kesto::FillIn(kesto::Translate("bad delay: {}"), {value});
            }
        } else if (name == "--charset") {
            options.charset = value;
        } else if (name == "--fault") {
            const auto setting = kesto::sim::ParseFaultSetting(value);
            if (!setting) {
                return kesto::FillIn(kesto::Translate("bad fault: {}"), {value});
            }
            options.faults.push_back(*setting);
        } else if (name == "--password-required") {
            options.passwordRequired.push_back(value);
        } else if (name == "--answers") {
            const auto mode = kesto::sim::ParseAnswerMode(value);
            if (!mode) {
                return kesto::FillIn(kesto::Translate("bad answer mode (rich or documented): {}"),
                                     {value});
            }
            options.answers = *mode;
        } else {
            return kesto::FillIn(kesto::Translate("unknown option: {}"), {name});
        }
    }
    return {};
}

// Stops the server on SIGINT or SIGTERM: the signals are blocked in every thread and taken by
// one waiting thread, so the stop runs as ordinary code, not in a signal handler.
std::thread StopOnSignals(kesto::sim::MarketServer& server, sigset_t signals) {
    return std::thread([&server, signals] {
        int signal = 0;
        sigwait(&signals, &signal);
        server.Stop();
    });
}

}  // namespace

int main(int argc, char** argv) {
    // Messages only: numbers and everything else keep the C locale's forms.
    std::setlocale(LC_MESSAGES, "");
    kesto::StartTranslations();
    Options options;
    const std::string problem = ParseOptions(argc, argv, options);
    if (problem == "help") {
        std::cout << HelpText();
        return 0;
    }
    if (problem == "version") {
        std::cout << kesto::VersionLine("kesto-market");
        return 0;
    }
    if (!problem.empty()) {
        return Refuse(problem);
    }
    // A client that goes away mid-answer must not end the server.
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // The threads made from here on (they inherit it) wake when an answer's delay is over, not
    // up to the kernel's default slack of 50 microseconds later.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    kesto::sim::MarketServer server(options.charset);
    if (!kesto::sim::WireCharset(options.charset).IsSupported()) {
        return Refuse(kesto::FillIn(kesto::Translate("unknown charset: {}"), {options.charset}));
    }
    for (const auto& fault : options.faults) {
        server.faults().Set(fault);
    }
    server.SetAnswerDelay(std::chrono::milliseconds(options.delayMilliseconds));
    server.SetAnswerMode(options.answers);
    server.SetRefuseDuplicateCategoryNames(options.refuseDuplicateCategoryNames);
    {
        const auto lock = server.market().Lock();
        for (const auto& user : options.passwordRequired) {
            kesto::sim::Shop* shop = server.market().FindShop(user);
            if (shop == nullptr) {
                return Refuse(kesto::FillIn(kesto::Translate("no shop {}"), {user}));
            }
            shop->passwordRequired = true;
        }
    }
    const int port = server.Bind(options.port);
    if (port < 0) {
        std::cerr << "kesto-market: "
                  << kesto::FillIn(kesto::Translate("cannot listen on 127.0.0.1:{}: {}"),
                                   {std::to_string(options.port), std::strerror(errno)})
                  << "\n";
        return 1;
    }
    const std::string address = kesto::hosts::Address("127.0.0.1:" + std::to_string(port));
    // The first line's start is read by scripts: it stays the same in every language.
    std::cout << "kesto-market: proxy " << address << "  "
              << kesto::FillIn(kesto::Translate("(export http_proxy={})"), {address}) << std::endl;
    std::thread stopper = StopOnSignals(server, signals);
    std::cout << "kesto-market: "
              << kesto::FillIn(kesto::Translate("demo accounts 10001/kesto123 and "
                                                "10002/kesto456, control at {}"),
                               {address + "/control/"})
              << std::endl;
    server.Listen();
    kill(getpid(), SIGTERM);  // lets the waiting thread end when the server stopped by itself
    stopper.join();
    return 0;
}
