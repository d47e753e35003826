// SPDX-License-Identifier: MIT
// Speed of the plot scanner alone, on a buffer in memory: the sample plots
// of hp2xx (/usr/share/doc/hp2xx/hp-tests) concatenated and repeated to
// 64 MiB, read in blocks of 256 KiB as the scanned copy reads them.
#include "plot_scanner.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

std::string samples()
{
    std::string plots;
    std::error_code missing;
    for (const auto &entry :
         std::filesystem::directory_iterator("/usr/share/doc/hp2xx/hp-tests", missing)) {
        const std::string name = entry.path().filename().string();
        if (name == "readme" || name.find(".eps") != std::string::npos)
            continue;
        if (std::FILE *pipe = popen(("gzip -dcf '" + entry.path().string() + "'").c_str(), "r")) {
            char block[65536];
            std::size_t n;
            while ((n = std::fread(block, 1, sizeof block, pipe)) > 0)
                plots.append(block, n);
            pclose(pipe);
        }
    }
    return plots;
}

void scan_plots(benchmark::State &state)
{
    static const std::string unit = samples();
    if (unit.empty()) {
        state.SkipWithError("the sample plots of hp2xx are not installed");
        return;
    }
    std::string plot;
    while (plot.size() < (64u << 20))
        plot += unit;
    constexpr std::size_t block = 256 * 1024;
    std::size_t places = 0;
    for (auto _ : state) {
        PlotScanner scanner;
        for (std::size_t at = 0; at < plot.size(); at += block) {
            const std::size_t size = std::min(block, plot.size() - at);
            for (std::size_t done = 0; done < size;) {
                const std::size_t place = scan_plot(scanner, plot.data() + at + done, size - done);
                if (place == kNoHold)
                    break;
                done += place;
                ++places;
            }
        }
        benchmark::DoNotOptimize(scanner.pages);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * plot.size()));
    state.counters["places"] =
        static_cast<double>(places) / static_cast<double>(state.iterations());
}

BENCHMARK(scan_plots)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
