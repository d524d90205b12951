// The .lst file: one record per line, 11 tab-separated fields, CR LF line ends, bytes of CP932
// read and written as they are.
#include <string>

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

void CRecordStore::LoadRecords(CArchive& ar) {
    using record_text::CutField;
    record_text::DateReader dates;
    CString line;
    // Whole lines, however long: a piece of a long line read as a line of its own would come
    // back as a cut record and a record made of the rest.
    while (ar.ReadLine(line)) {
        if (line.IsEmpty()) continue;
        if (line[0] == '*') {
            // The comments above the first record say what the file is; they stay at its top.
            if (GetRecordCount() == 0) m_astrLeadingComment.Add(line);
            continue;
        }
        std::string_view rest = line.View();
        const int n = GetRecordCount();
        AppendRecord(CString(CutField(rest)));
        m_astrHandle[n] = CString(CutField(rest));
        m_astrMemo1[n] = CString(CutField(rest));
        m_astrMemo2[n] = CString(CutField(rest));
        m_astrMemo3[n] = CString(CutField(rest));
        m_astrMemo4[n] = CString(CutField(rest));
        m_astrMemo5[n] = CString(CutField(rest));
        m_astrMemo6[n] = CString(CutField(rest));
        m_anUpdateCount[n] = record_text::Atoi(CutField(rest));
        m_atimeRegist[n] = dates.Parse(CutField(rest));
        m_atimeUpdate[n] = dates.Parse(CutField(rest));
        m_atimePrevUpdate[n] = m_atimeUpdate[n];
    }
    // The same order as inserting each record at its upper bound, in file order.
    m_anSortIndex.Build(GetRecordCount());
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
    const int n = GetRecordCount();
    for (int r = 0; r < n; ++r) {
        if (m_abDeleted[r]) continue;
        line.clear();
        AppendField(line, m_astrID[r].View());
        line += '\t';
        AppendField(line, m_astrHandle[r].View());
        line += '\t';
        for (const CStringArray* memo :
             {&m_astrMemo1, &m_astrMemo2, &m_astrMemo3, &m_astrMemo4, &m_astrMemo5, &m_astrMemo6}) {
            AppendField(line, (*memo)[r].View());
            line += '\t';
        }
        line += std::to_string(m_anUpdateCount[r]);
        line += '\t';
        line += dates.Format(m_atimeRegist[r]);
        line += '\t';
        line += dates.Format(m_atimeUpdate[r]);
        line += "\r\n";
        ar.WriteString(std::string_view(line));
    }
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
    const int n = GetRecordCount();
    for (int r = 0; r < n; ++r) {
        if (!m_abDeleted[r]) m_atimePrevUpdate[r] = m_atimeUpdate[r];
    }
    Changed(HINT_SAVED, -1);
}
