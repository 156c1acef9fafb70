// The moves made since the last tangle, for taking them back and making them again.
#pragma once

#include "LineMove.h"

#include <optional>
#include <vector>

class MoveHistory
{
public:
    // A new move ends what could be made again.
    void record(const LineMove &move);
    void clear();

    bool canUndo() const { return !m_done.empty(); }
    bool canRedo() const { return !m_undone.empty(); }
    // The last move made, now offered for redoing; none when there is nothing to undo.
    std::optional<LineMove> takeUndo();
    // The last move undone, now made again; none when there is nothing to redo.
    std::optional<LineMove> takeRedo();

private:
    std::vector<LineMove> m_done;
    std::vector<LineMove> m_undone;
};
