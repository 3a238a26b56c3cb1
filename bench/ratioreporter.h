#pragma once

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <ostream>
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

    // A time a benchmark must stay within, whatever its peer does.
    struct Limit {
        std::string name;
        double seconds;
    };

    // Coloured on a terminal only, like the library's own console output.
    explicit RatioReporter(std::vector<Ratio> ratios, std::vector<Limit> limits = {})
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None), m_ratios(std::move(ratios)),
          m_limits(std::move(limits)) {}

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
        for (const Limit& l : m_limits) {
            const auto a = m_seconds.find(l.name);
            if (a == m_seconds.end())
                continue;
            char line[200];
            std::snprintf(line, sizeof line, "%s = %.2f ms (goal at most %.1f ms: %s)\n",
                          l.name.c_str(), a->second * 1e3, l.seconds * 1e3,
                          a->second <= l.seconds ? "met" : "missed");
            GetOutputStream() << line;
        }
    }

private:
    std::vector<Ratio> m_ratios;
    std::vector<Limit> m_limits;
    std::map<std::string, double> m_seconds;
};
