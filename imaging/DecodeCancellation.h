// SPDX-License-Identifier: GPL-3.0-or-later
// Lets the thread that started a decode on a worker thread give it up: the readers look at the flag as they go.
#pragma once

#include <atomic>
#include <memory>

namespace quorra {

class DecodeCancellation
{
public:
    using Flag = std::shared_ptr<const std::atomic_bool>;

    // Decodes on this thread give up once Flag is set, until this object goes.
    explicit DecodeCancellation(Flag flag);
    ~DecodeCancellation();
    DecodeCancellation(const DecodeCancellation &) = delete;
    DecodeCancellation &operator=(const DecodeCancellation &) = delete;

    // Whether the decode running on this thread has been given up.
    static bool requested();

private:
    Flag m_flag;
    const std::atomic_bool *m_previous;
};

} // namespace quorra
