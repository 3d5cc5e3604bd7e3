#pragma once

#include <optional>
#include <span>

// One row of a built-in station table, as compiled-in UTF-8 data. The store
// turns rows into RadioStation values.
struct RadioStationRow {
    const char* id;
    const char* name;
    const char* subtitle;
    const char* city;
    std::optional<double> frequency;
    const char* image;
    const char* streamUrl; // nullptr: found through the tune service by id
};

std::span<const RadioStationRow> radioStationTable_GE();
std::span<const RadioStationRow> radioStationTable_US();
