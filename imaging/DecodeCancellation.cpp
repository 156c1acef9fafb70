// SPDX-License-Identifier: GPL-3.0-or-later
// Lets the thread that started a decode on a worker thread give it up: the readers look at the flag as they go.
#include "DecodeCancellation.h"

namespace quorra {

namespace {

// Per thread, so that a decode the window runs itself never sees a worker's flag.
thread_local const std::atomic_bool *current = nullptr;

} // namespace

DecodeCancellation::DecodeCancellation(Flag flag) : m_flag(std::move(flag)), m_previous(current)
{
    current = m_flag.get();
}

DecodeCancellation::~DecodeCancellation()
{
    current = m_previous;
}

bool DecodeCancellation::requested()
{
    return current && current->load(std::memory_order_relaxed);
}

} // namespace quorra
