#include "listview/RecordFilters.h"

#include "document/VelkonDoc.h"

bool IsDateMatch(const CVelkonDoc& doc, int r, const DateFilter& filter) {
    auto passes = [&filter](const CString& date) {
        const int c = date.Compare(filter.date.View());
        switch (filter.method) {
            case DateFilter::OnOrBefore:
                return c <= 0;
            case DateFilter::OnTheDay:
                return c == 0;
            case DateFilter::OnOrAfter:
                return c >= 0;
            default:
                return true;
        }
    };
    if (filter.registDate && !passes(CVelkonDoc::FormatDate(doc.m_atimeRegist[r]))) return false;
    if (filter.prevUpdateDate && !passes(CVelkonDoc::FormatDate(doc.m_atimePrevUpdate[r])))
        return false;
    return true;
}

bool IsKeywordMatch(const CVelkonDoc& doc, int r, const KeywordFilter& filter) {
    CString keyword = filter.keyword;
    if (!filter.matchCase) keyword.MakeUpper();
    for (int field = 0; field < data_column::kFieldCount; ++field) {
        if (!filter.fields[static_cast<std::size_t>(field)]) continue;
        CString text = data_column::Text(doc, r, field);
        if (!filter.matchCase) text.MakeUpper();
        if (text.Find(keyword.View()) >= 0) return true;
    }
    return false;
}
