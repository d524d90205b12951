#include "listview/DataColumns.h"

#include "document/VelkonDoc.h"

namespace data_column {

CString Text(const CVelkonDoc& doc, int r, int nDataColumn) {
    switch (nDataColumn) {
        case ID:
            return doc.m_astrID[r];
        case Handle:
            return doc.m_astrHandle[r];
        case Memo1:
            return doc.m_astrMemo1[r];
        case Memo2:
            return doc.m_astrMemo2[r];
        case Memo3:
            return doc.m_astrMemo3[r];
        case Memo4:
            return doc.m_astrMemo4[r];
        case Memo5:
            return doc.m_astrMemo5[r];
        case Memo6:
            return doc.m_astrMemo6[r];
        case RegistDate:
            return CVelkonDoc::FormatDate(doc.m_atimeRegist[r]);
        case PrevUpdateDate:
            return CVelkonDoc::FormatDate(doc.m_atimePrevUpdate[r]);
        case UpdateCount: {
            CString count;
            count.Format("%8d", doc.m_anUpdateCount[r]);
            return count;
        }
        default:
            return {};
    }
}

}  // namespace data_column
