// SPDX-License-Identifier: GPL-3.0-or-later
// The one entry point of the core tests: doctest's own runner, natively and under Node alike.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>
