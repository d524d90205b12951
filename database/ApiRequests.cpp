#include "database/ApiRequests.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "database/RecordStore.h"
#include "database/RecordText.h"
#include "platform/base/Mbcs.h"

namespace velkon_api {

namespace {

// A slot of the block, or what of it the mapping holds.
CString ReadSlot(const char* view, std::size_t size, std::size_t at) {
    if (at >= size) return {};
    return ReadText(view + at, std::min(idapi_block::kSlot, size - at));
}

// A handle or memo as every path that writes one keeps it: at most 255 bytes, cut at a character
// boundary, as the personal data editor and the 32-bit block's slots hold them.
CString FieldText(const CString& text) {
    return text.Left(static_cast<int>(mbcs::CharBoundaryAtOrBefore(text.View(), kFieldLength)));
}

void StorePersonal(CRecordStore& doc, int r, const char* view) {
    CPersonalData data;
    data.strHandle = FieldText(ReadText(view + idapi_block::kHandle, idapi_block::kSlot));
    for (int k = 1; k <= 6; ++k)
        data.astrMemo[k - 1] = FieldText(ReadText(view + idapi_block::Memo(k), idapi_block::kSlot));
    doc.WritePersonalData(r, data);
}

std::uint32_t GetU32(const char* p) {
    std::uint32_t v = 0;
    for (int b = 3; b >= 0; --b) v = (v << 8) | static_cast<unsigned char>(p[b]);
    return v;
}

// IDAPI_SETFIELDS: the fields the mask names from the block; the others are not touched, so a
// memo longer than a slot or holding a zero byte stays as it is.
void StoreNamed(CRecordStore& doc, int r, const char* view) {
    using namespace idapi_block;
    const std::uint32_t mask = GetU32(view + kFieldMask);
    CPersonalData data = doc.ReadPersonalData(r);
    if (mask & kMaskHandle) data.strHandle = FieldText(ReadText(view + kHandle, kSlot));
    for (int k = 1; k <= 6; ++k)
        if (mask & MaskMemo(k)) data.astrMemo[k - 1] = FieldText(ReadText(view + Memo(k), kSlot));
    if (mask & kMaskCount) doc.m_anUpdateCount[r] = static_cast<int>(GetU32(view + kCount));
    if (mask & kMaskRegistDate)
        doc.m_atimeRegist[r] = CRecordStore::ParseDate(ReadText(view + kRegistDate, kDateSlot));
    if (mask & kMaskUpdateDate)
        doc.m_atimeUpdate[r] = CRecordStore::ParseDate(ReadText(view + kUpdateDate, kDateSlot));
    doc.WritePersonalData(r, data);
}

}  // namespace

CString ReadText(const char* p, std::size_t n) {
    if (!p || n == 0) return {};
    const void* zero = std::memchr(p, 0, n);
    const std::size_t length =
        zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - p) : n;
    return CString(std::string_view(p, length));
}

bool WriteText(char* p, std::size_t n, const CString& text) {
    const auto length = static_cast<std::size_t>(text.GetLength());
    if (!p || length >= n) return false;
    std::memcpy(p, text.GetString(), length);
    p[length] = '\0';
    return true;
}

void WriteSlot(char* slot, std::size_t slotSize, const CString& text) {
    if (slotSize == 0) return;
    const std::size_t length = mbcs::CharBoundaryAtOrBefore(text.View(), slotSize - 1);
    std::memcpy(slot, text.GetString(), length);
    slot[length] = '\0';
}

CString ShortDate(CTime time) {
    return CRecordStore::FormatDate(time).Mid(2);
}

CString RecordLine16(const CRecordStore& doc, int r) {
    std::string line;
    // A field holding a tab or a line end would break the line's shape, as in the file.
    record_text::AppendField(line, doc.m_astrID[r].View());
    line += '\t';
    record_text::AppendField(line, doc.m_astrHandle[r].Left(IDAPI16_FIELD_LENGTH).View());
    for (int k = 1; k <= 6; ++k) {
        line += '\t';
        record_text::AppendField(line, doc.MemoArray(k)[r].Left(IDAPI16_FIELD_LENGTH).View());
    }
    line += '\t' + std::to_string(doc.m_anUpdateCount[r]);
    line += '\t' + ShortDate(doc.m_atimeRegist[r]).Str();
    line += '\t' + ShortDate(doc.m_atimeUpdate[r]).Str();
    return CString(std::move(line));
}

BOOL SetRecord(CRecordStore& doc, const CString& id, CString line) {
    if (CRecordStore::SplitField(line) != id) return FALSE;
    const CString handle = FieldText(CRecordStore::SplitField(line));
    int r = doc.FindID(id);
    if (r == -1) {
        if (!record_text::FileKeepsID(id.View()) || !doc.AddNewID(id, handle)) return FALSE;
        r = doc.FindID(id);
        if (r == -1) return FALSE;
    }
    CPersonalData data;
    data.strHandle = handle;
    for (int k = 1; k <= 6; ++k) data.astrMemo[k - 1] = FieldText(CRecordStore::SplitField(line));
    doc.m_anUpdateCount[r] = record_text::Atoi(CRecordStore::SplitField(line).View());
    doc.m_atimeRegist[r] = CRecordStore::ParseDate(CRecordStore::SplitField(line));
    doc.m_atimeUpdate[r] = CRecordStore::ParseDate(CRecordStore::SplitField(line));
    doc.WritePersonalData(r, data);
    return TRUE;
}

bool UsesBlock(WPARAM code) {
    switch (code) {
        case IDAPI_GETVERSION:
        case IDAPI_GETCAPTIONS:
        case IDAPI_EDITDATA:
        case IDAPI_REGISTER:
        case IDAPI_DELETE:
        case IDAPI_SETDATA:
        case IDAPI_SETFIELDS:
        case IDAPI_GETDATA:
        case IDAPI_EXISTS:
        case IDAPI_PICKUPTEXT:
        case IDAPI_PICKEDUP:
            return true;
        default:
            return false;
    }
}

LRESULT Run32(CRecordStore& doc, const CString* captions, WPARAM code, char* view,
              std::size_t size) {
    using namespace idapi_block;
    if (code == IDAPI_RESTORE) {
        doc.RestoreID();
        return 1;
    }
    if (code == IDAPI_PICKUPREDO) {
        doc.ClearPickup();
        return 1;
    }
    if (!UsesBlock(code) || !view || size == 0) return 0;
    // Functions that read or write past the ID need the whole block.
    const bool whole = code == IDAPI_GETCAPTIONS || code == IDAPI_REGISTER ||
                       code == IDAPI_SETDATA || code == IDAPI_GETDATA || code == IDAPI_SETFIELDS;
    if (whole && size < kSize) return 0;

    switch (code) {
        case IDAPI_GETCAPTIONS:
            if (!captions) return 0;
            for (int k = 1; k <= 7; ++k) WriteSlot(view + Caption(k), kSlot, captions[k - 1]);
            return 1;
        case IDAPI_REGISTER: {
            const CString id = ReadSlot(view, size, kId);
            if (!record_text::FileKeepsID(id.View())) return 0;
            const BOOL added = doc.AddNewID(id, FieldText(ReadText(view + kHandle, kSlot)));
            if (!added) return 0;
            const int r = doc.FindID(id);
            if (r == -1) return added;
            StorePersonal(doc, r, view);
            return added;
        }
        case IDAPI_SETDATA: {
            const int r = doc.FindID(ReadSlot(view, size, kId));
            if (r == -1) return 0;
            StorePersonal(doc, r, view);
            return 1;
        }
        case IDAPI_SETFIELDS: {
            if (size < kSetFieldsSize) return 0;
            const int r = doc.FindID(ReadSlot(view, size, kId));
            if (r == -1) return 0;
            StoreNamed(doc, r, view);
            return 1;
        }
        case IDAPI_GETDATA: {
            const int r = doc.FindID(ReadSlot(view, size, kId));
            if (r == -1) return 0;
            WriteSlot(view + kHandle, kSlot, doc.m_astrHandle[r]);
            for (int k = 1; k <= 6; ++k) WriteSlot(view + Memo(k), kSlot, doc.MemoArray(k)[r]);
            WriteSlot(view + kRegistDate, kDateSlot,
                      CRecordStore::FormatDate(doc.m_atimeRegist[r]));
            WriteSlot(view + kPrevUpdateDate, kDateSlot,
                      CRecordStore::FormatDate(doc.m_atimePrevUpdate[r]));
            const auto count = static_cast<std::uint32_t>(doc.m_anUpdateCount[r]);
            for (int i = 0; i < 4; ++i) view[kCount + i] = static_cast<char>(count >> (8 * i));
            return 1;
        }
        case IDAPI_DELETE: {
            const int r = doc.FindID(ReadSlot(view, size, kId));
            if (r == -1) return 0;
            doc.DeleteID(r);
            return 1;
        }
        case IDAPI_EXISTS:
            return doc.FindID(ReadSlot(view, size, kId)) != -1 ? 1 : 0;
        case IDAPI_PICKEDUP:
            return doc.FindPickup(ReadSlot(view, size, kId)) != -1 ? 1 : 0;
        case IDAPI_PICKUPTEXT: {
            // Its own buffer with a line end, so that the last line is scanned now.
            CString text = ReadText(view, size);
            text += "\r\n";
            doc.PickupText(text);
            return 1;
        }
        default:
            return 0;
    }
}

}  // namespace velkon_api
