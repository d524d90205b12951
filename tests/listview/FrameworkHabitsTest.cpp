// What users had on the original system without a line of the program's code, in the program's
// own window: type-ahead in the ID list, a column fitted by a double click on its header divider,
// F10 into the menu bar, the framework's icons in message boxes, and its file dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QShortcut>
#include <QTimer>
#include <utility>
#include <vector>

#include "platform/gui/drawing/CDC.h"
#include "res/resource.h"
#include "tests/listview/ListViewFixture.h"

using testing_support::Sjis;
using namespace listview_test;

namespace {

// Shown sorted by ID: ABC12345, HGF03421, NIF55555, PCV77001, XYZ00001 (the current record).
const std::vector<Record> kFive = {
    {"ABC12345", "青い空", 1, "1997/05/03", "1998/01/15"},
    {"HGF03421", "Blue Sky", 2, "1997/05/03", "1998/01/15"},
    {"PCV77001", "ねこまる", 3, "1997/05/03", "1998/01/15"},
    {"NIF55555", "ｶﾀｶﾅ", 4, "1997/05/03", "1998/01/15"},
    {"XYZ00001", "Yamada", 5, "1997/05/03", "1998/01/15"},
};

void PressKey(QWidget* w, int key, const QString& text, quint64 at = 0) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    press.setTimestamp(at);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    release.setTimestamp(at);
    QApplication::sendEvent(w, &release);
}

class HabitsTest : public ListViewTest {
protected:
    QWidget* List() const { return view->GetWidget(); }
    // Characters typed into the list 50 ms apart, from `at` milliseconds on.
    void Type(const char* utf8, quint64 at) const {
        const QString chars = QString::fromUtf8(utf8);
        for (qsizetype i = 0; i < chars.size(); ++i)
            PressKey(List(), chars.at(i).toUpper().unicode(), chars.mid(i, 1),
                     at + 50 * static_cast<quint64>(i));
    }
    int ColumnWidth(int position) const {
        LVCOLUMN column;
        column.mask = LVCF_WIDTH;
        return view->GetListCtrl().GetColumn(position, &column) ? column.cx : -1;
    }
    void DoubleClickDivider(int section) const {
        auto* header = List()->findChild<QHeaderView*>();
        ASSERT_NE(header, nullptr);
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) - 1,
                        header->height() / 2);
        const QPoint global = header->viewport()->mapToGlobal(at);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            const bool down = type != QEvent::MouseButtonRelease;
            QMouseEvent event(type, at, global, Qt::LeftButton,
                              down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(header->viewport(), &event);
        }
    }
};

// While it lives, message boxes show on screen (offscreen here) instead of going to a hook.
class OnScreenBoxes {
public:
    OnScreenBoxes() : m_previous(AfxSetMessageBoxHook(nullptr)) {}
    ~OnScreenBoxes() { AfxSetMessageBoxHook(std::move(m_previous)); }

private:
    AfxMessageBoxHook m_previous;
};

}  // namespace

TEST_F(HabitsTest, TypingTheStartOfAnIdMakesItsRecordTheCurrentOne) {
    Open(kFive);
    Type("n", 1000);
    EXPECT_EQ(FocusedRecord(), 3);
    EXPECT_EQ(Selected(), (std::vector<int>{3}));
    EXPECT_EQ(view->m_nCurrent, 3);
    Type("pc", 3000);
    EXPECT_EQ(view->m_nCurrent, 2);
    Type("hgf0", 5000);
    EXPECT_EQ(view->m_nCurrent, 1);
}

TEST_F(HabitsTest, TypeAheadGoesByTheFirstColumnShownAndItsTextsAsTheyAreNow) {
    Open(kFive);
    // The handle as the first column, as the options page would put it.
    std::swap(view->m_aColumn[0], view->m_aColumn[1]);
    view->RebuildColumns();
    Type("b", 1000);
    EXPECT_EQ(view->m_nCurrent, 1);
    Type("ｶ", 3000);
    EXPECT_EQ(view->m_nCurrent, 3);

    Type("q", 4000);  // no handle starts with it: every row's text seen

    // A record rewritten by the editor or another program is found by its new text.
    doc->m_astrHandle[4] = "Zed";
    doc->m_nLastChanged = 4;
    doc->UpdateAllViews(nullptr, HINT_SAVED);
    Type("z", 6000);
    EXPECT_EQ(view->m_nCurrent, 4);
    doc->m_astrHandle[0] = "Ziggy";
    doc->m_nLastChanged = -1;  // as after a save: every row may have changed
    doc->UpdateAllViews(nullptr, HINT_SAVED);
    Type("z", 8000);
    EXPECT_EQ(view->m_nCurrent, 0);
}

TEST_F(HabitsTest, ColumnFittedByADoubleClickOnItsDividerIsTheWidthWrittenAtExit) {
    Open(kFive);
    afx_ui::ProcessEvents();
    DoubleClickDivider(0);
    const int fitted = ColumnWidth(0);
    EXPECT_NE(fitted, DefaultWidth());
    // Drawn beside the pickup flag, every ID keeps all its characters.
    CDC dc;
    dc.SelectObject(&view->m_font);
    for (int r = 0; r < doc->GetRecordCount(); ++r) {
        CString shown = doc->m_astrID[r];
        CListViewEx::FitText(&dc, shown, fitted - 2 - 16 - 2);
        EXPECT_EQ(shown, doc->m_astrID[r]);
    }
    StopApp();
    StartApp();
    Reattach();
    EXPECT_EQ(view->m_aColumn[0].cx, fitted);
}

TEST_F(HabitsTest, F10AloneTakesTheKeyboardIntoTheMenuBarAndBack) {
    Open(kFive);
    QMainWindow* window = frame->GetMainWindow();
    window->activateWindow();
    List()->setFocus();
    afx_ui::ProcessEvents();
    ASSERT_EQ(QApplication::focusWidget(), List());
    QShortcut* f10 = nullptr;
    for (QShortcut* s : window->findChildren<QShortcut*>())
        if (s->key() == QKeySequence(Qt::Key_F10)) f10 = s;
    ASSERT_NE(f10, nullptr);
    QMenuBar* bar = window->menuBar();

    // Whether a title is drawn in the highlight colour, as an open menu's is.
    auto marked = [bar](int index) {
        const QImage title = bar->grab(bar->actionGeometry(bar->actions().value(index))).toImage();
        const QColor highlight = bar->palette().color(QPalette::Highlight);
        int n = 0;
        for (int y = 0; y < title.height(); ++y)
            for (int x = 0; x < title.width(); ++x)
                if (title.pixelColor(x, y) == highlight) ++n;
        return n > title.width() * title.height() / 4;
    };

    // The first menu's title marked, not opened; F10 again, or Esc, gives the keyboard back.
    EXPECT_FALSE(marked(0));
    Q_EMIT f10->activated();
    EXPECT_EQ(QApplication::focusWidget(), bar);
    EXPECT_EQ(bar->activeAction(), bar->actions().value(0));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(marked(0));
    Q_EMIT f10->activated();
    EXPECT_EQ(QApplication::focusWidget(), List());
    EXPECT_FALSE(marked(0));
    Q_EMIT f10->activated();
    PressKey(bar, Qt::Key_Escape, QString());
    EXPECT_EQ(QApplication::focusWidget(), List());

    // In the bar a menu's letter opens it, and an item's letter there carries it out:
    // 表示(&V), ﾋﾟｯｸｱｯﾌﾟIDのみ(&P).
    Q_EMIT f10->activated();
    PressKey(bar, Qt::Key_Right, QString());
    EXPECT_EQ(bar->activeAction(), bar->actions().value(1));
    PressKey(bar, Qt::Key_V, "v");
    QWidget* menu = QApplication::activePopupWidget();
    ASSERT_NE(menu, nullptr);
    PressKey(menu, Qt::Key_P, "p");
    EXPECT_TRUE(view->m_bOnlyPickup);
    EXPECT_EQ(QApplication::focusWidget(), List());
}

TEST_F(HabitsTest, MessageBoxesWithoutAnIconShowTheFrameworksOwn) {
    OnScreenBoxes onScreen;
    const std::pair<UINT, QMessageBox::Icon> cases[] = {
        {MB_OK, QMessageBox::Warning},
        {MB_OKCANCEL, QMessageBox::Warning},
        {MB_YESNO, QMessageBox::Question},
        {MB_YESNOCANCEL, QMessageBox::Question},
        // An icon asked for is the one shown.
        {MB_OK | MB_ICONQUESTION, QMessageBox::Question},
        {MB_YESNOCANCEL | MB_ICONEXCLAMATION, QMessageBox::Warning},
    };
    for (const auto& [type, icon] : cases) {
        QMessageBox::Icon shown = QMessageBox::NoIcon;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->icon();
                box->reject();
            }
        });
        closer.start(10);
        AfxMessageBox(Sjis("IDを入力してください。"), type);
        EXPECT_EQ(shown, icon) << "type " << type;
    }
}

// The file dialogs speak Japanese like the rest of the program, and open where the open file
// lies.
TEST_F(HabitsTest, FileDialogsSpeakJapaneseAndStartInTheOpenFilesFolder) {
    Open(kFive);
    const QString lookIn = QCoreApplication::translate("QFileDialog", "Look in:");
    EXPECT_NE(lookIn, QStringLiteral("Look in:"));  // the toolkit's Japanese texts are loaded
    QString folder, label, title;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        folder = dialog->directory().absolutePath();
        if (auto* l = dialog->findChild<QLabel*>(QStringLiteral("lookInLabel"))) label = l->text();
        dialog->reject();
    });
    frame->RunCommand(ID_FILE_OPEN);
    EXPECT_EQ(QFileInfo(folder).canonicalFilePath(),
              QFileInfo(QString::fromStdString(dir.Path())).canonicalFilePath());
    EXPECT_EQ(label, lookIn);
}
