#include "platform/base/CArchive.h"

#include <algorithm>
#include <cstring>

#include "platform/base/HugePages.h"

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
}

CArchive::CArchive(CFile* pFile, UINT nMode)
    : m_pFile(pFile), m_bLoading((nMode & load) != 0), m_buf(kBufferSize) {}

CArchive::~CArchive() {
    Close();
}

bool CArchive::Fill() {
    if (m_bEof || m_bBad) return false;
    m_pos = 0;
    m_end = m_pFile ? m_pFile->Read(m_buf.data(), static_cast<UINT>(m_buf.size())) : 0;
    if (m_end == 0) {
        m_bEof = true;
        if (m_pFile && m_pFile->GetLastError() != 0) m_bBad = true;
        return false;
    }
    return true;
}

CArchive::Piece CArchive::ReadPiece(std::string& out, std::size_t limit) {
    std::size_t nRead = 0;
    for (;;) {
        if (m_pos == m_end && !Fill()) return nRead > 0 ? Piece::line : Piece::none;
        const char* p = m_buf.data() + m_pos;
        std::size_t avail = m_end - m_pos;
        if (avail > limit - nRead) avail = limit - nRead;
        std::size_t i = 0;
        while (i < avail && p[i] != '\n' && p[i] != '\r') ++i;
        out.append(p, i);
        nRead += i;
        m_pos += i;
        if (i < avail) {
            const char ch = p[i];
            ++m_pos;
            // A CR LF pair is one line end; a CR alone ends its line and leaves what follows.
            if (ch == '\r' && (m_pos < m_end || Fill()) && m_buf[m_pos] == '\n') ++m_pos;
            return Piece::line;
        }
        if (nRead == limit) return Piece::cut;
    }
}

BOOL CArchive::ReadString(CString& rString) {
    rString.Str().clear();
    return ReadPiece(rString.Str(), static_cast<std::size_t>(kMaxLine)) != Piece::none;
}

BOOL CArchive::ReadLine(CString& rLine) {
    std::string& out = rLine.Str();
    out.clear();
    Piece piece = ReadPiece(out, static_cast<std::size_t>(kMaxLine));
    while (piece == Piece::cut) {
        std::string more;
        piece = ReadPiece(more, static_cast<std::size_t>(kMaxLine));
        out += more;
    }
    return piece != Piece::none || !out.empty();
}

BOOL CArchive::ReadRest(std::string& out, const std::function<void(std::size_t)>& progress) {
    if (!m_bLoading) return FALSE;
    const std::size_t first = out.size();
    out.append(m_buf.data() + m_pos, m_end - m_pos);
    m_pos = m_end;
    const std::int64_t length = m_pFile ? m_pFile->GetLength() : -1;
    if (length > 0) {
        out.reserve(first + static_cast<std::size_t>(length));
        huge_pages::AdviseCapacity(out);
    }
    constexpr std::size_t kChunk = std::size_t(8) << 20;
    while (!m_bEof && !m_bBad && m_pFile) {
        const std::size_t at = out.size();
        UINT n = 0;
        if (out.capacity() > at) {
            // Into the room the size promised.
            const std::size_t want = std::min(out.capacity() - at, kChunk);
            out.resize(at + want);
            n = m_pFile->Read(out.data() + at, static_cast<UINT>(want));
            out.resize(at + n);
        } else {
            // The promised size is read (or the file grew): the end is looked for in the
            // buffer, so that a file read whole is not given room for more.
            n = m_pFile->Read(m_buf.data(), static_cast<UINT>(m_buf.size()));
            out.append(m_buf.data(), n);
        }
        if (n == 0) {
            m_bEof = true;
            if (m_pFile->GetLastError() != 0) m_bBad = true;
        }
        if (progress) progress(out.size() - first);
    }
    m_pos = m_end = 0;
    return !m_bBad;
}

void CArchive::WriteString(std::string_view text) {
    if (m_bLoading || m_bBad) return;
    if (text.size() >= m_buf.size()) {
        if (!Flush()) return;
        // UINT counts: a text beyond 4 GB goes in pieces.
        constexpr std::size_t kPiece = std::size_t(1) << 30;
        for (std::size_t at = 0; at < text.size(); at += kPiece) {
            const std::size_t n = std::min(kPiece, text.size() - at);
            if (!m_pFile || !m_pFile->Write(text.data() + at, static_cast<UINT>(n))) {
                m_bBad = true;
                return;
            }
        }
        return;
    }
    while (!text.empty()) {
        if (m_end == m_buf.size() && !Flush()) return;
        std::size_t n = m_buf.size() - m_end;
        if (n > text.size()) n = text.size();
        std::memcpy(m_buf.data() + m_end, text.data(), n);
        m_end += n;
        text.remove_prefix(n);
    }
}

BOOL CArchive::Flush() {
    if (m_bLoading) return !m_bBad;
    if (!m_bBad && m_end > 0) {
        if (!m_pFile || !m_pFile->Write(m_buf.data(), static_cast<UINT>(m_end))) m_bBad = true;
    }
    m_end = 0;
    return !m_bBad;
}

void CArchive::Close() {
    if (!m_bLoading) Flush();
    m_pFile = nullptr;
}
