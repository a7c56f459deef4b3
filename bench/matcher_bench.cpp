// The pattern matcher on synthetic content-information pages, next to PCRE2 (interpreter and
// JIT) running the same lookups on the same UTF-16 text.
//
// Pages hold 1,000 / 10,000 / 100,000 module records; the wanted module sits near the start,
// near the end, or nowhere. PCRE2's interpreter is quadratic when the module is missing, so it
// runs only up to 10,000 records there.

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "matcher/pattern_compiler.h"
#include "matcher/pattern_machine.h"
#include "matcher/pattern_matcher.h"

namespace {

struct Lookup {
    const char* name;
    std::u16string kestoPattern;
    std::u16string pcrePattern;
    std::u16string wantedRecord;  // the record the lookup is after
};

const Lookup kLookups[] = {
    {"header", u"segsequence:\"0\",aid:\"0\",.*?,mid:\"9\",.*?,fsid:\"{\\d+}\"",
     u"segsequence:\"0\",aid:\"0\",.*?,mid:\"9\",.*?,fsid:\"(\\d+)\"",
     u"{segsequence:\"0\",aid:\"0\",order:\"1\",mid:\"9\",name:\"Shop sign\",fsid:\"424242\","
     u"tssid:\"0\"},"},
    {"content", u"segsequence:\"1\",aid:\"1\",.*?,order:\"100\",mid:\"13\",.*?,fsid:\"{\\d+}\"",
     u"segsequence:\"1\",aid:\"1\",.*?,order:\"100\",mid:\"13\",.*?,fsid:\"(\\d+)\"",
     u"{segsequence:\"1\",aid:\"1\",order:\"100\",mid:\"13\",name:\"Custom\",fsid:\"424242\","
     u"tssid:\"0\"},"},
};

enum Placement { kNearStart, kNearEnd, kAbsent };
const char* const kPlacementNames[] = {"start", "end", "absent"};

// Records in the page's shape, none of them the wanted one: both segments, several module kinds.
std::u16string Record(int i) {
    static const char16_t* const mids[] = {u"13", u"7", u"21", u"13", u"4"};
    const std::u16string number = [&] {
        std::u16string digits;
        for (const char c : std::to_string(100000 + i)) {
            digits.push_back(static_cast<char16_t>(c));
        }
        return digits;
    }();
    const std::u16string segment = i % 3 == 0 ? u"1" : u"0";
    return u"{segsequence:\"" + segment + u"\",aid:\"" + segment + u"\",order:\"" +
           number.substr(4) + u"\",mid:\"" + mids[i % 5] + u"\",name:\"Module " + number +
           u"\",fsid:\"" + number + u"\",tssid:\"0\"},";
}

std::u16string ContentPage(const Lookup& lookup, Placement placement, int records) {
    std::u16string page = u"var contentInfo=[";
    for (int i = 0; i < records; ++i) {
        if ((placement == kNearStart && i == 2) || (placement == kNearEnd && i == records - 3)) {
            page += lookup.wantedRecord;
        } else {
            page += Record(i);
        }
    }
    page += u"];";
    return page;
}

struct PcreCodeDeleter {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct PcreMatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct PcreContextDeleter {
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};

class PcreLookup {
  public:
    PcreLookup(const std::u16string& pattern, bool jit) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        code_.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.c_str()), pattern.size(),
                                  PCRE2_CASELESS, &error, &offset, nullptr));
        if (!code_ || (jit && pcre2_jit_compile(code_.get(), PCRE2_JIT_COMPLETE) != 0)) {
            std::fprintf(stderr, "PCRE2 cannot compile the pattern\n");
            std::abort();
        }
        data_.reset(pcre2_match_data_create_from_pattern(code_.get(), nullptr));
        context_.reset(pcre2_match_context_create(nullptr));
        pcre2_set_match_limit(context_.get(), 0xFFFFFFFFu);  // the true result, however long
        pcre2_set_depth_limit(context_.get(), 0xFFFFFFFFu);
    }

    // The first capture, or nothing.
    std::u16string Find(const std::u16string& input) {
        const int result = pcre2_match(code_.get(), reinterpret_cast<PCRE2_SPTR>(input.c_str()),
                                       input.size(), 0, 0, data_.get(), context_.get());
        if (result == PCRE2_ERROR_NOMATCH) {
            return {};
        }
        if (result < 2) {
            std::fprintf(stderr, "PCRE2 match error %d\n", result);
            std::abort();
        }
        const PCRE2_SIZE* spans = pcre2_get_ovector_pointer(data_.get());
        return input.substr(spans[2], spans[3] - spans[2]);
    }

  private:
    std::unique_ptr<pcre2_code, PcreCodeDeleter> code_;
    std::unique_ptr<pcre2_match_data, PcreMatchDataDeleter> data_;
    std::unique_ptr<pcre2_match_context, PcreContextDeleter> context_;
};

std::u16string KestoFind(const Lookup& lookup, const std::u16string& page) {
    std::vector<std::u16string> captures;
    kesto::FindCaptures(page, lookup.kestoPattern, captures);
    return captures.empty() ? std::u16string() : captures.front();
}

void Finish(benchmark::State& state, const std::u16string& page, const std::u16string& found,
            const std::u16string& expected) {
    if (found != expected) {
        state.SkipWithError("the result differs from the matcher's");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(page.size() * sizeof(char16_t)));
    state.counters["records"] = static_cast<double>(state.range(0));
}

// Match only, with a program compiled and analysed once, as PCRE2 runs here.
std::u16string KestoMatch(const kesto::PreparedPattern& pattern, const std::u16string& page) {
    kesto::MatchState state;
    if (!kesto::MatchPattern(pattern, page, state) || state.groups.empty() ||
        state.groups[0].start < 0) {
        return {};
    }
    const auto start = static_cast<std::size_t>(state.groups[0].start);
    return page.substr(start, static_cast<std::size_t>(state.groups[0].end) - start);
}

enum class Engine { kKesto, kKestoMatchOnly, kPcreInterpreter, kPcreJit };

void RunLookup(benchmark::State& state, const Lookup* lookup, Placement placement, Engine engine) {
    const std::u16string page = ContentPage(*lookup, placement, static_cast<int>(state.range(0)));
    const std::u16string expected = KestoFind(*lookup, page);
    if ((placement == kAbsent) != expected.empty()) {
        state.SkipWithError("the page is not what the case needs");
        return;
    }
    std::u16string found;
    if (engine == Engine::kKesto) {
        for (auto _ : state) {
            found = KestoFind(*lookup, page);
            benchmark::DoNotOptimize(found);
        }
    } else if (engine == Engine::kKestoMatchOnly) {
        kesto::PatternProgram program;
        kesto::CompilePattern(lookup->kestoPattern, kesto::CaseMode::kInsensitive, program);
        const kesto::PreparedPattern pattern(std::move(program));
        for (auto _ : state) {
            found = KestoMatch(pattern, page);
            benchmark::DoNotOptimize(found);
        }
    } else {
        PcreLookup pcre(lookup->pcrePattern, engine == Engine::kPcreJit);
        for (auto _ : state) {
            found = pcre.Find(page);
            benchmark::DoNotOptimize(found);
        }
    }
    Finish(state, page, found, expected);
}

void RegisterAll() {
    const struct {
        Engine engine;
        const char* name;
    } engines[] = {{Engine::kKesto, "Kesto"},
                   {Engine::kKestoMatchOnly, "KestoMatchOnly"},
                   {Engine::kPcreJit, "Pcre2Jit"},
                   {Engine::kPcreInterpreter, "Pcre2Interpreter"}};
    for (const Lookup& lookup : kLookups) {
        for (const Placement placement : {kNearStart, kNearEnd, kAbsent}) {
            for (const auto& engine : engines) {
                const std::string name =
                    std::string(engine.name) + "/" + lookup.name + "/" + kPlacementNames[placement];
                auto* benchmark = benchmark::RegisterBenchmark(name.c_str(), RunLookup, &lookup,
                                                               placement, engine.engine);
                benchmark->Unit(benchmark::kMicrosecond)->Arg(1000)->Arg(10000);
                if (engine.engine != Engine::kPcreInterpreter || placement != kAbsent) {
                    benchmark->Arg(100000);
                } else {
                    benchmark->Iterations(1);
                }
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
