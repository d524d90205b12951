// The string table: every text the program shows, by id, as UTF-8 source text. The framework
// layer turns an entry into the program's code page when it is loaded.
#pragma once

namespace res {

struct StringEntry {
    unsigned id;
    const char* utf8;
};

// The entry with that id, or nullptr.
const char* FindString(unsigned id);

}  // namespace res
