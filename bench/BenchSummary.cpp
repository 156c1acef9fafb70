// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmark's closing summary: every figure as a ratio to the baseline measured beside it, against its goal.
#include "BenchSummary.h"

#include "SummaryReporter.h"

#include <cstdio>
#include <string>

namespace quorra {

namespace {

void line(const char *figure, double ratio, double goal)
{
    if (ratio < 0)
        std::printf("%s n/a %.2f MISSED\n", figure, goal);
    else
        std::printf("%s %.2f %.2f %s\n", figure, ratio, goal, ratio <= goal ? "met" : "MISSED");
}

double ratio(const SummaryReporter &r, const std::string &measured, const std::string &baseline)
{
    const double m = r.seconds(measured), b = r.seconds(baseline);
    return m < 0 || b <= 0 ? -1 : m / b;
}

} // namespace

void printSummary(const SummaryReporter &r)
{
    std::printf("\nSummary (figure, ratio to its baseline, goal, verdict; idle in percent of one core)\n");
    line("open", ratio(r, "open/quorra", "open/libjpeg"), 0.5);
    line("save", ratio(r, "save/quorra", "save/libjpeg"), 1.15);
    line("resave", ratio(r, "resave/quorra", "resave/libjpeg"), 0.2);
    for (int e = 0; e < 7; ++e)
        line((std::string("rebuild-") + EffectNames[e]).c_str(),
             ratio(r, std::string("rebuild/quorra/") + EffectNames[e], "rebuild/qimage_scaled"), 1.0);
    line("drag-frame", ratio(r, "drag_frame/quorra", "drag_frame/memcpy"), 2.0);
    const double effectGoals[7] = {2, 4, 4, 2, 3, 3, 3};
    for (int e = 0; e < 7; ++e)
        line((std::string("effect-") + EffectNames[e]).c_str(),
             ratio(r, std::string("effect/quorra/") + EffectNames[e], "effect/memcpy"), effectGoals[e]);
    line("start", ratio(r, "start/quorra", "start/empty_window"), 1.5);
    const double peak = r.counter("memory", "peak_MB"), source = r.counter("memory", "source_MB");
    line("memory", peak < 0 || source <= 0 ? -1 : peak / source, 1.8);
    // What the open itself adds to the process: the peak above what the process held before it.
    const double before = r.counter("memory", "before_open_MB");
    line("open-memory", peak < 0 || before < 0 || source <= 0 ? -1 : (peak - before) / source, 0.6);
    line("idle", r.counter("idle", "cpu_percent"), 1.0);
}

} // namespace quorra
