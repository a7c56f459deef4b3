// Filling a main page text that names every uploaded picture once, by the number of pictures:
// the time per picture should stay flat as the template grows.

#include <benchmark/benchmark.h>

#include <string>

#include "job/main_page_text.h"

namespace {

void FillPageText(benchmark::State& state) {
    const auto count = static_cast<int>(state.range(0));
    kesto::UploadedPictures pictures;
    std::string text;
    for (int i = 0; i < count; ++i) {
        const std::string name = "picture" + std::to_string(i) + ".jpg";
        pictures[name] = "http://album.kesto.example/photo/10001/" + std::to_string(i) + ".jpg";
        text += "<p><img src=\"" + name + "\"> 第" + std::to_string(i) + "张</p>\n";
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(kesto::FillMainPageText(text, pictures, "10001"));
    }
    state.SetComplexityN(count);
}
BENCHMARK(FillPageText)->RangeMultiplier(10)->Range(10, 10000)->Complexity();

}  // namespace

BENCHMARK_MAIN();
