// The .lst file: one record per line, 11 tab-separated fields, CR LF line ends, bytes of CP932
// read and written as they are.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "database/RecordStore.h"
#include "database/RecordText.h"
#include "platform/base/CFile.h"

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
        if (big) m_table.resize(static_cast<std::size_t>(kTableYears) * 16 * 32);
    }
    struct Date {
        std::uint32_t number;
        bool canonical;  // the text is the one the save writes for this date
    };
    Date Parse(std::string_view text) {
        int year = 0, month = 0, day = 0;
        if (!Fields(text, year, month, day)) {
            // Not a date: the file's reader takes it for now.
            return {m_number(CTime::GetCurrentTime()), false};
        }
        std::uint32_t* slot = nullptr;
        // Years of four digits from 1900 on go in a table; any other in the map.
        if (!m_table.empty() && year >= 1900 && year < 1900 + kTableYears) {
            slot = &m_table[static_cast<std::size_t>(((year - 1900) * 16 + month) * 32 + day)];
        } else {
            slot = &m_others[(static_cast<std::int64_t>(year) * 16 + month) * 32 + day];
        }
        if (*slot == 0) {
            const CTime t(year, month, day, 0, 0, 0, -1);
            m_days.push_back({m_number(t), record_text::FormatDate(t)});
            *slot = static_cast<std::uint32_t>(m_days.size());
        }
        const Day& d = m_days[*slot - 1];
        return {d.number, d.text == text};
    }

private:
    // "YYYY/MM/DD", as nearly every line has it, without the general parse.
    static bool Fields(std::string_view t, int& year, int& month, int& day) {
        auto digit = [&t](std::size_t i) { return static_cast<unsigned>(t[i] - '0'); };
        if (t.size() == 10 && t[4] == '/' && t[7] == '/') {
            unsigned all = 0;
            for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) all |= digit(i) > 9 ? 16u : 0u;
            if (all == 0) {
                year =
                    static_cast<int>(digit(0) * 1000 + digit(1) * 100 + digit(2) * 10 + digit(3));
                month = static_cast<int>(digit(5) * 10 + digit(6));
                day = static_cast<int>(digit(8) * 10 + digit(9));
                return month >= 1 && month <= 12 && day >= 1 && day <= 31;
            }
        }
        return record_text::ParseDateFields(t, year, month, day);
    }

    static constexpr int kTableYears = 256;
    struct Day {
        std::uint32_t number;
        std::string text;
    };
    const std::function<std::uint32_t(CTime)>& m_number;
    std::vector<std::uint32_t> m_table;
    std::unordered_map<std::int64_t, std::uint32_t> m_others;
    std::vector<Day> m_days;
};

// Whether a count's text is the one the save writes for the number read from it.
bool IsCanonicalCount(std::string_view text, int value) {
    char buf[16];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() && text == std::string_view(buf, static_cast<std::size_t>(end - buf));
}

// Where the line that starts at `pos` ends: the first LF or CR (CR LF is one line end).
std::size_t LineEnd(std::string_view bytes, std::size_t pos, std::size_t& next) {
    const char* p = bytes.data() + pos;
    const std::size_t rest = bytes.size() - pos;
    const void* lf = std::memchr(p, '\n', rest);
    const std::size_t lfAt = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - p) : rest;
    const void* cr = std::memchr(p, '\r', lfAt);
    if (!cr) {
        next = pos + lfAt + (lf ? 1 : 0);
        return pos + lfAt;
    }
    const std::size_t crAt = static_cast<std::size_t>(static_cast<const char*>(cr) - p);
    next = pos + crAt + 1;
    if (next < bytes.size() && bytes[next] == '\n') ++next;
    return pos + crAt;
}

}  // namespace

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

    // Every line end counted first: the records are placed once, never moved as they grow.
    std::size_t lines = 1;
    for (const char* p = bytes.data() + base;;) {
        const char* const end = bytes.data() + bytes.size();
        const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (!lf) break;
        ++lines;
        p = static_cast<const char*>(lf) + 1;
    }
    if (lines == 1)
        lines += static_cast<std::size_t>(std::count(bytes.begin() + base, bytes.end(), '\r'));
    m_records.reserve(m_records.size() + lines);
    m_keys.Reserve(m_records.size() + lines);

    const std::function<std::uint32_t(CTime)> dateNumber = [this](CTime t) {
        return DateNumber(t);
    };
    LoadDates dates(dateNumber, read > (std::uint64_t(1) << 20));
    std::size_t next = base;
    std::size_t reported = base;
    while (next < bytes.size()) {
        const std::size_t start = next;
        const std::size_t end = LineEnd(bytes, start, next);
        if (end == start) continue;
        if (bytes[start] == '*') {
            // The comments above the first record say what the file is; they stay at its top.
            if (GetRecordCount() == 0)
                m_astrLeadingComment.Add(CString(bytes.substr(start, end - start)));
            continue;
        }
        const std::string_view line = bytes.substr(start, end - start);
        Record rec;
        std::size_t tabs = 0;
        std::string_view fields[11];
        {
            std::string_view rest = line;
            for (int k = 0; k < 11; ++k) fields[k] = record_text::CutField(rest);
            tabs = static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t'));
        }
        m_keys.Add(fields[0]);
        rec.count = record_text::Atoi(fields[8]);
        const LoadDates::Date regist = dates.Parse(fields[9]);
        const LoadDates::Date update = dates.Parse(fields[10]);
        rec.date[record_field::Regist] = regist.number;
        rec.date[record_field::Update] = update.number;
        rec.date[record_field::PrevUpdate] = rec.date[record_field::Update];
        rec.canonical = tabs == 10 && IsCanonicalCount(fields[8], rec.count) && regist.canonical &&
                        update.canonical;
        if (line.size() <= kMaxLineLength && start <= kMaxLineStart) {
            rec.startLow = static_cast<std::uint32_t>(start);
            rec.startHigh = static_cast<std::uint32_t>(start >> 32);
            rec.length = static_cast<std::uint32_t>(line.size());
        } else {
            // Out of reach of a record's place: its texts are kept apart.
            ApartTexts& texts = m_apart[GetRecordCount()];
            for (int f = 0; f < record_field::kTextFields; ++f)
                texts.text[f] = CString(fields[f + 1]);
            rec.apart = 1;
            rec.canonical = 0;
        }
        m_records.push_back(rec);
        if (next - reported >= (std::size_t(1) << 20)) {
            reported = next;
            m_loadDone.store(read + (next - base), std::memory_order_relaxed);
        }
    }
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
