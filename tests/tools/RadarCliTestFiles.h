#pragma once
// What the radarcli tests read back from the files a run left.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

// The files in folder whose names end with suffix, sorted.
inline std::vector<std::string> FilesEndingWith(const std::filesystem::path& folder, const std::string& suffix)
{
    std::vector<std::string> found;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        const std::string name = entry.path().string();
        if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            found.push_back(name);
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The report frames (state, distance) of a raw recording, in order.
inline std::vector<std::pair<int, int>> FramesIn(const std::string& bytes)
{
    std::vector<std::pair<int, int>> frames;
    for (std::size_t p = 0; p + 7 <= bytes.size();) {
        const auto at = [&](std::size_t i) { return int(std::uint8_t(bytes[p + i])); };
        if (at(0) == 0xAA && at(1) == 0xAA && at(5) == 0x55 && at(6) == 0x55) {
            frames.emplace_back(at(2), at(3) | (at(4) << 8));
            p += 7;
        } else {
            ++p;
        }
    }
    return frames;
}

// The (state, distance) of each CSV row after the header, and its label column.
struct CsvRow {
    std::pair<int, int> report;
    std::string label;
};

inline std::vector<CsvRow> CsvRows(const std::string& text)
{
    std::vector<CsvRow> rows;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);  // header
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        std::vector<std::string> cells;
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, ',');)
            cells.push_back(cell);
        if (line.back() == ',')
            cells.emplace_back();
        if (cells.size() == 6)
            rows.push_back({{std::stoi(cells[2]), std::stoi(cells[4])}, cells[5]});
    }
    return rows;
}
