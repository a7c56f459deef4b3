// Upload throughput on loopback: a 64 MiB file through the chunked protocol and a 20-file batch,
// each next to the curl command-line tool posting the same bytes as one multipart form (-F) to
// the same server in the same run. The server is the tests' capturing server, answering every
// request at once and keeping no bodies.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "market/kesto_uploader.h"
#include "tests/common/capture_server.h"
#include "tests/common/temp_folder.h"

namespace {

using kesto::KestoUploader;
using kesto::testing::CaptureServer;
using kesto::testing::HttpAnswer;
using kesto::testing::TempFolder;

constexpr std::size_t kMiB = 1024 * 1024;
constexpr std::size_t kLargeFileBytes = 64 * kMiB;
constexpr int kBatchFiles = 20;
constexpr std::size_t kBatchFileBytes = 512 * 1024;

void CountBytes(benchmark::State& state, std::size_t bytesPerIteration) {
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytesPerIteration));
}

// Writes a file of the given size piece by piece, so the benchmark never holds it whole.
std::string WriteFile(const TempFolder& folder, const std::string& name, std::size_t size) {
    const auto path = folder.path() / name;
    std::ofstream out(path, std::ios::binary);
    std::string piece(kMiB, '\0');
    for (std::size_t i = 0; i < piece.size(); ++i) {
        piece[i] = static_cast<char>((i * 131 + size) & 0xFF);
    }
    for (std::size_t left = size; left > 0;) {
        const std::size_t count = std::min(left, piece.size());
        out.write(piece.data(), static_cast<std::streamsize>(count));
        left -= count;
    }
    return kesto::PathToUtf8(path);
}

double PeakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct Fixture {
    TempFolder folder;
    CaptureServer server{{HttpAnswer(200, "{\"errcode\":0,\"msg\":\"\"}")}, false};
    std::string largeFile = WriteFile(folder, "large.jpg", kLargeFileBytes);
    std::vector<std::string> batchFiles = [this] {
        std::vector<std::string> paths;
        for (int i = 0; i < kBatchFiles; ++i) {
            std::string name = "p";
            name.append(std::to_string(i)).append(".jpg");
            paths.push_back(WriteFile(folder, name, kBatchFileBytes));
        }
        return paths;
    }();
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void RunCurl(benchmark::State& state, const std::string& forms) {
    std::string command = "curl -s -o /dev/null -H 'Expect:' ";
    command.append(forms).append(" '");
    command.append(Shared().server.Url("/album/UploadPicActivex")).append("'");
    if (std::system(command.c_str()) != 0) {
        state.SkipWithError("curl failed");
    }
}

void BM_ChunkedUpload64MiB(benchmark::State& state) {
    Fixture& fixture = Shared();
    const std::string url = fixture.server.Url("/cgi-bin/modularmanage/picbanneredit");
    const double residentBefore = PeakResidentMiB();
    for (auto _ : state) {
        KestoUploader uploader(KestoUploader::kErrcodeRule);
        uploader.SetField("shopid", "12");
        uploader.AddFile(nullptr, fixture.largeFile);
        if (uploader.Upload(url.c_str()) != 1) {
            state.SkipWithError("upload failed");
        }
    }
    CountBytes(state, kLargeFileBytes);
    state.counters["peak_rss_growth_MiB"] = PeakResidentMiB() - residentBefore;
}

void BM_CurlForm64MiB(benchmark::State& state) {
    for (auto _ : state) {
        RunCurl(state, std::string("-F shopid=12 -F 'file=@").append(Shared().largeFile) + "'");
    }
    CountBytes(state, kLargeFileBytes);
}

void BM_BatchUpload20Files(benchmark::State& state) {
    Fixture& fixture = Shared();
    const std::string url = fixture.server.Url("/album/UploadPicActivex");
    for (auto _ : state) {
        KestoUploader uploader(KestoUploader::kErrcodeRule);
        uploader.SetField("shopid", "12");
        for (const std::string& path : fixture.batchFiles) {
            uploader.AddFile(nullptr, path);
        }
        uploader.batchMode = true;
        if (uploader.Upload(url.c_str()) != 1) {
            state.SkipWithError("upload failed");
        }
    }
    CountBytes(state, std::size_t{kBatchFiles} * kBatchFileBytes);
}

void BM_CurlFormBatch20Files(benchmark::State& state) {
    std::string forms = "-F shopid=12";
    for (int i = 0; i < kBatchFiles; ++i) {
        forms.append(" -F '__file").append(std::to_string(i)).append("=@");
        forms.append(Shared().batchFiles[static_cast<std::size_t>(i)]).append("'");
    }
    for (auto _ : state) {
        RunCurl(state, forms);
    }
    CountBytes(state, std::size_t{kBatchFiles} * kBatchFileBytes);
}

// The chunked upload runs first, so its peak memory is not hidden by the others'.
BENCHMARK(BM_ChunkedUpload64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CurlForm64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BatchUpload20Files)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CurlFormBatch20Files)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
