// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmark's closing summary: every figure as a ratio to the baseline measured beside it, against its goal.
#pragma once

namespace quorra {

class SummaryReporter;

// The effects in their stored order, as the figures name them.
inline const char *const EffectNames[7] = {"Obscure", "Dark",      "Transparent",  "Negative",
                                           "Hidden",  "TopSecret", "LowResolution"};

// One line a figure: its name, its ratio, its goal and whether the goal was met.
void printSummary(const SummaryReporter &r);

} // namespace quorra
