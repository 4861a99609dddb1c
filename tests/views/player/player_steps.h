#pragma once
// Steps shared by the pane tests on the virtual player.
#include <string>
#include <vector>

#include "lib/lists/dir_entry_list.h"
#include "lib/lists/name_list.h"
#include "lib/device/device_layer.h"
#include "device_test_support.h"
#include "views/player/copy_options.h"

namespace playertest {

// Puts files with the given names (contents: the name repeated to size
// bytes) on a memory, in order, from a PC folder.
inline int PutFiles(const std::string& folder, int memory, const std::vector<std::string>& names,
                    size_t size = 100) {
    HNameList list;
    for (const std::string& name : names) {
        std::string contents;
        while (contents.size() < size)
            contents += name;
        contents.resize(size);
        devtest::WriteFile(folder + "/" + name, contents);
        list.Add((folder + "/" + name).c_str(), -1, 0);
    }
    return DevDownloadFiles(nullptr, memory, list, player::CopyOptions()).code;
}

// The names on a memory in directory order, read from the player.
inline std::vector<std::string> Names(int memory) {
    HDirEntryList list;
    std::vector<std::string> names;
    if (!DevListFiles(memory, list, true)) return names;
    for (const auto& e : list)
        names.push_back(e.name.value_or(""));
    return names;
}

} // namespace playertest
