// The undo and redo lists of a game.
#include "MoveHistory.h"

void MoveHistory::record(const LineMove &move)
{
    m_done.append(move);
    m_undone.clear();
}

void MoveHistory::clear()
{
    m_done.clear();
    m_undone.clear();
}

std::optional<LineMove> MoveHistory::takeUndo()
{
    if (m_done.isEmpty())
        return std::nullopt;
    const LineMove move = m_done.takeLast();
    m_undone.append(move);
    return move;
}

std::optional<LineMove> MoveHistory::takeRedo()
{
    if (m_undone.isEmpty())
        return std::nullopt;
    const LineMove move = m_undone.takeLast();
    m_done.append(move);
    return move;
}
