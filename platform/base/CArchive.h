// Buffered text reading and writing on a CFile, with the framework's line rules.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/CFile.h"
#include "platform/base/CString.h"

class CArchive {
public:
    enum Mode { load = 1, store = 0 };

    // The longest piece ReadString returns; a longer physical line comes back in pieces.
    static constexpr int kMaxLine = 16383;

    CArchive(CFile* pFile, UINT nMode);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return m_bLoading; }
    BOOL IsStoring() const { return !m_bLoading; }
    CFile* GetFile() const { return m_pFile; }

    // Reads bytes up to a line end (LF, CR LF or CR alone; not stored). At most kMaxLine bytes
    // per call. FALSE at end of file when nothing was read.
    BOOL ReadString(CString& rString);
    // The same, but a line longer than kMaxLine comes back whole.
    BOOL ReadLine(CString& rLine);

    // Appends every byte not read yet to `out`: the file's size reserved at once, then large
    // reads; `progress` (if given) hears the bytes appended so far after each. FALSE when a
    // read failed (what was read is kept).
    BOOL ReadRest(std::string& out, const std::function<void(std::size_t)>& progress = {});

    // Writes the bytes of the text, without a terminator. A text larger than the buffer goes
    // to the file as it is, in one write.
    void WriteString(std::string_view text);
    void WriteString(const CString& text) { WriteString(text.View()); }
    void WriteString(LPCTSTR psz) { WriteString(std::string_view(psz ? psz : "")); }

    // Writes out what is buffered. FALSE if any write so far failed.
    BOOL Flush();
    void Close();
    // TRUE once a read or write of the file has failed.
    BOOL IsBad() const { return m_bBad; }

private:
    // How a piece of a line ended: at a line end, cut at the limit, or at the end of the file
    // with nothing read.
    enum class Piece { line, cut, none };
    Piece ReadPiece(std::string& out, std::size_t limit);
    bool Fill();

    CFile* m_pFile;
    bool m_bLoading;
    bool m_bBad = false;
    bool m_bEof = false;
    std::vector<char> m_buf;
    std::size_t m_pos = 0;  // next byte to read
    std::size_t m_end = 0;  // end of valid bytes (load) / of buffered bytes (store)
};
