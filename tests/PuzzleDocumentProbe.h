// SPDX-License-Identifier: GPL-3.0-or-later
// The tests' one look inside a puzzle document: the saved state set directly, as only a set-up reaches it.
#pragma once

#include "PuzzleDocument.h"

namespace quorra {

class PuzzleDocumentProbe
{
public:
    explicit PuzzleDocumentProbe(PuzzleDocument &document) : m_document(document) {}

    void setModified(bool on) { m_document.m_modified = on; }

private:
    PuzzleDocument &m_document;
};

} // namespace quorra
