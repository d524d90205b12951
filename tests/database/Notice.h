// What a change of the records told: its hint and the record it named.
#pragma once

#include <ostream>

#include "platform/base/WinTypes.h"

struct Notice {
    LPARAM hint;
    int lastChanged;
    bool operator==(const Notice&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Notice& n) {
    return os << "{hint " << n.hint << ", record " << n.lastChanged << "}";
}
