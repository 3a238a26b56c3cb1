#pragma once

#include <benchmark/benchmark.h>
#include <cstdio>
#include <ostream>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

// The console table, then the time of each measured benchmark as a multiple of its peer's, with
// the goal it is held to.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Ratio {
        std::string ours;
        std::string peer;
        double goal;
    };

    // Coloured on a terminal only, like the library's own console output.
    explicit RatioReporter(std::vector<Ratio> ratios)
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None), m_ratios(std::move(ratios)) {
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0)
                continue;
            // With repetitions the median stands for the family, otherwise the single run.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Iteration || median)
                m_seconds[run.run_name.function_name] =
                    run.real_accumulated_time / double(run.iterations);
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const Ratio& r : m_ratios) {
            const auto a = m_seconds.find(r.ours);
            const auto b = m_seconds.find(r.peer);
            if (a == m_seconds.end() || b == m_seconds.end())
                continue;
            const double ratio = a->second / b->second;
            char line[200];
            std::snprintf(line, sizeof line, "%s / %s = %.2f (goal %.1fx: %s)\n", r.ours.c_str(),
                          r.peer.c_str(), ratio, r.goal, ratio <= r.goal ? "met" : "missed");
            GetOutputStream() << line;
        }
    }

private:
    std::vector<Ratio> m_ratios;
    std::map<std::string, double> m_seconds;
};
