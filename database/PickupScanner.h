// Member IDs, and the handle written after each, found in running text. The scan needs nothing
// but the text, so the thread that receives a text can run it while the UI thread registers
// what was found before.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The IDs found in a stretch of text, in the order they stand, each with its handle (empty
// when none was written). Cleared and filled again, it keeps its memory.
class CFoundIds {
public:
    std::size_t Size() const { return m_ids.size(); }
    bool Empty() const { return m_ids.empty(); }
    // Eight bytes, its letters upper-cased.
    std::string_view Id(std::size_t i) const { return {m_ids[i].id, 8}; }
    std::string_view Handle(std::size_t i) const {
        return std::string_view(m_handles).substr(m_ids[i].handleAt, m_ids[i].handleLength);
    }
    void Add(std::string_view id, std::string_view handle);
    // The same with the handle in UTF-8, kept as CP932.
    void AddUtf8Handle(std::string_view id, std::string_view handle);
    void Clear() {
        m_ids.clear();
        m_handles.clear();
        m_lookedUp = 0;
    }
    // A store may note what it looked up for the IDs ahead of taking them: the record of each,
    // valid while its index stays at `version`.
    void NoteRecord(std::size_t i, int record) { m_ids[i].record = record; }
    void NoteLookedUp(std::uint64_t version) { m_lookedUp = version; }
    bool LookedUpAt(std::uint64_t version) const { return m_lookedUp == version; }
    int Record(std::size_t i) const { return m_ids[i].record; }
    // Clears, and lets go of memory a batch far larger than usual took.
    void Trim();

private:
    struct Found {
        char id[8];
        std::uint32_t handleAt;
        std::uint32_t handleLength;
        int record;
    };
    std::vector<Found> m_ids;
    std::string m_handles;
    std::uint64_t m_lookedUp = 0;  // no index version is 0
};

namespace pickup_scan {

// A rest of text longer than the caller lets wait is scanned as it stands, all but its last
// kHeldBack bytes, which may hold an ID or a handle whose rest has not come yet.
constexpr std::size_t kHeldBack = 256;

// 3 ASCII letters and 5 digits, exactly 8 bytes.
bool IsValidId(std::string_view s);

// Scans the line up to the first ID or character that starts at or after nEnd (an ID found
// before it takes its handle from the whole line); where the scan stopped.
std::size_t ScanLineUpTo(std::string_view line, std::size_t nEnd, CFoundIds& out);

// Scans every complete (CR LF ended) line of the text; how many bytes from its front are done
// with. The text before its last nAdded bytes held no line end when last scanned, so only the
// added bytes (and the CR before them) are searched for the first. A rest longer than
// nMaxWaiting is scanned as ScanLineUpTo allows. Stops after the line that brings the finds to
// nMaxFound, so that a caller can take them in batches.
std::size_t ScanText(std::string_view text, std::size_t nAdded, std::size_t nMaxWaiting,
                     CFoundIds& out, std::size_t nMaxFound = SIZE_MAX);

// ScanText of another program's text as it comes, UTF-8 with LF line ends, put together by
// AppendUtf8Piece: it finds what ScanText finds in the same text made CP932 (Utf8ToCp932CrLf),
// and converts only the handles found. Counts are of the UTF-8 bytes.
std::size_t ScanUtf8Text(std::string_view text, std::size_t nAdded, std::size_t nMaxWaiting,
                         CFoundIds& out, std::size_t nMaxFound = SIZE_MAX);
// Appends a piece of such a text for ScanUtf8Text, its zero bytes dropped as the conversion
// drops them, so that the bytes on either side join; but a character cut short by zero bytes
// stays cut, as the conversion leaves it, by one zero byte kept before the bytes that could
// otherwise complete it. zeroPending carries that from one piece to the next; false at the
// text's start.
void AppendUtf8Piece(std::string& text, std::string_view piece, bool& zeroPending);

}  // namespace pickup_scan
