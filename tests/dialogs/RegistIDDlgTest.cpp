// The registration dialog worked by control id over a document fed with picked-up text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/RegistIDDlg.h"
#include "document/VelkonDoc.h"
#include "platform/gui/application/CWinApp.h"
#include "platform/gui/dialog/DialogControls.h"
#include "platform/gui/window/UiHooks.h"
#include "res/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

constexpr const char* kInvalidID =
    "新規IDの入力エラーです。\nIDは英文字3文字と数字5文字でなければなりません。\n\n例 ： ABC12345";

class RegistIDDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
        app.emplace("Velkon95");
        app->SetRegistryKey("Brambl Free Software");
        doc = std::make_unique<CVelkonDoc>();
        doc->OnNewDocument();
    }
    void TearDown() override {
        doc.reset();
        afx_ui::ProcessEvents();
    }
    // Lines as the clipboard would bring them, UTF-8.
    void Pick(const char* utf8) {
        CString buffer = Sjis(utf8);
        doc->PickupText(buffer);
    }
    static std::vector<std::string> Entries(CDialog* d, int id) {
        std::vector<std::string> entries;
        const auto n = d->SendDlgItemMessage(id, CB_GETCOUNT);
        for (int i = 0; i < n; ++i) {
            std::string buffer(
                static_cast<std::size_t>(d->SendDlgItemMessage(id, CB_GETLBTEXTLEN, i)) + 1, '\0');
            d->SendDlgItemMessage(id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
            buffer.resize(buffer.size() - 1);
            entries.push_back(Utf8(CString(std::move(buffer))));
        }
        return entries;
    }
    static int Selection(CDialog* d, int id) {
        return static_cast<int>(d->SendDlgItemMessage(id, CB_GETCURSEL));
    }
    // Opens the dialog, runs `step` in it and closes it with its close button.
    void Run(const std::function<void(CDialog*)>& step) {
        CRegistIDDlg dlg(doc.get());
        DialogScript script;
        script.Then([&](CDialog* d) {
            step(d);
            Click(d, IDCANCEL);
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(script.Shown(), 1);
    }
    std::string Handle(const char* id) {
        const int r = doc->FindID(id);
        return r < 0 ? "(none)" : Utf8(doc->m_astrHandle[r]);
    }

    TempDir dir;
    std::optional<CWinApp> app;
    std::unique_ptr<CVelkonDoc> doc;
    FakeClock clock{1'796'691'600};
};

using Strings = std::vector<std::string>;

}  // namespace

TEST_F(RegistIDDlgTest, OffersUnregisteredPickupsSortedWithTheLatestArrivalSelected) {
    Pick(
        "XYZ00001 Zed\r\nABC00002 Amy\r\nDEF00009 Dan\r\nKLM00003 sky\r\nKLM00003 Blue\r\n"
        "KLM00003 青い　空\r\nKLM00003 apple\r\n");
    ASSERT_TRUE(doc->AddNewID("DEF00009", ""));
    Run([&](CDialog* d) {
        // Typing goes into the ID field straight away.
        EXPECT_EQ(FocusedId(d), IDC_NEW_ID);
        EXPECT_EQ(Entries(d, IDC_NEW_ID), (Strings{"ABC00002", "KLM00003", "XYZ00001"}));
        EXPECT_EQ(Selection(d, IDC_NEW_ID), 1);
        EXPECT_EQ(Shown(d, IDC_NEW_ID), "KLM00003");
        EXPECT_EQ(d->SendDlgItemMessage(IDC_NEW_ID, CB_GETITEMDATA, 1), 3);  // its pickup number
        // Letters without regard to case, double-byte text after them.
        EXPECT_EQ(Entries(d, IDC_NEW_HANDLE), (Strings{"apple", "Blue", "sky", "青い　空"}));
        EXPECT_EQ(Shown(d, IDC_NEW_HANDLE), "apple");

        PickRow(d, IDC_NEW_ID, 2);
        EXPECT_EQ(Shown(d, IDC_NEW_ID), "XYZ00001");
        EXPECT_EQ(Entries(d, IDC_NEW_HANDLE), Strings{"Zed"});
        EXPECT_EQ(Shown(d, IDC_NEW_HANDLE), "Zed");
    });
}

TEST_F(RegistIDDlgTest, EachRegistrationTakesTheOfferAndMovesTheSelection) {
    Pick("AAA00001 One\r\nBBB00002 Two\r\nCCC00003 Three\r\nCCC00003 Trois\r\nDDD00004\r\n");
    MessageBoxAnswerer boxes(IDOK);
    Run([&](CDialog* d) {
        ASSERT_EQ(Shown(d, IDC_NEW_ID), "DDD00004");
        EXPECT_EQ(Entries(d, IDC_NEW_HANDLE), Strings{});  // seen without a handle

        // The last entry: the selection goes to the new last one, with its handles.
        Click(d, IDOK);
        EXPECT_EQ(Handle("DDD00004"), "");
        EXPECT_EQ(Entries(d, IDC_NEW_ID), (Strings{"AAA00001", "BBB00002", "CCC00003"}));
        EXPECT_EQ(Selection(d, IDC_NEW_ID), 2);
        EXPECT_EQ(Shown(d, IDC_NEW_ID), "CCC00003");
        EXPECT_EQ(Entries(d, IDC_NEW_HANDLE), (Strings{"Three", "Trois"}));
        EXPECT_EQ(FocusedId(d), IDC_NEW_ID);

        // A middle entry, with a handle typed over the offered one: the next entry takes its place.
        PickRow(d, IDC_NEW_ID, 0);
        Retype(d, IDC_NEW_HANDLE, "Uno");
        Click(d, IDOK);
        EXPECT_EQ(Handle("AAA00001"), "Uno");
        EXPECT_EQ(Entries(d, IDC_NEW_ID), (Strings{"BBB00002", "CCC00003"}));
        EXPECT_EQ(Shown(d, IDC_NEW_ID), "BBB00002");
        EXPECT_EQ(Shown(d, IDC_NEW_HANDLE), "Two");

        Click(d, IDOK);
        Click(d, IDOK);
        EXPECT_EQ(Handle("CCC00003"), "Three");
        // The only entry gone: both lists and both fields empty.
        EXPECT_EQ(Entries(d, IDC_NEW_ID), Strings{});
        EXPECT_EQ(Shown(d, IDC_NEW_ID), "");
        EXPECT_EQ(Shown(d, IDC_NEW_HANDLE), "");
    });
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(doc->m_anSortIndex.GetSize(), 4);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(RegistIDDlgTest, TypedIDsAreUpperCasedAndMalformedOnesRefused) {
    MessageBoxAnswerer boxes(IDOK);
    Run([&](CDialog* d) {
        EXPECT_EQ(Entries(d, IDC_NEW_ID), Strings{});
        std::size_t shown = 0;
        for (const char* bad :
             {"abc1234", "AB123456", "ABCD1234", "ABC1234X", "ABC123456", "", "ＡＢＣ12345"}) {
            Retype(d, IDC_NEW_ID, bad);
            Retype(d, IDC_NEW_HANDLE, "Blue");
            Click(d, IDOK);
            ASSERT_EQ(boxes.Texts().size(), ++shown) << bad;
            EXPECT_EQ(boxes.Texts().back(), kInvalidID);
            EXPECT_EQ(Shown(d, IDC_NEW_ID), bad);  // the dialog keeps what was typed
            EXPECT_EQ(FocusedId(d), IDC_NEW_ID);
        }
        Retype(d, IDC_NEW_ID, "abc12345");
        Retype(d, IDC_NEW_HANDLE, "");
        Click(d, IDOK);
    });
    EXPECT_EQ(doc->m_anSortIndex.GetSize(), 1);
    EXPECT_EQ(Handle("ABC12345"), "");  // an empty handle is stored as such
    EXPECT_EQ(doc->FindID("abc12345"), -1);
}

TEST_F(RegistIDDlgTest, AnIDRegisteredMeanwhileIsReportedAndItsOfferStillGoes) {
    Pick("ABC00002 Amy\r\nKLM00003 Kay\r\n");
    ASSERT_TRUE(doc->AddNewID("OLD00001", "Old"));
    MessageBoxAnswerer boxes(IDOK);
    Run([&](CDialog* d) {
        ASSERT_TRUE(doc->AddNewID("KLM00003", "Other"));  // say, through the API
        Click(d, IDOK);
        ASSERT_EQ(boxes.Texts().size(), 1u);
        EXPECT_EQ(boxes.Texts()[0], "新規ID： KLM00003 は既に登録されています。");
        EXPECT_EQ(Entries(d, IDC_NEW_ID), Strings{"ABC00002"});
        EXPECT_EQ(Shown(d, IDC_NEW_ID), "ABC00002");
        EXPECT_EQ(Shown(d, IDC_NEW_HANDLE), "Amy");
        EXPECT_EQ(FocusedId(d), IDC_NEW_ID);

        // Typed in lower case, reported upper-cased; the offers stay as they are.
        Retype(d, IDC_NEW_ID, "old00001");
        Click(d, IDOK);
        ASSERT_EQ(boxes.Texts().size(), 2u);
        EXPECT_EQ(boxes.Texts()[1], "新規ID： OLD00001 は既に登録されています。");
        EXPECT_EQ(Entries(d, IDC_NEW_ID), Strings{"ABC00002"});
    });
    EXPECT_EQ(Handle("KLM00003"), "Other");
    EXPECT_EQ(Handle("OLD00001"), "Old");
}

// The pickup list can be emptied and filled anew (by the API) while the dialog is open: an
// entry's pickup number then names another ID, or none at all.
TEST_F(RegistIDDlgTest, HandlesStayWithTheirIDWhenThePickupListIsRedoneMeanwhile) {
    Pick("ABC00002 Amy\r\nKLM00003 Kay\r\n");
    MessageBoxAnswerer boxes(IDOK);
    Run([&](CDialog* d) {
        doc->ClearPickup();
        PickRow(d, IDC_NEW_ID, 0);
        EXPECT_EQ(Shown(d, IDC_NEW_ID), "ABC00002");
        EXPECT_EQ(Entries(d, IDC_NEW_HANDLE), Strings{});

        Pick("KLM00003 Ken\r\nABC00002 Abe\r\n");  // pickup numbers swapped
        PickRow(d, IDC_NEW_ID, 1);
        EXPECT_EQ(Entries(d, IDC_NEW_HANDLE), Strings{"Ken"});
        Click(d, IDOK);
        EXPECT_EQ(Shown(d, IDC_NEW_ID), "ABC00002");
        EXPECT_EQ(Entries(d, IDC_NEW_HANDLE), Strings{"Abe"});
    });
    EXPECT_EQ(Handle("KLM00003"), "Ken");
    EXPECT_TRUE(boxes.Texts().empty());
}
