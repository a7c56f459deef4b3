// Loading a login from a cookie file as kesto-decorate does: the cookies go into the request
// layer's store and the identity's cookie text is read from the same content.
//
// Files hold 2,500 to 40,000 lines besides the two login cookies: either cookies of other sites
// (a browser's whole export) or distinct cookies of the marketplace itself. Both must take time
// in proportion to the file's size; the reported complexity says whether they do.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <string>

#include "market/cookie_file_source.h"
#include "market/cookie_store.h"
#include "market/hosts.h"

namespace {

enum class Filler { kOtherSites, kMarketplace };

std::string CookieFile(Filler filler, long lines) {
    std::string file = "# Netscape HTTP Cookie File\n";
    for (long i = 0; i < lines; ++i) {
        const std::string number = std::to_string(i);
        file += filler == Filler::kOtherSites
                    ? ".site" + number + ".example\tTRUE\t/\tFALSE\t0\tid\tv" + number + "\n"
                    : ".kesto.example\tTRUE\t/\tFALSE\t0\tc" + number + "\tv" + number + "\n";
    }
    file += ".kesto.example\tTRUE\t/\tFALSE\t0\tuin\to0012345\n";
    file += "#HttpOnly_.kesto.example\tTRUE\t/\tFALSE\t0\tskey\t@key\n";
    return file;
}

void LoadCookieFile(benchmark::State& state, Filler filler) {
    const std::string file = CookieFile(filler, state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(kesto::StoreCookieFile(file));
        benchmark::DoNotOptimize(
            kesto::CookieTextFromFile(file, kesto::hosts::kCookieDomain, std::time(nullptr)));
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}

void BM_CookieFileOfOtherSites(benchmark::State& state) {
    LoadCookieFile(state, Filler::kOtherSites);
}

void BM_CookieFileOfMarketplaceCookies(benchmark::State& state) {
    LoadCookieFile(state, Filler::kMarketplace);
}

void FileSizes(benchmark::internal::Benchmark* benchmark) {
    for (const long lines : {2500, 5000, 10000, 20000, 40000}) {
        benchmark->Arg(lines);
    }
    benchmark->Unit(benchmark::kMillisecond)->Complexity();
}

BENCHMARK(BM_CookieFileOfOtherSites)->Apply(FileSizes);
BENCHMARK(BM_CookieFileOfMarketplaceCookies)->Apply(FileSizes);

}  // namespace

BENCHMARK_MAIN();
