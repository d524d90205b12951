// The .lst file: one record per line, 11 tab-separated fields, CR LF line ends, bytes of CP932
// read and written as they are.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <functional>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "database/RecordStore.h"
#include "database/RecordText.h"
#include "platform/base/CFile.h"
#include "platform/base/HugePages.h"

CString CRecordStore::FormatDate(CTime time) {
    return CString(record_text::FormatDate(time));
}

CTime CRecordStore::ParseDate(const CString& text) {
    int year = 0, month = 0, day = 0;
    if (!record_text::ParseDateFields(text.View(), year, month, day))
        return CTime::GetCurrentTime();
    return CTime(year, month, day, 0, 0, 0, -1);
}

CString CRecordStore::SplitField(CString& rLine) {
    std::string_view rest = rLine.View();
    CString field(record_text::CutField(rest));
    rLine = CString(rest);
    return field;
}

namespace {

// The dates of one load: each day is converted once, to a date number of the store, and its
// text as the save writes it is kept to tell whether a line needs rewriting.
class LoadDates {
public:
    // A big file's dates go in a table by day; a small one's in a map, so that loading a few
    // records does not clear a table for a quarter millennium.
    LoadDates(const std::function<std::uint32_t(CTime)>& number, bool big) : m_number(number) {
        if (big) {
            m_table.resize(static_cast<std::size_t>(kTableYears) * 16 * 32);
            m_strict.resize(m_table.size());
        }
    }
    struct Date {
        std::uint32_t number;
        bool canonical;  // the text is the one the save writes for this date
    };
    Date Parse(std::string_view text) {
        int year = 0, month = 0, day = 0;
        bool strict = false;
        if (!Fields(text, year, month, day, strict)) {
            // Not a date: the file's reader takes it for now.
            return {m_number(CTime::GetCurrentTime()), false};
        }
        std::uint32_t* slot = nullptr;
        std::uint32_t* strictSlot = nullptr;
        // Years of four digits from 1900 on go in a table; any other in the map.
        if (!m_table.empty() && year >= 1900 && year < 1900 + kTableYears) {
            const auto at = static_cast<std::size_t>(((year - 1900) * 16 + month) * 32 + day);
            // Most lines: the answer for the strict form straight from the table.
            if (strict && m_strict[at] != 0) return {m_strict[at] >> 2, (m_strict[at] & 1) != 0};
            slot = &m_table[at];
            if (strict) strictSlot = &m_strict[at];
        } else {
            slot = &m_others[(static_cast<std::int64_t>(year) * 16 + month) * 32 + day];
        }
        if (*slot == 0) {
            const CTime t(year, month, day, 0, 0, 0, -1);
            std::string written = record_text::FormatDate(t);
            char strictText[16];
            std::snprintf(strictText, sizeof strictText, "%04d/%02d/%02d", year, month, day);
            const bool strictWritten = written == strictText;
            m_days.push_back({m_number(t), std::move(written), strictWritten});
            *slot = static_cast<std::uint32_t>(m_days.size());
        }
        const Day& d = m_days[*slot - 1];
        if (strictSlot && d.number < (1u << 30))
            *strictSlot = d.number << 2 | 2u | (d.strictWritten ? 1u : 0u);
        // A text in the strict form is that form of its own fields: no need to compare it.
        return {d.number, strict ? d.strictWritten : d.text == text};
    }

private:
    // "YYYY/MM/DD", as nearly every line has it, without the general parse.
    static bool Fields(std::string_view t, int& year, int& month, int& day, bool& strict) {
        auto digit = [&t](std::size_t i) { return static_cast<unsigned>(t[i] - '0'); };
        if (t.size() == 10 && t[4] == '/' && t[7] == '/') {
            unsigned all = 0;
            for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) all |= digit(i) > 9 ? 16u : 0u;
            if (all == 0) {
                year =
                    static_cast<int>(digit(0) * 1000 + digit(1) * 100 + digit(2) * 10 + digit(3));
                month = static_cast<int>(digit(5) * 10 + digit(6));
                day = static_cast<int>(digit(8) * 10 + digit(9));
                strict = true;
                return month >= 1 && month <= 12 && day >= 1 && day <= 31;
            }
        }
        return record_text::ParseDateFields(t, year, month, day);
    }

    static constexpr int kTableYears = 256;
    struct Day {
        std::uint32_t number;
        std::string text;    // as the save writes it
        bool strictWritten;  // the save writes it as "YYYY/MM/DD" of the fields read
    };
    const std::function<std::uint32_t(CTime)>& m_number;
    std::vector<std::uint32_t> m_table;   // 1 + the day's place in m_days
    std::vector<std::uint32_t> m_strict;  // by the same place: number << 2 | 2 | strictWritten
    std::unordered_map<std::int64_t, std::uint32_t> m_others;
    std::vector<Day> m_days;
};

// Whether a count's text is the one the save writes for the number read from it.
bool IsCanonicalCount(std::string_view text, int value) {
    char buf[16];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() && text == std::string_view(buf, static_cast<std::size_t>(end - buf));
}

// One pass over a line: where its first 10 tabs are, how many it has, where it ends (the first
// LF or CR; CR LF is one line end) and where the next line starts. Eight bytes at a time: a
// million lines of fifty bytes are most of a load.
struct LineScan {
    static constexpr int kTabs = 10;
    std::size_t tab[kTabs];
    int tabs = 0;
    std::size_t end = 0;
    std::size_t next = 0;

    void Tab(std::size_t at) {
        if (tabs < kTabs) tab[tabs] = at;
        ++tabs;
    }
};

// Bytes of w equal to c: 0x80 in each such byte, exactly.
inline std::uint64_t BytesEqual(std::uint64_t w, unsigned char c) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t x = w ^ (0x0101010101010101ull * c);
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

void ScanLine(std::string_view bytes, std::size_t pos, LineScan& scan) {
    scan.tabs = 0;
    std::size_t i = pos;
    const std::size_t n = bytes.size();
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= n; i += 8) {
            std::uint64_t w;
            std::memcpy(&w, bytes.data() + i, 8);
            const std::uint64_t ends = BytesEqual(w, '\n') | BytesEqual(w, '\r');
            std::uint64_t tabs = BytesEqual(w, '\t');
            if (ends) tabs &= (ends & (~ends + 1)) - 1;  // the tabs before the first end
            for (; tabs; tabs &= tabs - 1)
                scan.Tab(i + static_cast<std::size_t>(std::countr_zero(tabs) / 8));
            if (ends) {
                i += static_cast<std::size_t>(std::countr_zero(ends) / 8);
                break;
            }
        }
    }
    for (; i < n && bytes[i] != '\n' && bytes[i] != '\r'; ++i)
        if (bytes[i] == '\t') scan.Tab(i);
    scan.end = i;
    scan.next = i < n ? i + 1 : n;
    if (i < n && bytes[i] == '\r' && scan.next < n && bytes[scan.next] == '\n') ++scan.next;
}

}  // namespace

// What one part of a file holds, parsed on its own: records numbered from 0 within the part,
// date numbers into the part's own times, text IDs into its own list.
struct CRecordStore::ParsedPart {
    std::vector<Record> records;
    std::vector<CIdKeys::Key> keys;       // packed, or kText | a place in texts
    std::vector<std::string_view> texts;  // views into the store's bytes
    std::vector<std::int64_t> times;
    std::vector<CString> comments;  // those above the part's first record
    std::unordered_map<int, ApartTexts> apart;
};

void CRecordStore::ParsePart(std::string_view bytes, std::size_t from, ParsedPart& part,
                             std::atomic<std::uint64_t>& done) {
    std::unordered_map<std::int64_t, std::uint32_t> timeNumbers;
    const std::function<std::uint32_t(CTime)> dateNumber = [&](CTime t) {
        const auto [it, added] =
            timeNumbers.try_emplace(t.GetTime(), static_cast<std::uint32_t>(part.times.size()));
        if (added) part.times.push_back(t.GetTime());
        return it->second;
    };
    LoadDates dates(dateNumber, bytes.size() - from > (std::size_t(1) << 20));
    std::size_t next = from;
    std::size_t reported = from;
    LineScan scan;
    while (next < bytes.size()) {
        const std::size_t start = next;
        ScanLine(bytes, start, scan);
        next = scan.next;
        const std::size_t end = scan.end;
        if (end == start) continue;
        if (bytes[start] == '*') {
            // The comments above the first record say what the file is; they stay at its top.
            if (part.records.empty()) part.comments.emplace_back(bytes.substr(start, end - start));
            continue;
        }
        const std::string_view line = bytes.substr(start, end - start);
        Record rec;
        // The fields as the file's reader cuts them: a field past the last tab is empty.
        std::string_view fields[11];
        const int cuts = std::min(scan.tabs, LineScan::kTabs);
        std::size_t at = start;
        for (int k = 0; k < cuts; ++k) {
            fields[k] = bytes.substr(at, scan.tab[k] - at);
            at = scan.tab[k] + 1;
        }
        if (cuts < LineScan::kTabs) {
            fields[cuts] = bytes.substr(at, end - at);
        } else {
            // The last field ends at the next tab, if the line has more.
            const std::string_view rest = bytes.substr(at, end - at);
            fields[LineScan::kTabs] = rest.substr(0, rest.find('\t'));
        }
        CIdKeys::Key key = 0;
        if (!CIdKeys::Pack(fields[0], key)) {
            key = CIdKeys::kText | part.texts.size();
            part.texts.push_back(fields[0]);
        }
        part.keys.push_back(key);
        rec.count = record_text::Atoi(fields[8]);
        const LoadDates::Date regist = dates.Parse(fields[9]);
        const LoadDates::Date update = dates.Parse(fields[10]);
        rec.date[record_field::Regist] = regist.number;
        rec.date[record_field::Update] = update.number;
        rec.date[record_field::PrevUpdate] = rec.date[record_field::Update];
        rec.canonical = scan.tabs == 10 && IsCanonicalCount(fields[8], rec.count) &&
                        regist.canonical && update.canonical;
        if (line.size() <= kMaxLineLength && start <= kMaxLineStart) {
            rec.startLow = static_cast<std::uint32_t>(start);
            rec.startHigh = static_cast<std::uint32_t>(start >> 32);
            rec.length = static_cast<std::uint32_t>(line.size());
        } else {
            // Out of reach of a record's place: its texts are kept apart.
            ApartTexts& texts = part.apart[static_cast<int>(part.records.size())];
            for (int f = 0; f < record_field::kTextFields; ++f)
                texts.text[f] = CString(fields[f + 1]);
            rec.apart = 1;
            rec.canonical = 0;
        }
        part.records.push_back(rec);
        if (next - reported >= (std::size_t(1) << 20)) {
            done.fetch_add(next - reported, std::memory_order_relaxed);
            reported = next;
        }
    }
    done.fetch_add(next - reported, std::memory_order_relaxed);
}

void CRecordStore::AppendPart(ParsedPart& part) {
    // The comments above the part's first record are the file's top when no record came before.
    if (GetRecordCount() == 0)
        for (CString& comment : part.comments) m_astrLeadingComment.Add(std::move(comment));
    std::vector<std::uint32_t> numbers(part.times.size());
    for (std::size_t i = 0; i < numbers.size(); ++i) numbers[i] = DateNumber(CTime(part.times[i]));
    const int first = GetRecordCount();
    for (const auto& [r, texts] : part.apart) m_apart.emplace(first + r, texts);
    for (std::size_t i = 0; i < part.records.size(); ++i) {
        Record rec = part.records[i];
        for (std::uint32_t& d : rec.date) d = numbers[d];
        m_records.push_back(rec);
        const CIdKeys::Key key = part.keys[i];
        if (key & CIdKeys::kText)
            m_keys.Add(part.texts[static_cast<std::size_t>(key & ~CIdKeys::kText)]);
        else
            m_keys.AddKey(key);
    }
    part = ParsedPart();
}

void CRecordStore::LoadRecords(CArchive& ar) {
    const std::int64_t length = ar.GetFile() ? ar.GetFile()->GetLength() : -1;
    const std::uint64_t size = length > 0 ? static_cast<std::uint64_t>(length) : 0;
    m_loadDone.store(0, std::memory_order_relaxed);
    m_loadTotal.store(2 * size, std::memory_order_relaxed);
    const std::size_t base = m_bytes.size();
    ar.ReadRest(m_bytes, [this, size](std::size_t n) {
        // A file that grows while it is read is not reported beyond its size.
        m_loadDone.store(size > 0 ? std::min<std::uint64_t>(n, size) : 0,
                         std::memory_order_relaxed);
    });
    const std::string_view bytes(m_bytes);
    const std::uint64_t read = bytes.size() - base;
    // The bytes read are the whole from here on, whatever size the file said it had.
    m_loadDone.store(std::min<std::uint64_t>(read, size), std::memory_order_relaxed);
    m_loadTotal.store(2 * read, std::memory_order_relaxed);
    m_loadDone.store(read, std::memory_order_relaxed);

    // A big file is parsed in two halves at once, cut after a line end; the second half's
    // records, dates and text IDs are renumbered as they join the first's.
    std::size_t cut = bytes.size();
    if (read >= kTwoPartLoad) {
        cut = base + read / 2;
        while (cut < bytes.size() && bytes[cut - 1] != '\n' && bytes[cut - 1] != '\r') ++cut;
        // A CR LF is one line end: the cut goes after its LF.
        if (cut < bytes.size() && bytes[cut - 1] == '\r' && bytes[cut] == '\n') ++cut;
    }
    // Every line end counted first: the records are placed once, never moved as they grow.
    auto linesIn = [&bytes](std::size_t from, std::size_t to) {
        std::size_t lines = 1;
        for (const char* p = bytes.data() + from;;) {
            const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(bytes.data() + to - p));
            if (!lf) break;
            ++lines;
            p = static_cast<const char*>(lf) + 1;
        }
        if (lines == 1)
            lines += static_cast<std::size_t>(
                std::count(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                           bytes.begin() + static_cast<std::ptrdiff_t>(to), '\r'));
        return lines;
    };
    ParsedPart parts[2];
    const std::size_t lines[2] = {linesIn(base, cut), linesIn(cut, bytes.size())};
    for (int i = 0; i < 2; ++i) {
        parts[i].records.reserve(lines[i]);
        parts[i].keys.reserve(lines[i]);
        huge_pages::AdviseCapacity(parts[i].records);
        huge_pages::AdviseCapacity(parts[i].keys);
    }
    m_records.reserve(m_records.size() + lines[0] + lines[1]);
    huge_pages::AdviseCapacity(m_records);
    m_keys.Reserve(m_records.size() + lines[0] + lines[1]);

    std::thread second;
    if (cut < bytes.size()) {
        try {
            second = std::thread([&] { ParsePart(bytes, cut, parts[1], m_loadDone); });
        } catch (const std::system_error&) {
            cut = bytes.size();  // no thread to be had: one part after all
        }
    }
    ParsePart(bytes.substr(0, cut), base, parts[0], m_loadDone);
    if (second.joinable()) second.join();
    AppendPart(parts[0]);
    AppendPart(parts[1]);
    m_loadDone.store(2 * read, std::memory_order_relaxed);
    // The same order as inserting each record at its upper bound, in file order.
    m_anSortIndex.Build(GetRecordCount());
}

CRecordStore::LoadProgress CRecordStore::GetLoadProgress() const {
    return {m_loadDone.load(std::memory_order_relaxed),
            m_loadTotal.load(std::memory_order_relaxed)};
}

void CRecordStore::StoreRecords(CArchive& ar) {
    using record_text::AppendField;
    record_text::DateWriter dates;
    std::string line;
    // Readers skip them, this one as any other.
    for (int i = 0; i < m_astrLeadingComment.GetSize(); ++i) {
        line.assign(m_astrLeadingComment[i].View());
        line += "\r\n";
        ar.WriteString(std::string_view(line));
    }
    const std::string_view bytes(m_bytes);
    // Unchanged lines that follow each other in the file, each with its CR LF, go out as one run
    // of the loaded bytes; any other record is written field by field.
    std::size_t runStart = 0, runEnd = 0;
    auto flushRun = [&] {
        if (runEnd > runStart) ar.WriteString(bytes.substr(runStart, runEnd - runStart));
        runStart = runEnd = 0;
    };
    const int n = GetRecordCount();
    for (int r = 0; r < n; ++r) {
        const Record& rec = Rec(r);
        if (rec.deleted) continue;
        if (rec.canonical && !rec.apart) {
            const std::string_view text = Line(rec);
            const std::size_t start = static_cast<std::size_t>(text.data() - bytes.data());
            const std::size_t end = start + text.size();
            if (end + 2 <= bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') {
                if (runEnd != start) {
                    flushRun();
                    runStart = start;
                }
                runEnd = end + 2;
                continue;
            }
            flushRun();
            line.assign(text);
            line += "\r\n";
            ar.WriteString(std::string_view(line));
            continue;
        }
        flushRun();
        line.clear();
        AppendField(line, m_keys.IdOf(r).View());
        for (int f = 0; f < record_field::kTextFields; ++f) {
            line += '\t';
            AppendField(line, TextView(r, f));
        }
        line += '\t';
        line += std::to_string(rec.count);
        line += '\t';
        line += dates.Format(DateOf(r, record_field::Regist));
        line += '\t';
        line += dates.Format(DateOf(r, record_field::Update));
        line += "\r\n";
        ar.WriteString(std::string_view(line));
    }
    flushRun();
}

CString CRecordStore::BackupPathOf(const CString& path) {
    // Byte by byte: a path is the file system's UTF-8, where a code-page-aware search could
    // take a slash or a dot for the second byte of a character.
    const std::string_view bytes = path.View();
    const std::size_t slash = bytes.rfind('/');
    const std::size_t dot = bytes.rfind('.');
    const bool hasExtension =
        dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
    return CString(bytes.substr(0, hasExtension ? dot : bytes.size())) + ".bak";
}

void CRecordStore::RecordsSaved() {
    for (Record& rec : m_records) {
        if (!rec.deleted) rec.date[record_field::PrevUpdate] = rec.date[record_field::Update];
    }
    Changed(HINT_SAVED, -1);
}
