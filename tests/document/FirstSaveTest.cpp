// The first save of an untitled list offers the user's data folder, made for the dialog and
// taken away again when the list goes elsewhere.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/gui/window/UiHooks.h"
#include "tests/document/DocFixture.h"

namespace {

struct Offer {
    std::string folder;
    std::string name;
    unsigned mode = 0;
};

class FirstSaveTest : public DocTest {
protected:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        afx_ui::EnsureApplication();
        DocTest::SetUp();
        doc->SetFirstSavePath(CString(file));
    }
    // Runs the save's file dialog, noting what it offers and what the folder is like then;
    // `answer` accepts a path ("" cancels). Returns what PromptSavePath gave.
    bool Prompt(const std::string& answer, Offer& offer, CString& path) {
        QTimer timer;
        timer.setInterval(10);
        bool answered = false;
        // A question nobody expected would otherwise wait for an answer for ever.
        QDeadlineTimer deadline(std::chrono::seconds(60));
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (deadline.hasExpired()) {
                ADD_FAILURE() << "a dialog was still open after a minute";
                if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
                return;
            }
            // Naming a file that is there asks before replacing it: yes, as the user who typed it.
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                if (QAbstractButton* yes = box->button(QMessageBox::Yes)) yes->click();
                return;
            }
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog || answered) return;
            answered = true;
            offer.folder = QFile::encodeName(dialog->directory().absolutePath()).toStdString();
            const QStringList selected = dialog->selectedFiles();
            offer.name =
                selected.isEmpty() ? "" : QFile::encodeName(selected.first()).toStdString();
            struct stat st {};
            if (::stat(folder.c_str(), &st) == 0) offer.mode = st.st_mode & 07777;
            if (answer.empty()) {
                dialog->reject();
            } else {
                // Typed as a user would: selectFile into another folder leaves the name to the
                // folder's model, which may put the offered name back before the accept.
                const QString typed = QFile::decodeName(QByteArray::fromStdString(answer));
                if (auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit"))
                    edit->setText(typed);
                else
                    dialog->selectFile(typed);
                // As the Save button does, from the event loop: the question a name that is
                // there asks is a dialog of its own, which this timer must still see to answer.
                QTimer::singleShot(0, dialog,
                                   [dialog] { static_cast<QDialog*>(dialog)->accept(); });
            }
        });
        timer.start();
        return doc->PromptSavePath(path) != FALSE;
    }

    const std::string data = dir.File("data");  // missing, as a new user's ~/.local/share may be
    const std::string folder = data + "/Velkon95";
    const std::string file = folder + "/id.lst";
};

}  // namespace

TEST_F(FirstSaveTest, OffersTheDataFolderOwnerOnlyAndLeavesNoEmptyFolderBehind) {
    namespace fs = std::filesystem;
    Offer offer;
    CString path;
    EXPECT_FALSE(Prompt("", offer, path));
    EXPECT_EQ(offer.folder, folder);
    EXPECT_EQ(offer.name, file);
    EXPECT_EQ(offer.mode, 0700u);
    EXPECT_FALSE(fs::exists(data)) << "the folders made for the dialog stayed after Cancel";

    // Saved elsewhere: the same.
    const std::string elsewhere = dir.File("mine.lst");
    EXPECT_TRUE(Prompt(elsewhere, offer, path));
    EXPECT_EQ(path.Str(), elsewhere);
    EXPECT_FALSE(fs::exists(data));

    // Saved there: the folder stays for the save, the owner's alone.
    EXPECT_TRUE(Prompt(file, offer, path));
    EXPECT_EQ(path.Str(), file);
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);

    // A folder that was there already is never taken away; a named list gets the framework's
    // offer, its own name.
    ASSERT_TRUE(doc->OnSaveDocument(file.c_str()));
    doc->SetPathName(file.c_str(), FALSE);
    const std::string renamed = dir.File("renamed.lst");
    EXPECT_TRUE(Prompt(renamed, offer, path));
    EXPECT_EQ(offer.name, file);
    EXPECT_TRUE(fs::exists(file));
}
