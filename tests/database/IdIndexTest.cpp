#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "database/DeletedStack.h"
#include "database/IdIndex.h"
#include "database/IdLookup.h"
#include "platform/base/Mbcs.h"
#include "tests/support/TestSupport.h"

namespace {

// Keys drawn from a small alphabet so that equal IDs are common; some with double-byte
// characters and half-width katakana so that code order differs from byte order; and many of
// eight single bytes, which the index compares as packed numbers, beside their prefixes and
// longer keys, which it compares as text.
CString RandomKey(std::mt19937& rng) {
    static const char* const kPieces[] = {"A", "B", "a", "\xB1", "\x82\xA0", "\x81\x40", "0"};
    CString key;
    if (rng() % 2) {
        const int len = 7 + static_cast<int>(rng() % 3);
        for (int i = 0; i < len; ++i) key += "AB0"[rng() % 3];
        if (rng() % 8 == 0) key.SetAt(static_cast<int>(rng() % len), '\xB1');
        return key;
    }
    const int len = static_cast<int>(rng() % 4);
    for (int i = 0; i < len; ++i) key += kPieces[rng() % 7];
    return key;
}

// Checks order, ties in insertion order and lookups of the index against plain arithmetic.
void CheckAgainstLinear(const CIdIndex& index, const CIdKeys& keys,
                        const std::vector<int>& insertionOrder) {
    std::vector<int> expected = insertionOrder;
    std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
        return mbcs::Compare(keys.IdOf(a).View(), keys.IdOf(b).View()) < 0;
    });
    ASSERT_EQ(index.ToVector(), expected);
    for (int e : insertionOrder) {
        const int found = index.Find(keys.IdOf(e).View());
        ASSERT_NE(found, -1) << "missed a present key at size " << insertionOrder.size();
        EXPECT_EQ(keys.IdOf(found), keys.IdOf(e));
    }
    EXPECT_EQ(index.Find("zzz-not-there"), -1);
}

}  // namespace

TEST(IdIndex, MatchesALinearSearchForEverySizeUpTo1000) {
    std::mt19937 rng(7);
    for (int n = 0; n <= 1000; n += (n < 100 ? 1 : 37)) {
        CIdKeys keys;
        for (int i = 0; i < n; ++i) keys.Add(RandomKey(rng).View());

        CIdIndex built(&keys);
        built.Build(n);
        std::vector<int> fileOrder(n);
        for (int i = 0; i < n; ++i) fileOrder[i] = i;
        CheckAgainstLinear(built, keys, fileOrder);

        // One by one, in a shuffled order, gives the same as a sorted build of that order.
        std::vector<int> shuffled = fileOrder;
        std::shuffle(shuffled.begin(), shuffled.end(), rng);
        CIdIndex inserted(&keys);
        for (int e : shuffled) inserted.Insert(e);
        CheckAgainstLinear(inserted, keys, shuffled);
    }
    // A file's worth of member IDs only, many of them equal: built by their numbers alone.
    CIdKeys keys;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        char id[9];
        std::snprintf(id, sizeof id, "%c%c%c%05u", "ABz"[rng() % 3],
                      'A' + static_cast<int>(rng() % 2), 'Q',
                      static_cast<unsigned>(rng() % 3000) * 33);
        keys.Add(id);
    }
    CIdIndex built(&keys);
    built.Build(n);
    std::vector<int> fileOrder(n);
    for (int i = 0; i < n; ++i) fileOrder[i] = i;
    CheckAgainstLinear(built, keys, fileOrder);
}

TEST(IdIndex, RemovalsAcrossBlocksKeepOrderAndCounts) {
    CIdKeys keys;
    for (int i = 0; i < 5000; ++i) keys.Add(i % 3 ? "SAME" : "OTHER");
    CIdIndex index(&keys);
    for (int i = 0; i < 5000; ++i) index.Insert(i);
    std::vector<int> order;
    for (int i = 0; i < 5000; ++i) order.push_back(i);
    for (int i = 4999; i >= 0; i -= 2) {
        ASSERT_TRUE(index.Remove(i));
        order.erase(std::find(order.begin(), order.end(), i));
    }
    EXPECT_FALSE(index.Remove(4999));
    EXPECT_EQ(index.GetSize(), 2500);
    CheckAgainstLinear(index, keys, order);
    for (int e : order) ASSERT_TRUE(index.Remove(e));
    EXPECT_TRUE(index.IsEmpty());
    EXPECT_EQ(index.Find("SAME"), -1);
}

// A loaded file's index then changed every way a session changes it: entries inserted into full
// blocks, which split, single removals, a bulk removal; every lookup must still find its block.
TEST(IdIndex, LookupsHoldThroughSplitsRemovalsAndBulkRemovalsAfterABuild) {
    std::mt19937 rng(11);
    CIdKeys keys;
    const int loaded = 6000, added = 4000;
    for (int i = 0; i < loaded + added; ++i) keys.Add(RandomKey(rng).View());
    CIdIndex index(&keys);
    index.Build(loaded);
    std::vector<int> order(loaded);
    for (int i = 0; i < loaded; ++i) order[i] = i;
    std::vector<int> more(added);
    for (int i = 0; i < added; ++i) more[i] = loaded + i;
    std::shuffle(more.begin(), more.end(), rng);
    // Lookups between the changes too: what a lookup keeps of a block must follow its changes.
    const auto findsItsId = [&](int e) {
        const int found = index.Find(keys.IdOf(e).View());
        return found >= 0 && keys.IdOf(found) == keys.IdOf(e);
    };
    for (int e : more) {
        index.Insert(e);
        order.push_back(e);
        ASSERT_TRUE(findsItsId(e)) << e;
    }
    CheckAgainstLinear(index, keys, order);

    std::map<std::string, int> held;  // entries of each ID
    for (int e : order) ++held[keys.IdOf(e).Str()];
    for (int k = 0; k < 2000; ++k) {
        const std::size_t at = rng() % order.size();
        const int gone = order[at];
        ASSERT_TRUE(index.Remove(gone));
        order.erase(order.begin() + static_cast<std::ptrdiff_t>(at));
        ASSERT_EQ(findsItsId(gone), --held[keys.IdOf(gone).Str()] > 0) << gone;
    }
    CheckAgainstLinear(index, keys, order);

    index.RemoveIf([](int e) { return e % 3 == 0; });
    std::erase_if(order, [](int e) { return e % 3 == 0; });
    EXPECT_EQ(index.GetSize(), static_cast<int>(order.size()));
    CheckAgainstLinear(index, keys, order);
    // Member IDs that no entry holds fall between blocks or beyond the last: none is found.
    for (const char* absent : {"AAAA0000", "BBBBBBBB", "00000000", "zzzzzzzz"}) {
        const bool held =
            std::any_of(order.begin(), order.end(), [&](int e) { return keys.IdOf(e) == absent; });
        if (!held) {
            EXPECT_EQ(index.Find(absent), -1) << absent;
        }
    }
}

// The pickup list's lookup, through the table's growth: every ID finds the first entry that named
// it, a second entry of an ID is refused, an ID never added is not found, and after RemoveAll
// nothing is.
TEST(IdLookup, FindsTheFirstEntryOfEveryIdThroughGrowthAndRefusesRepeats) {
    std::mt19937 rng(5);
    CIdKeys keys;
    CIdLookup lookup(&keys);
    std::map<std::string, int> first;
    for (int e = 0; e < 20000; ++e) {
        // Member IDs close together, as a list of members is, beside text IDs and repeats.
        char id[9];
        std::snprintf(id, sizeof id, "ABC%05d", static_cast<int>(rng() % 30000));
        const CString text = rng() % 4 ? CString(id) : RandomKey(rng);
        keys.Add(text.View());
        const bool added = first.emplace(text.Str(), e).second;
        ASSERT_EQ(lookup.Insert(e), added ? TRUE : FALSE) << text.Str();
    }
    EXPECT_EQ(lookup.GetSize(), static_cast<int>(first.size()));
    for (const auto& [text, entry] : first) ASSERT_EQ(lookup.Find(text), entry) << text;
    for (int n = 30000; n < 30100; ++n) EXPECT_EQ(lookup.Find("ABC" + std::to_string(n)), -1);
    EXPECT_EQ(lookup.Find("never added"), -1);
    lookup.RemoveAll();
    EXPECT_TRUE(lookup.IsEmpty());
    EXPECT_EQ(lookup.Find(first.begin()->first), -1);

    // Enough member IDs that some share a slot's hash (tens of them in 300,000): each still
    // finds its own entry, and a repeat of either is refused.
    CIdKeys many;
    CIdLookup big(&many);
    for (int e = 0; e < 300000; ++e) {
        char id[9];
        std::snprintf(id, sizeof id, "%c%cQ%05d", 'A' + e / 100000, 'A' + e / 10000 % 10,
                      e % 100000);
        many.Add(id);
        ASSERT_TRUE(big.Insert(e)) << id;
    }
    for (int e = 0; e < 300000; ++e) ASSERT_EQ(big.Find(many.IdOf(e).View()), e);
    many.Add(many.IdOf(123456).View());
    EXPECT_FALSE(big.Insert(300000));
}

TEST(DeletedStack, PopsMostRecentFirstAndTakesOutTheLatestOfAnId) {
    CIdKeys keys;
    for (const char* id : {"", "AAA00001", "BBB00002", "AAA00001", "CCC00003", "text id"})
        keys.Add(id);
    CIdKeys::Key key = 0;
    auto keyOf = [&](const char* id) { return keys.FindKey(id, key) ? key : CIdKeys::kText; };
    CDeletedStack stack(&keys);
    for (int r = 1; r <= 4; ++r) stack.Push(r);
    EXPECT_EQ(stack.Pop(), 4);
    stack.Push(4);
    EXPECT_EQ(stack.TakeLatestWithKey(keyOf("AAA00001")), 3);
    EXPECT_EQ(stack.TakeLatestWithKey(keyOf("ZZZ00000")), -1);
    EXPECT_EQ(stack.ToVector(), (std::vector<int>{4, 2, 1}));
    // Pushed once the lookup by ID is made, a record is found by it too.
    stack.Push(5);
    EXPECT_EQ(stack.TakeLatestWithKey(keyOf("text id")), 5);
    EXPECT_EQ(stack.Pop(), 4);
    EXPECT_EQ(stack.TakeLatestWithKey(keyOf("BBB00002")), 2);
    EXPECT_EQ(stack.Pop(), 1);
    EXPECT_EQ(stack.Pop(), -1);
    EXPECT_EQ(stack.TakeLatestWithKey(keyOf("AAA00001")), -1);
    EXPECT_TRUE(stack.IsEmpty());
}

TEST(IdKeys, PackedAndTextKeysCompareAsTheirTextsAndReadBackWhole) {
    const std::vector<std::string> ids = {"ABC12345",
                                          "ABC1234",
                                          "ABC123456",
                                          "ABC1234\x7F",
                                          std::string("ABC1234\0", 8),
                                          "abc12345",
                                          "ABC1234\xB1",
                                          "\x82\xA0"
                                          "C12345",
                                          "",
                                          "ZZZ99999",
                                          "\xB1\xB1"};
    CIdKeys keys;
    std::vector<CIdKeys::Key> made;
    for (const std::string& id : ids) made.push_back(keys.KeyFor(id));
    auto sign = [](int c) { return (c > 0) - (c < 0); };
    for (std::size_t a = 0; a < ids.size(); ++a) {
        char buf[8];
        EXPECT_EQ(std::string(keys.Text(made[a], buf)), ids[a]);
        // A text ID is kept once: asked again, the same key.
        EXPECT_EQ(keys.KeyFor(ids[a]), made[a]);
        for (std::size_t b = 0; b < ids.size(); ++b)
            EXPECT_EQ(sign(keys.Compare(made[a], made[b])), sign(mbcs::Compare(ids[a], ids[b])))
                << a << " " << b;
    }
    CIdKeys::Key key = 0;
    EXPECT_TRUE(keys.FindKey("QQQ00000", key));  // any member ID has its key, added or not
    EXPECT_FALSE(keys.FindKey("never added", key));
    EXPECT_FALSE(CIdKeys::Pack("ABC1234\x80", key));
}
