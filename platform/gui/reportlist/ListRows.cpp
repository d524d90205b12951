#include "platform/gui/reportlist/ListRows.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/base/Mbcs.h"
#include "platform/gui/reportlist/CommCtrl.h"

namespace {
// Item data from 0 up to this goes into the vector (record numbers); the vector grows only as far
// as the largest value seen.
constexpr LPARAM kDenseLimit = LPARAM(1) << 24;
}  // namespace

int ListRows::LookupRaw(LPARAM lParam) const {
    if (lParam >= 0 && lParam < kDenseLimit) {
        const auto i = static_cast<size_t>(lParam);
        return i < m_dense.size() ? m_dense[i] : -1;
    }
    auto it = m_sparse.find(lParam);
    return it == m_sparse.end() ? -1 : it->second;
}

namespace {
void Store(std::vector<int>& dense, std::unordered_map<LPARAM, int>& sparse, LPARAM lParam,
           int nRow) {
    if (lParam >= 0 && lParam < kDenseLimit) {
        const auto i = static_cast<size_t>(lParam);
        if (i >= dense.size()) dense.resize(std::max(i + 1, dense.size() * 3 / 2), -1);
        dense[i] = nRow;
    } else if (nRow < 0) {
        sparse.erase(lParam);
    } else {
        sparse[lParam] = nRow;
    }
}
}  // namespace

// Rows may share item data for a moment (a row is inserted with 0 before the caller sets its
// record number), so the lookup keeps the first such row: a later one must not take record 0's
// entry away from it.
void ListRows::StoreFirst(LPARAM lParam, int nRow) const {
    const int j = LookupRaw(lParam);
    if (j >= 0 && j < nRow && m_rows[static_cast<size_t>(j)].lParam == lParam) return;
    Store(m_dense, m_sparse, lParam, nRow);
}

void ListRows::Reindex() const {
    for (int i = m_validFrom; i < Count(); ++i) StoreFirst(m_rows[i].lParam, i);
    m_validFrom = Count();
}

void ListRows::Unlink(int nIndex) {
    const LPARAM lParam = m_rows[static_cast<size_t>(nIndex)].lParam;
    if (LookupRaw(lParam) != nIndex) return;
    Store(m_dense, m_sparse, lParam, -1);
    // A later row with the same data is found again by the next lookup.
    m_validFrom = std::min(m_validFrom, nIndex + 1);
}

int ListRows::Find(LPARAM lParam) const {
    int r = LookupRaw(lParam);
    if (r >= 0 && r < m_validFrom && m_rows[static_cast<size_t>(r)].lParam == lParam) return r;
    if (m_validFrom == Count()) return -1;
    Reindex();
    r = LookupRaw(lParam);
    return r >= 0 && r < Count() && m_rows[static_cast<size_t>(r)].lParam == lParam ? r : -1;
}

void ListRows::FindMany(const LPARAM* data, int* rows, std::size_t n) const {
    if (m_validFrom != Count()) Reindex();
    constexpr std::size_t kAhead = 8;
    const auto dense = [this](LPARAM lParam) -> const int* {
        const auto i = static_cast<size_t>(lParam);
        return lParam >= 0 && lParam < kDenseLimit && i < m_dense.size() ? &m_dense[i] : nullptr;
    };
    for (std::size_t i = 0; i < n; ++i) {
        // Two steps: the entry of the data eight ahead, the row of the data four ahead.
        if (i + kAhead < n)
            if (const int* entry = dense(data[i + kAhead])) __builtin_prefetch(entry);
        if (i + kAhead / 2 < n)
            if (const int* entry = dense(data[i + kAhead / 2]);
                entry && *entry >= 0 && *entry < Count())
                __builtin_prefetch(&m_rows[static_cast<size_t>(*entry)]);
        const int r = LookupRaw(data[i]);
        rows[i] =
            r >= 0 && r < Count() && m_rows[static_cast<size_t>(r)].lParam == data[i] ? r : -1;
    }
}

int ListRows::Insert(int nIndex, LPARAM lParam, UINT state) {
    const int count = Count();
    if (nIndex < 0 || nIndex > count) nIndex = count;
    if (nIndex == count) {
        m_rows.push_back({lParam, state});
        // Appending keeps every earlier entry right, so the lookup stays complete.
        if (m_validFrom == count) {
            StoreFirst(lParam, nIndex);
            m_validFrom = count + 1;
        }
    } else {
        m_rows.insert(m_rows.begin() + nIndex, Row{lParam, state});
        if (static_cast<size_t>(nIndex) < m_prefixes.size())
            m_prefixes.insert(m_prefixes.begin() + nIndex, Prefix{});
        m_validFrom = std::min(m_validFrom, nIndex);
        if (m_focused >= nIndex) ++m_focused;
        if (m_selectedEnd > nIndex) ++m_selectedEnd;
        if (m_selectedBegin >= nIndex) ++m_selectedBegin;
    }
    if (state & LVIS_SELECTED) {
        ++m_selected;
        NoteSelected(nIndex);
    }
    if (state & LVIS_FOCUSED) m_focused = nIndex;
    return nIndex;
}

int ListRows::Append(std::span<const LPARAM> data) {
    if (data.empty()) return -1;
    const int first = Count();
    const bool complete = m_validFrom == first;
    m_rows.reserve(m_rows.size() + data.size());
    for (const LPARAM lParam : data) {
        if (complete) StoreFirst(lParam, Count());
        m_rows.push_back({lParam, 0});
    }
    if (complete) m_validFrom = Count();
    return first;
}

void ListRows::Erase(int nIndex) {
    if (nIndex < 0 || nIndex >= Count()) return;
    Unlink(nIndex);
    if (m_rows[static_cast<size_t>(nIndex)].state & LVIS_SELECTED) --m_selected;
    m_rows.erase(m_rows.begin() + nIndex);
    if (static_cast<size_t>(nIndex) < m_prefixes.size())
        m_prefixes.erase(m_prefixes.begin() + nIndex);
    if (m_selectedEnd > nIndex) --m_selectedEnd;
    if (m_selectedBegin > nIndex) --m_selectedBegin;
    if (m_focused == nIndex)
        m_focused = -1;
    else if (m_focused > nIndex)
        --m_focused;
    m_validFrom = std::min(m_validFrom, nIndex);
}

void ListRows::EraseMany(const std::vector<int>& rows) {
    if (rows.empty()) return;
    for (int i : rows) {
        Unlink(i);
        if (m_rows[static_cast<size_t>(i)].state & LVIS_SELECTED) --m_selected;
    }
    const bool focusErased =
        m_focused >= 0 && std::binary_search(rows.begin(), rows.end(), m_focused);
    const auto compact = [&rows](auto& v) {
        std::size_t out = static_cast<std::size_t>(rows.front());
        if (out >= v.size()) return;
        std::size_t next = 0;
        for (std::size_t i = out; i < v.size(); ++i) {
            if (next < rows.size() && static_cast<std::size_t>(rows[next]) == i) {
                ++next;
                continue;
            }
            v[out++] = v[i];
        }
        v.resize(out);
    };
    // Rows before the focused one that go, and so how far it moves up.
    const auto before =
        static_cast<int>(std::lower_bound(rows.begin(), rows.end(), m_focused) - rows.begin());
    compact(m_rows);
    compact(m_prefixes);
    if (m_focused >= 0) {
        m_focused -= before;
        if (focusErased) m_focused = -1;
    }
    // Where the selected rows are is found again by the next search.
    m_selectedBegin = 0;
    m_selectedEnd = m_selected > 0 ? Count() : 0;
    m_validFrom = std::min(m_validFrom, rows.front());
}

void ListRows::Clear() {
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_dense.clear();
    m_sparse.clear();
    m_prefixes.clear();
    m_prefixes.shrink_to_fit();
    m_validFrom = 0;
    m_focused = -1;
    m_selected = 0;
    m_selectedEnd = 0;
    m_selectedBegin = 0;
}

void ListRows::SetData(int nIndex, LPARAM lParam) {
    Unlink(nIndex);
    m_rows[static_cast<size_t>(nIndex)].lParam = lParam;
    if (nIndex < m_validFrom) StoreFirst(lParam, nIndex);
    if (static_cast<size_t>(nIndex) < m_prefixes.size())
        m_prefixes[static_cast<size_t>(nIndex)] = Prefix{};
}

UINT ListRows::SetState(int nIndex, UINT state, UINT mask) {
    Row& row = m_rows[static_cast<size_t>(nIndex)];
    const UINT old = row.state;
    row.state = (old & ~mask) | (state & mask);
    const UINT changed = old ^ row.state;
    if (changed & LVIS_SELECTED) {
        m_selected += (row.state & LVIS_SELECTED) ? 1 : -1;
        if (row.state & LVIS_SELECTED) NoteSelected(nIndex);
    }
    if (changed & LVIS_FOCUSED) {
        if (row.state & LVIS_FOCUSED)
            m_focused = nIndex;
        else if (m_focused == nIndex)
            m_focused = -1;
    }
    return old;
}

int ListRows::SelectAll(bool bSelected) {
    const int changed = bSelected ? Count() - m_selected : m_selected;
    if (changed == 0) return 0;
    if (bSelected) {
        for (Row& row : m_rows) row.state |= LVIS_SELECTED;
    } else {
        // Only where selected rows are: one selected row of a million costs no walk over all.
        for (int i = NextSelected(-1); i >= 0; i = NextSelected(i))
            m_rows[static_cast<size_t>(i)].state &= ~LVIS_SELECTED;
    }
    m_selected = bSelected ? Count() : 0;
    m_selectedBegin = 0;
    m_selectedEnd = m_selected;
    return changed;
}

// After m_selected counted the row in.
void ListRows::NoteSelected(int nIndex) {
    if (m_selected == 1) {
        m_selectedBegin = nIndex;
        m_selectedEnd = nIndex + 1;
    } else {
        m_selectedBegin = std::min(m_selectedBegin, nIndex);
        m_selectedEnd = std::max(m_selectedEnd, nIndex + 1);
    }
}

int ListRows::NextSelected(int nAfter) const {
    if (m_selected == 0) return -1;
    const int from = std::max(nAfter + 1, 0);
    const int end = std::min(m_selectedEnd, Count());
    for (int i = std::max(from, m_selectedBegin); i < end; ++i)
        if (m_rows[static_cast<size_t>(i)].state & LVIS_SELECTED) {
            if (from <= m_selectedBegin) m_selectedBegin = i;
            return i;
        }
    // Nothing selected from here on: later searches past the last selected row stop at once.
    m_selectedEnd = std::min(m_selectedEnd, from);
    return -1;
}

void ListRows::SortByLess(bool (*less)(const Row&, const Row&, void*), void* context) {
    const size_t n = m_rows.size();
    if (n < 2) return;
    if (m_selected > 0) {  // the selected rows go anywhere
        m_selectedBegin = 0;
        m_selectedEnd = Count();
    }
    // Short runs by insertion, then merges that take from the right run only when strictly
    // less: equal rows keep their order, and no step relies on the comparison being consistent.
    constexpr size_t kRun = 32;
    Row* a = m_rows.data();
    for (size_t lo = 0; lo < n; lo += kRun) {
        const size_t hi = std::min(lo + kRun, n);
        for (size_t i = lo + 1; i < hi; ++i) {
            const Row x = a[i];
            size_t j = i;
            for (; j > lo && less(x, a[j - 1], context); --j) a[j] = a[j - 1];
            a[j] = x;
        }
    }
    std::vector<Row> buffer(n);
    Row* src = a;
    Row* dst = buffer.data();
    for (size_t width = kRun; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(lo + width, n);
            const size_t hi = std::min(lo + 2 * width, n);
            size_t i = lo, j = mid, k = lo;
            if (mid < hi && less(src[mid], src[mid - 1], context)) {
                while (i < mid && j < hi)
                    dst[k++] = less(src[j], src[i], context) ? src[j++] : src[i++];
            }
            std::memcpy(dst + k, src + i, (mid - i) * sizeof(Row));
            k += mid - i;
            std::memcpy(dst + k, src + j, (hi - j) * sizeof(Row));
        }
        std::swap(src, dst);
    }
    if (src != a) std::memcpy(a, src, n * sizeof(Row));
    // Asked again when type-ahead next passes; cheaper than carrying them through the merges.
    m_prefixes.clear();
    m_focused = -1;
    for (size_t i = 0; i < n; ++i) {
        if (a[i].state & LVIS_FOCUSED) {
            m_focused = static_cast<int>(i);
            break;
        }
    }
    m_validFrom = 0;
}

bool ListRows::Reorder(std::span<const int> order) {
    const std::size_t n = m_rows.size();
    if (order.size() != n) return false;
    std::vector<bool> seen(n);
    for (const int i : order) {
        if (i < 0 || static_cast<std::size_t>(i) >= n || seen[static_cast<std::size_t>(i)])
            return false;
        seen[static_cast<std::size_t>(i)] = true;
    }
    std::vector<Row> rows(n);
    for (std::size_t k = 0; k < n; ++k) rows[k] = m_rows[static_cast<std::size_t>(order[k])];
    m_rows.swap(rows);
    // As after a sort: the texts are asked again, the lookup and the selection's bounds found
    // again.
    m_prefixes.clear();
    if (m_selected > 0) {
        m_selectedBegin = 0;
        m_selectedEnd = Count();
    }
    m_focused = -1;
    for (std::size_t k = 0; k < n && m_focused < 0; ++k)
        if (m_rows[k].state & LVIS_FOCUSED) m_focused = static_cast<int>(k);
    m_validFrom = 0;
    return true;
}

// --- type-ahead ---

ListRows::Prefix ListRows::PrefixOf(std::string_view upperText) {
    Prefix p;
    const size_t n = std::min(upperText.size(), Prefix::kBytes);
    std::memcpy(p.bytes, upperText.data(), n);
    p.code = upperText.size() > Prefix::kBytes ? Prefix::kLonger : static_cast<std::uint8_t>(n + 1);
    return p;
}

// Bytes compare as characters here: both texts start at a character boundary, so equal bytes
// from the start are equal characters.
bool ListRows::MayMatch(const Prefix& p, std::string_view text, bool bPrefix) {
    const bool whole = p.code != Prefix::kLonger;
    const size_t known = whole ? p.code - 1u : Prefix::kBytes;
    if (std::memcmp(p.bytes, text.data(), std::min(known, text.size())) != 0) return false;
    // Of a longer text only the start is known: the rest is for the owner's text to tell.
    if (!whole) return bPrefix || text.size() > known;
    return bPrefix ? text.size() <= known : text.size() == known;
}

int ListRows::FindText(std::string_view text, bool bPrefix, int nFrom, bool bWrap,
                       const RowText& textOf) {
    const int n = Count();
    if (n == 0 || (bPrefix && text.empty())) return -1;
    nFrom = std::max(nFrom, 0);
    if (nFrom >= n && !bWrap) return -1;
    if (nFrom >= n) nFrom = 0;
    const int nRows = bWrap ? n : n - nFrom;
    std::string wanted(text);
    mbcs::ToUpper(wanted);
    if (m_prefixes.size() < static_cast<size_t>(n)) m_prefixes.resize(static_cast<size_t>(n));
    std::string upper;
    // The owner answers in between; should it change the rows meanwhile, the search gives up.
    auto ask = [&](int i) {
        upper.assign(textOf(i));
        mbcs::ToUpper(upper);
        if (Count() != n || m_prefixes.size() < static_cast<size_t>(n)) return false;
        m_prefixes[static_cast<size_t>(i)] = PrefixOf(upper);
        return true;
    };
    for (int k = 0; k < nRows; ++k) {
        const int i = nFrom + k < n ? nFrom + k : nFrom + k - n;
        if (m_prefixes[static_cast<size_t>(i)].code == 0 && !ask(i)) return -1;
        if (!MayMatch(m_prefixes[static_cast<size_t>(i)], wanted, bPrefix)) continue;
        // What is remembered may be out of date, and holds only the text's start.
        if (!ask(i)) return -1;
        if (bPrefix ? upper.compare(0, wanted.size(), wanted) == 0 : upper == wanted) return i;
    }
    return -1;
}

void ListRows::ForgetTexts(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(m_prefixes.size()) - 1);
    if (first == 0 && last == static_cast<int>(m_prefixes.size()) - 1) {
        m_prefixes.clear();
        return;
    }
    for (int i = first; i <= last; ++i) m_prefixes[static_cast<size_t>(i)] = Prefix{};
}

void ListRows::ForgetTexts() {
    m_prefixes.clear();
}
