// SPDX-License-Identifier: GPL-3.0-or-later
// Google Benchmark's console output, plus the times and counters of every run kept for the summary.
#include "SummaryReporter.h"

namespace quorra {

void SummaryReporter::ReportRuns(const std::vector<Run> &runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run &r : runs) {
        if (r.error_occurred || r.iterations <= 0 || r.run_type != Run::RT_Iteration)
            continue;
        const std::string name = r.run_name.function_name;
        m_seconds[name] = r.real_accumulated_time / double(r.iterations);
        for (const auto &[Key, Value] : r.counters)
            m_counters[name][Key] = Value.value;
    }
}

double SummaryReporter::seconds(const std::string &name) const
{
    const auto found = m_seconds.find(name);
    return found == m_seconds.end() ? -1 : found->second;
}

double SummaryReporter::counter(const std::string &name, const std::string &counter) const
{
    const auto found = m_counters.find(name);
    if (found == m_counters.end())
        return -1;
    const auto value = found->second.find(counter);
    return value == found->second.end() ? -1 : value->second;
}

} // namespace quorra
