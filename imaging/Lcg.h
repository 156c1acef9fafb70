// SPDX-License-Identifier: GPL-3.0-or-later
// The program's random generator, which now lives in core: kept so that the layers above include it as before.
#pragma once

#include "core/Lcg.h"
