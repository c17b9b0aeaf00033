#include "sim/SimRegisterMap.h"

#include <exception>
#include <fstream>
#include <sstream>
#include <vector>

namespace kvb::sim {

namespace {

void take(SimRegisterMap& map, int& type, const std::vector<std::string>& fields)
{
    if (fields[0] == "BEGIN53960")
        type = 0;
    else if (fields[0] == "BEGIN53961")
        type = 1;
    else if (fields[0] == "TINT25" && fields.size() > 1 && fields[1].rfind("&H", 0) == 0)
        map.tint25 = std::stoi(fields[1].substr(2), nullptr, 16);
    else if (fields[0] == "REG" && type >= 0 && fields.size() > 3) {
        const int reg = std::stoi(fields[1]);
        if (reg >= 0 && reg < SimRegisterMap::kRegisters)
            map.kinds[type][reg] = static_cast<int8_t>(std::stoi(fields[3]));
    }
}

}  // namespace

SimRegisterMap SimRegisterMap::Load(const std::string& path)
{
    SimRegisterMap map;
    std::ifstream in(path);
    int type = -1;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ',');)
            fields.push_back(field);
        if (fields.empty())
            continue;
        try {
            take(map, type, fields);
        } catch (const std::exception&) {
            // A line whose numbers do not read names no register.
        }
    }
    return map;
}

}  // namespace kvb::sim
