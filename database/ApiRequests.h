// What the API layers do with a request once its data is in hand: the document operations and
// the reading and writing of client memory, which never goes past the end of what the client
// passed. Free of windows, so that any bytes can be given to it.
#pragma once

#include <cstddef>

#include "database/VelkonApiDefs.h"
#include "platform/base/CString.h"
#include "platform/base/CTime.h"

class CRecordStore;

namespace velkon_api {

// The text at p up to its zero byte or the end of the n bytes, whichever comes first.
CString ReadText(const char* p, std::size_t n);
// The text with its zero byte when it fits in n bytes; false, nothing written, otherwise.
bool WriteText(char* p, std::size_t n, const CString& text);
// Into a zero-terminated slot: a text too long for it is cut at a character boundary.
void WriteSlot(char* slot, std::size_t slotSize, const CString& text);

// The record line of the 16-bit API: eleven tab-separated fields, personal fields cut to 20
// bytes, dates as YY/MM/DD.
CString RecordLine16(const CRecordStore& doc, int nRecord);
// The date as YY/MM/DD.
CString ShortDate(CTime time);
// The most bytes a handle or memo keeps when a request writes it.
constexpr std::size_t kFieldLength = 255;

// WM_IDAPI_SETRECORD: stores the line's fields in the ID's record (handle and memos cut to
// kFieldLength), registering the ID first when it is not; FALSE, nothing changed, when the
// line's ID is not the ID or the ID is one the file could not keep (record_text::FileKeepsID).
BOOL SetRecord(CRecordStore& doc, const CString& id, CString line);

// The 32-bit functions that work on the data block alone (all but IDAPI_GETVERSION and
// IDAPI_EDITDATA). IDAPI_REGISTER refuses an ID the file could not keep, as SetRecord does. view is
// nullptr for the functions without a block; captions are the seven captions, or nullptr when there
// is no view to take them from.
LRESULT Run32(CRecordStore& doc, const CString* captions, WPARAM code, char* view,
              std::size_t size);
// Whether a function maps the block at all.
bool UsesBlock(WPARAM code);

}  // namespace velkon_api
