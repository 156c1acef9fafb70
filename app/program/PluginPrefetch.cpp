// SPDX-License-Identifier: GPL-3.0-or-later
// Loads plugin libraries ahead of Qt, on a thread that never calls Qt.
#include "PluginPrefetch.h"

#include <dirent.h>
#include <dlfcn.h>

namespace quorra {

namespace {

void loadFolder(const std::string &folder)
{
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= 3 || name.compare(name.size() - 3, 3, ".so") != 0)
            continue;
        std::string path = folder;
        path += '/';
        path += name;
        // Loaded the way Qt loads a plugin (lazy binding, symbols kept local), so that Qt's own load of the same
        // file only counts a reference. The handle stays open: Qt holds the library for the rest of the run.
        dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    }
    closedir(dir);
}

} // namespace

PluginPrefetch::PluginPrefetch(std::vector<std::string> folders)
    : m_thread([folders = std::move(folders)] {
          for (const std::string &folder : folders)
              loadFolder(folder);
      })
{
}

PluginPrefetch::~PluginPrefetch()
{
    m_thread.join();
}

} // namespace quorra
