// SPDX-License-Identifier: GPL-3.0-or-later
// The tests' one way into the about box: its lines and its OK button, to read them and act as a person would.
#pragma once

#include "AboutDialog.h"
#include "DesktopOpener.h"

#include <QLabel>
#include <QPushButton>

namespace quorra {

class AboutDialogProbe
{
public:
    explicit AboutDialogProbe(AboutDialog &dialog) : m_dialog(dialog) {}

    QLabel *programName() const { return m_dialog.m_programName; }
    QLabel *version() const { return m_dialog.m_version; }
    QLabel *copyright() const { return m_dialog.m_copyright; }
    QLabel *webAddress() const { return m_dialog.m_webAddress; }
    QPushButton *okButton() const { return m_dialog.m_okButton; }
    DesktopOpener *opener() const { return m_dialog.m_opener; }

private:
    AboutDialog &m_dialog;
};

} // namespace quorra
