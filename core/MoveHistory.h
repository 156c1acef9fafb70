// SPDX-License-Identifier: GPL-3.0-or-later
// The moves made since the last tangle, for taking them back and making them again.
#pragma once

#include "LineMove.h"

#include <optional>
#include <utility>
#include <vector>

namespace quorra {

class MoveHistory
{
public:
    MoveHistory() = default;
    // A history as it was kept: Done oldest first, Undone with the next to redo last.
    MoveHistory(std::vector<LineMove> done, std::vector<LineMove> undone)
        : m_done(std::move(done)), m_undone(std::move(undone))
    {
    }

    // A new move ends what could be made again.
    void record(const LineMove &move);
    void clear();

    bool canUndo() const { return !m_done.empty(); }
    bool canRedo() const { return !m_undone.empty(); }
    const std::vector<LineMove> &done() const { return m_done; }
    const std::vector<LineMove> &undone() const { return m_undone; }
    // The last move made, now offered for redoing; none when there is nothing to undo.
    std::optional<LineMove> takeUndo();
    // The last move undone, now made again; none when there is nothing to redo.
    std::optional<LineMove> takeRedo();

private:
    std::vector<LineMove> m_done;
    std::vector<LineMove> m_undone;
};

} // namespace quorra
