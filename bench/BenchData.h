// Made-up but lifelike input for the benchmarks: .lst record files, forum text with member IDs
// in it, and a private place for settings and data files so a run never touches the user's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// A temporary folder holding the settings (XDG_CONFIG_HOME points into it) and any data files,
// removed with everything in it when the object goes. Also fixes the time zone to Japan's so that
// date conversions cost the same on every machine. Create it before the application object.
class Workspace {
public:
    Workspace();
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    std::string File(const std::string& name) const { return m_data + "/" + name; }

private:
    std::string m_base;
    std::string m_data;
};

// `n` different IDs (3 upper-case letters, 5 digits) in random order.
std::vector<std::string> DistinctIds(std::size_t n, std::uint64_t seed);

// A .lst file of `n` records: random IDs with about 1% repeated, handles in ASCII or CP932,
// memos mostly empty, update counts, dates over thirty years, CR LF line ends.
std::string MakeLst(std::size_t n, std::uint64_t seed);
// The same kind of records, one for each of the given IDs in that order. Every date lies in the
// past, so picking one of these IDs up today counts as an update.
std::string MakeLstFor(const std::vector<std::string>& ids, std::uint64_t seed);

// About `bytes` of CP932 chat and forum lines with CR LF ends, with an ID and usually a handle
// about every `bytesPerId` bytes; a fifth of the IDs are ones that appeared before.
std::string MakeForumText(std::size_t bytes, std::size_t bytesPerId, std::uint64_t seed);
// One line for each ID in the given order, the ID followed by a handle in one of the ways
// people write them.
std::string MakeIdHandleText(const std::vector<std::string>& ids, std::uint64_t seed);

void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace bench
