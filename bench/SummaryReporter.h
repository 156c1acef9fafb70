// SPDX-License-Identifier: GPL-3.0-or-later
// Google Benchmark's console output, plus the times and counters of every run kept for the summary.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace quorra {

class SummaryReporter : public benchmark::ConsoleReporter
{
public:
    // Plain text, so that the output reads the same in a log as on a terminal.
    SummaryReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override;

    // Real seconds per iteration of the named benchmark, or a negative number when it did not run.
    double seconds(const std::string &name) const;
    // A user counter of the named benchmark, or a negative number.
    double counter(const std::string &name, const std::string &counter) const;

private:
    std::map<std::string, double> m_seconds;
    std::map<std::string, std::map<std::string, double>> m_counters;
};

} // namespace quorra
