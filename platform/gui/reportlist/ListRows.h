// The rows of a list view: item data and state only, so that a million rows cost 16 bytes each.
// Keeps the focused row, the number of selected rows and a lookup from item data to row, so that
// the questions the view asks for every update are answered without walking the rows; and, once
// type-ahead has asked for them, the first bytes of each row's first text, so that the next key
// compares bytes instead of asking the owner for every row again.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/base/WinTypes.h"

class ListRows {
public:
    struct Row {
        LPARAM lParam = 0;
        UINT state = 0;
    };

    int Count() const { return static_cast<int>(m_rows.size()); }
    const Row& At(int i) const { return m_rows[static_cast<size_t>(i)]; }
    // nIndex past the end appends. Returns the row's index.
    int Insert(int nIndex, LPARAM lParam, UINT state = 0);
    // Appends rows with this item data and no state; the index of the first, or -1 for none.
    int Append(std::span<const LPARAM> data);
    void Erase(int nIndex);
    // Erases the rows at these indexes (ascending, each once, all in range) in one pass. The
    // focus of an erased row goes to the row that takes its place, as one Erase after another
    // would leave it; -1 when no row is left there.
    void EraseMany(const std::vector<int>& rows);
    void Clear();
    void SetData(int nIndex, LPARAM lParam);
    // Sets the row's state bits under the mask; returns the old state. Does not move the focus
    // away from another row: that is the control's rule.
    UINT SetState(int nIndex, UINT state, UINT mask);
    // Selects every row, or none, in one pass; the number of rows whose state changed.
    int SelectAll(bool bSelected);

    // The row holding the focus, or -1.
    int Focused() const { return m_focused; }
    int SelectedCount() const { return m_selected; }
    // The first selected row after nAfter, or -1.
    int NextSelected(int nAfter) const;
    // A row whose item data is lParam, or -1.
    int Find(LPARAM lParam) const;
    // Find for each of n item data, into rows: the memory of the lookups a few ahead is asked
    // for before it is read, so their misses of the cache overlap.
    void FindMany(const LPARAM* data, int* rows, std::size_t n) const;

    // Stable merge sort by a comparison of item data (negative: first before second). Each row
    // takes its state along. A comparison that contradicts itself gives some order, never harm.
    template <class Compare>
    void Sort(Compare compare);
    // Puts the rows in this order: row k becomes the row that was at order[k]. FALSE, and the
    // rows as they were, unless order names every row once.
    bool Reorder(std::span<const int> order);

    // The text a row shows in its first column (CP932), as the owner gives it now; valid until
    // the next call.
    using RowText = std::function<std::string_view(int nRow)>;
    // The first row from nFrom on (and with bWrap on from the top, up to the row before nFrom)
    // whose text is `text`, or starts with it when bPrefix; case ignored; -1 when none is. A
    // row's text is asked for the first time a search passes the row, and again only for a row
    // that seems to match, so that a text changed since is never taken on trust.
    int FindText(std::string_view text, bool bPrefix, int nFrom, bool bWrap, const RowText& textOf);
    int FindByPrefix(std::string_view prefix, int nFrom, const RowText& textOf) {
        return FindText(prefix, true, nFrom, true, textOf);
    }
    // The owner's texts of rows first..last (or all) changed: they are asked for again.
    void ForgetTexts(int first, int last);
    void ForgetTexts();

private:
    // The start of a row's text, upper-cased. Rows that move take it along; a row that gets
    // other item data, and every row after a sort, starts without one.
    struct Prefix {
        static constexpr std::size_t kBytes = 7;
        char bytes[kBytes] = {};
        // 0: not asked yet; 1 + n: the whole text, n bytes; kLonger: the first kBytes of more.
        std::uint8_t code = 0;
        static constexpr std::uint8_t kLonger = kBytes + 2;
    };
    static Prefix PrefixOf(std::string_view upperText);
    static bool MayMatch(const Prefix& p, std::string_view text, bool bPrefix);

    void SortByLess(bool (*less)(const Row&, const Row&, void*), void* context);
    // Makes the lookup correct for every row from m_validFrom on.
    void Reindex() const;
    // Points the lookup at nRow unless an earlier row already holds the same data.
    void StoreFirst(LPARAM lParam, int nRow) const;
    int LookupRaw(LPARAM lParam) const;
    void Unlink(int nIndex);
    void NoteSelected(int nIndex);

    std::vector<Row> m_rows;
    int m_focused = -1;
    int m_selected = 0;
    // No row at or after this one is selected. A search for the next selected row after the last
    // one would otherwise walk every row below it, once per update of a large list...
    mutable int m_selectedEnd = 0;
    // ... and none before this one, for the search from the top for a row far down.
    mutable int m_selectedBegin = 0;
    // Item data -> row. Correct for rows below m_validFrom; later ones are renumbered on the next
    // lookup, so a run of deletions costs one renumbering, not one each. Record numbers are small
    // and dense, so they go in a vector; other values in a hash map.
    mutable std::vector<int> m_dense;
    mutable std::unordered_map<LPARAM, int> m_sparse;
    mutable int m_validFrom = 0;
    // By row; shorter than the rows until type-ahead first runs over them (appended rows have
    // none yet).
    std::vector<Prefix> m_prefixes;
};

template <class Compare>
void ListRows::Sort(Compare compare) {
    SortByLess(
        [](const Row& a, const Row& b, void* context) {
            return (*static_cast<Compare*>(context))(a.lParam, b.lParam) < 0;
        },
        &compare);
}
