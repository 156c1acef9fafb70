// Google Benchmark's console output, plus the times and counters of every run kept for the summary.
#include "TSummaryReporter.h"

void TSummaryReporter::ReportRuns(const std::vector<Run> &Runs)
{
    ConsoleReporter::ReportRuns(Runs);
    for (const Run &R : Runs) {
        if (R.error_occurred || R.iterations <= 0 || R.run_type != Run::RT_Iteration)
            continue;
        const std::string Name = R.run_name.function_name;
        FSeconds[Name] = R.real_accumulated_time / double(R.iterations);
        for (const auto &[Key, Value] : R.counters)
            FCounters[Name][Key] = Value.value;
    }
}

double TSummaryReporter::Seconds(const std::string &Name) const
{
    const auto Found = FSeconds.find(Name);
    return Found == FSeconds.end() ? -1 : Found->second;
}

double TSummaryReporter::Counter(const std::string &Name, const std::string &Counter) const
{
    const auto Found = FCounters.find(Name);
    if (Found == FCounters.end())
        return -1;
    const auto Value = Found->second.find(Counter);
    return Value == Found->second.end() ? -1 : Value->second;
}
