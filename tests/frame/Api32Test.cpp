// The 32-bit functions through a mapping duplicated into the program: fields whole, four-digit
// dates, the version from the program file, and mappings that are missing or too small. Every
// mapping the program is given is closed again, whatever the function did with it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "dialogs/PersonalDataDlg.h"
#include "tests/frame/ApiFixture.h"
#include "tests/support/DialogDriver.h"

using testing_support::Sjis;
using testing_support::Utf8;

namespace {
const CTime kJan5(1997, 1, 5, 12, 0, 0);
const CTime kFeb10(1997, 2, 10, 8, 0, 0);

std::vector<char> IdBlock(const char* id, std::size_t size = idapi_block::kSize) {
    std::vector<char> block(size, '\0');
    std::memcpy(block.data(), id, std::min(size, std::strlen(id)));
    return block;
}
}  // namespace

TEST_F(ApiTest, VersionComesFromTheProgramFile) {
    int major = 0, minor = 0, release = 0;
    ASSERT_TRUE(client.GetVersion(major, minor, release));
    EXPECT_EQ(major, 3);
    EXPECT_EQ(minor, 4);
    EXPECT_EQ(release, 13);
    std::vector<char> tooSmall(11, 'x');
    EXPECT_EQ(Send32(IDAPI_GETVERSION, tooSmall), 0);
    EXPECT_EQ(std::string(tooSmall.begin(), tooSmall.end()), std::string(11, 'x'));
}

TEST_F(ApiTest, RegisterGetSetDeleteRestore) {
    velkon_client::Fields fields;
    fields.handle = Sjis("青い空");
    fields.memo[0] = "0123456789abcdefghijKLMNO";
    fields.memo[5] = "six";
    EXPECT_NE(client.Register("ABC12345", fields).value, 0);
    EXPECT_EQ(client.Register("ABC12345", fields).value, 0);
    EXPECT_TRUE(doc->IsModified());
    // The ID is not checked against the ID form.
    EXPECT_NE(client.Register("not an id", {}).value, 0);

    velkon_client::Fields got;
    ASSERT_TRUE(client.GetData("ABC12345", got));
    EXPECT_EQ(got.handle, fields.handle);
    EXPECT_EQ(Utf8(got.memo[0]), "0123456789abcdefghijKLMNO");
    EXPECT_EQ(Utf8(got.memo[5]), "six");
    EXPECT_EQ(got.count, 1);
    EXPECT_EQ(got.registDate.GetLength(), 10);

    fields.handle = "Red";
    ASSERT_TRUE(client.SetData("ABC12345", fields));
    EXPECT_EQ(Utf8(doc->m_astrHandle[doc->FindID("ABC12345")]), "Red");
    EXPECT_EQ(client.SetData("XYZ00000", fields).value, 0);
    EXPECT_EQ(doc->FindID("XYZ00000"), -1);

    EXPECT_EQ(client.Exists("ABC12345").value, 1);
    EXPECT_EQ(client.Delete("ABC12345").value, 1);
    EXPECT_EQ(client.Delete("ABC12345").value, 0);
    EXPECT_EQ(client.Exists("ABC12345").value, 0);
    EXPECT_EQ(client.Restore().value, 1);
    EXPECT_EQ(client.Exists("ABC12345").value, 1);
    EXPECT_EQ(client.Restore().value, 1);  // nothing left to restore
}

TEST_F(ApiTest, GetDataReportsThePreviousUpdateDateWithFourDigitYears) {
    const int r = AddRecord("ABC12345", "Blue", 3, kJan5, kFeb10);
    doc->m_atimeUpdate[r] = CTime(1997, 3, 1, 0, 0, 0);
    velkon_client::Fields got;
    ASSERT_TRUE(client.GetData("ABC12345", got));
    EXPECT_EQ(Utf8(got.registDate), "1997/01/05");
    EXPECT_EQ(Utf8(got.prevUpdateDate), "1997/02/10");
    EXPECT_EQ(got.count, 3);
    CString text;
    ASSERT_TRUE(client.GetText16(WM_IDAPI_GETUPDATEDATE, "ABC12345", text));
    EXPECT_EQ(Utf8(text), "97/03/01");
}

TEST_F(ApiTest, LongFieldsAreCutAtACharacterBoundaryInsideTheirSlot) {
    const int r = AddRecord("ABC12345", "", 1, kJan5, kFeb10);
    // 127 double-byte characters and one more: the last would cross byte 255.
    CString handle;
    for (int i = 0; i < 128; ++i) handle += Sjis("あ");
    doc->m_astrHandle[r] = "x" + handle;
    doc->m_astrMemo1[r] = CString('m', 600);
    std::vector<char> block = IdBlock("ABC12345");
    std::memset(block.data() + idapi_block::kHandle, 'z',
                idapi_block::kSize - idapi_block::kHandle);
    ASSERT_EQ(Send32(IDAPI_GETDATA, block), 1);
    const char* slot = block.data() + idapi_block::kHandle;
    EXPECT_EQ(std::strlen(slot), 1u + 2 * 127);
    EXPECT_EQ(std::strlen(block.data() + idapi_block::Memo(1)), 255u);
    // Texts the client sends without a zero byte end at their slot.
    std::vector<char> set = IdBlock("ABC12345");
    std::memset(set.data() + idapi_block::kHandle, 'h', idapi_block::kSlot);
    ASSERT_EQ(Send32(IDAPI_SETDATA, set), 1);
    EXPECT_EQ(doc->m_astrHandle[r], CString('h', 255));  // as many as the editor keeps
}

TEST_F(ApiTest, IdsTheFileCouldNotKeepAreNotRegistered) {
    // A leading "*" makes a comment line; a tab, CR or LF would change the ID in the file.
    for (const char* id : {"*STAR001", "AB\tC0001", "AB\rC0001", "AB\nC0001"}) {
        EXPECT_EQ(client.Register(id, {}).value, 0) << id;
        EXPECT_EQ(client.SetRecord16(id, CString(id) + "\tRed").value, 0) << id;
    }
    EXPECT_EQ(doc->GetRecordCount(), 0);
    EXPECT_FALSE(doc->IsModified());
    // Anything else the file keeps is taken, form or not; it comes back from the file as it was.
    ASSERT_NE(client.Register("x*y ", {}).value, 0);
    ASSERT_TRUE(client.SetRecord16("", "\tEmpty"));
    const std::string path = dir.File("ids.lst");
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    CVelkonDoc loaded;
    ASSERT_TRUE(loaded.OnOpenDocument(path.c_str()));
    ASSERT_EQ(loaded.GetRecordCount(), 2);
    EXPECT_EQ(loaded.m_astrID[0], "x*y ");
    EXPECT_EQ(loaded.m_astrID[1], "");
    EXPECT_EQ(loaded.m_astrHandle[1], "Empty");
}

TEST_F(ApiTest, MappingsSmallerThanTheBlockFailWhereTheWholeBlockIsNeeded) {
    AddRecord("ABC12345", "Blue", 3, kJan5, kFeb10);
    doc->SetModifiedFlag(FALSE);
    for (WPARAM code : {IDAPI_GETCAPTIONS, IDAPI_REGISTER, IDAPI_SETDATA, IDAPI_GETDATA}) {
        std::vector<char> block = IdBlock("ABC12345", idapi_block::kSize - 1);
        EXPECT_EQ(Send32(code, block), 0) << code;
        std::vector<char> one = IdBlock("A", 1);
        EXPECT_EQ(Send32(code, one), 0) << code;
    }
    // Functions that read only the ID take any mapping that holds it.
    std::vector<char> exact = IdBlock("ABC12345", 8);
    EXPECT_EQ(Send32(IDAPI_EXISTS, exact), 1);
    std::vector<char> cut = IdBlock("ABC12345", 7);
    EXPECT_EQ(Send32(IDAPI_EXISTS, cut), 0);
    // The mask after the block belongs to IDAPI_SETFIELDS's block.
    std::vector<char> noMask = IdBlock("ABC12345", idapi_block::kSetFieldsSize - 1);
    EXPECT_EQ(Send32(IDAPI_SETFIELDS, noMask), 0);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Utf8(doc->m_astrHandle[doc->FindID("ABC12345")]), "Blue");
}

TEST_F(ApiTest, PickupOfATextWithoutLineEnd) {
    AddRecord("ABC12345", "Blue", 3, kJan5, kFeb10);
    ASSERT_TRUE(client.PickupText("ABC12345 Red"));
    EXPECT_EQ(client.PickedUp("ABC12345").value, 1);
    EXPECT_EQ(client.PickedUp("XYZ12345").value, 0);
    // A text with no zero byte runs to the end of the mapping.
    std::vector<char> text = IdBlock("x XYZ12345 Green", 16);
    EXPECT_EQ(Send32(IDAPI_PICKUPTEXT, text), 1);
    EXPECT_EQ(client.PickedUp("XYZ12345").value, 1);
    EXPECT_EQ(Utf8((*doc->m_aPickupHandles[doc->FindPickup("XYZ12345")])[0]), "Green");
    EXPECT_EQ(client.PickupRedo().value, 1);
    EXPECT_EQ(doc->m_astrPickupID.GetSize(), 0);
}

TEST_F(ApiTest, CaptionsAllAtOnce) {
    std::array<CString, 7> captions;
    ASSERT_TRUE(client.GetCaptions(captions));
    EXPECT_EQ(Utf8(captions[0]), "ハンドル");
    EXPECT_EQ(Utf8(captions[4]), "職業");
}

TEST_F(ApiTest, UnknownCodesChangeNothingAndLeaveTheirHandleAlone) {
    AddRecord("ABC12345", "Blue", 3, kJan5, kFeb10);
    doc->SetModifiedFlag(FALSE);
    const HANDLE mine =
        ::CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, nullptr);
    for (WPARAM code : {3u, 9u, 16u, 19u, 23u, 0xFFFFFFFFu}) {
        EXPECT_EQ(frame->SendMessage(WM_IDAPI32, code, reinterpret_cast<LPARAM>(mine)), 0);
    }
    EXPECT_TRUE(::CloseHandle(mine));
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(ApiTest, EveryMappingIsClosedAlsoOnFailure) {
    AddRecord("ABC12345", "Blue", 3, kJan5, kFeb10);
    const std::size_t objects = afx_kernel::OpenObjectCount();
    const std::size_t views = afx_kernel::MappedViewCount();
    for (WPARAM code :
         {IDAPI_GETVERSION, IDAPI_GETCAPTIONS, IDAPI_EDITDATA, IDAPI_REGISTER, IDAPI_DELETE,
          IDAPI_SETDATA, IDAPI_GETDATA, IDAPI_EXISTS, IDAPI_PICKUPTEXT, IDAPI_PICKEDUP}) {
        std::vector<char> one = IdBlock("X", 1);
        Send32(code, one);
        std::vector<char> whole = IdBlock("ABC12345");
        Send32(code, whole);
        // A handle that is not a mapping of ours.
        EXPECT_EQ(frame->SendMessage(WM_IDAPI32, code, 0x7777), 0);
    }
    EXPECT_EQ(afx_kernel::OpenObjectCount(), objects);
    EXPECT_EQ(afx_kernel::MappedViewCount(), views);
}

TEST_F(ApiTest, EditDataOpensAnotherEditorOnEveryCall) {
    AddRecord("ABC12345", "Blue", 3, kJan5, kFeb10);
    EXPECT_EQ(client.EditData("XYZ00000").value, 0);
    const auto first = client.EditData("ABC12345").value;
    const auto second = client.EditData("ABC12345").value;
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second);
    for (const auto value : {first, second}) {
        const HWND hWnd = reinterpret_cast<HWND>(static_cast<intptr_t>(value));
        ASSERT_TRUE(::IsWindow(hWnd));
        CWnd* editor = CWnd::FromHandle(hWnd);
        EXPECT_EQ(editor->GetWindowText(), CString("ABC12345 - ") + Sjis("ﾊﾟｰｿﾅﾙﾃﾞｰﾀの編集"));
        editor->DestroyWindow();
    }
    afx_ui::ProcessEvents();
}

// The frame gathers the list's captions for the editor while the request runs; the editor must
// hold its own copies, since what the frame gathered them in is gone when the request returns,
// and the list's captions may change while the editor is open.
TEST_F(ApiTest, EditDataLabelsTheEditorWithCaptionsItKeeps) {
    AddRecord("ABC12345", "Blue", 3, kJan5, kFeb10);
    auto* view = dynamic_cast<CVelkonView*>(frame->GetActiveView());
    ASSERT_NE(view, nullptr);
    std::snprintf(view->m_szCaption[1], 256, "Nick");
    std::snprintf(view->m_szCaption[7], 256, "%s", Sjis("趣味").GetString());
    const auto value = client.EditData("ABC12345").value;
    ASSERT_NE(value, 0);
    auto* editor = dynamic_cast<CPersonalDataDlg*>(
        CWnd::FromHandle(reinterpret_cast<HWND>(static_cast<intptr_t>(value))));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(testing_support::Shown(editor, IDC_LABEL_HANDLE), "Nick :");
    EXPECT_EQ(testing_support::Shown(editor, IDC_LABEL_MEMO6), "趣味 :");
    std::snprintf(view->m_szCaption[1], 256, "Handle");
    ASSERT_TRUE(editor->m_captions.has_value());
    EXPECT_EQ((*editor->m_captions)[0], "Nick");
    EXPECT_EQ((*editor->m_captions)[6], Sjis("趣味"));
    editor->DestroyWindow();
    afx_ui::ProcessEvents();
}
