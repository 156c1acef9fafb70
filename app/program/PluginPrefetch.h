// SPDX-License-Identifier: GPL-3.0-or-later
// Loads Qt's image-format and icon-engine plugins on a thread of its own while the program starts up.
//
// Qt loads every one of these plugins (and the libraries they need) before the window is first painted: the menu
// bar asks its style for an icon, and Qt's image reader tries each plugin on it. Mapping and relocating them
// takes several milliseconds of the dynamic loader's time, which the prefetch moves off the main thread into the
// time the main thread spends waiting for the window system; Qt's own loading then finds them in place.
#pragma once

#include <string>
#include <thread>
#include <vector>

namespace quorra {

class PluginPrefetch
{
public:
    // Folders of plugin libraries. The thread uses the system's calls only and never Qt's: the first thread that
    // calls Qt becomes its main thread.
    explicit PluginPrefetch(std::vector<std::string> folders);
    ~PluginPrefetch();
    PluginPrefetch(const PluginPrefetch &) = delete;
    PluginPrefetch &operator=(const PluginPrefetch &) = delete;

private:
    std::thread m_thread;
};

} // namespace quorra
