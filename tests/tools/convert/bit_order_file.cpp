#include "bit_order_file.h"

#include <fstream>
#include <sstream>

namespace testfiles {

std::map<std::string, std::vector<std::uint8_t>> ReadBitOrderFile(const std::string& path) {
    std::map<std::string, std::vector<std::uint8_t>> tables;
    std::ifstream in(path);
    std::string line, current;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        if (line.rfind("MR", 0) == 0) {
            words >> current;
            tables[current];
            continue;
        }
        for (int n; words >> n;)
            tables[current].push_back(static_cast<std::uint8_t>(n));
    }
    return tables;
}

} // namespace testfiles
