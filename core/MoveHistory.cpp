// SPDX-License-Identifier: GPL-3.0-or-later
// The undo and redo lists of a game.
#include "MoveHistory.h"

namespace quorra {

void MoveHistory::record(const LineMove &move)
{
    m_done.push_back(move);
    m_undone.clear();
}

void MoveHistory::clear()
{
    m_done.clear();
    m_undone.clear();
}

std::optional<LineMove> MoveHistory::takeUndo()
{
    if (m_done.empty())
        return std::nullopt;
    const LineMove move = m_done.back();
    m_done.pop_back();
    m_undone.push_back(move);
    return move;
}

std::optional<LineMove> MoveHistory::takeRedo()
{
    if (m_undone.empty())
        return std::nullopt;
    const LineMove move = m_undone.back();
    m_undone.pop_back();
    m_done.push_back(move);
    return move;
}

} // namespace quorra
