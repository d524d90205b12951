#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <unordered_map>

#include "platform/gui/drawing/ScreenGrab.h"
#include "platform/gui/window/CWnd.h"
#include "platform/gui/window/WidgetBridge.h"

namespace testing_support {

namespace {

// One folder per failed test, named after it; a parameterised name's slashes would make folders.
std::string FailedTestFolder() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name()
                            : std::string("outside-a-test");
    std::replace(name.begin(), name.end(), '/', '_');
    return KeptPicturesDir() + "/" + name;
}

// What a widget shows when nothing is drawn on it: a label without text or picture is only the
// face of its window.
bool ShowsSomething(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w))
        return !label->text().trimmed().isEmpty() || !label->pixmap().isNull();
    return true;
}

}  // namespace

TestPictures::~TestPictures() {
    if (m_names.empty() || !::testing::Test::HasFailure()) return;
    namespace fs = std::filesystem;
    const fs::path kept = FailedTestFolder();
    std::error_code ec;
    fs::create_directories(kept, ec);
    for (const std::string& name : m_names) {
        // A copy: the build tree may be on another file system than the temporary folder, which
        // goes with everything in it.
        fs::copy_file(m_dir.File(name), kept / name, fs::copy_options::overwrite_existing, ec);
        if (ec) std::cerr << "could not keep " << m_dir.File(name) << ": " << ec.message() << "\n";
    }
    std::cerr << "Pictures of the failed test: " << kept.string() << "\n";
}

QImage TestPictures::Take(CWnd* window, const std::string& name) {
    const std::string file = name + ".png";
    const std::string path = m_dir.File(file);
    if (!AfxGrabWindow(window, path.c_str())) {
        ADD_FAILURE() << "no picture of the window for " << file;
        return {};
    }
    m_names.push_back(file);
    QImage picture(QString::fromStdString(path));
    EXPECT_FALSE(picture.isNull()) << path << " does not read back";
    return picture.convertToFormat(QImage::Format_RGB32);
}

std::string KeptPicturesDir() {
    if (const char* dir = std::getenv("VELKON_TEST_ARTIFACTS"); dir && *dir) return dir;
    return VELKON_TEST_ARTIFACTS_DIR;
}

QRgb MostCommonColour(const QImage& picture, const QRect& area) {
    std::unordered_map<QRgb, int> counts;
    const QRect inside = area & picture.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) ++counts[picture.pixel(x, y)];
    const auto most =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == counts.end() ? 0 : most->first;
}

int PixelsOtherThan(const QImage& picture, const QRect& area, QRgb colour) {
    int n = 0;
    const QRect inside = area & picture.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (picture.pixel(x, y) != colour) ++n;
    return n;
}

QRect AreaOf(const QImage& picture, QWidget* window, QWidget* child) {
    const double scale = window->width() > 0 ? double(picture.width()) / window->width() : 1.0;
    const QRect area(child->mapTo(window, QPoint(0, 0)), child->size());
    return QRect(
               QPoint(int(area.left() * scale), int(area.top() * scale)),
               QPoint(int((area.right() + 1) * scale) - 1, int((area.bottom() + 1) * scale) - 1)) &
           picture.rect();
}

void ExpectControlsDrawn(const QImage& picture, QWidget* window) {
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.width() * window->height(), picture.height() * window->width())
        << "the picture is not of the whole window";
    const QRgb face = MostCommonColour(picture, picture.rect());
    EXPECT_GT(PixelsOtherThan(picture, picture.rect(), face), 0) << "the picture is one colour";
    int controls = 0;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // The controls are the framework's windows; Qt's parts of them are drawn with them.
        CWnd* control = CWndBridge::WindowOf(w);
        if (!control || !w->isVisibleTo(window) || !ShowsSomething(w)) continue;
        ++controls;
        const QRect area = AreaOf(picture, window, w);
        EXPECT_GT(PixelsOtherThan(picture, area, face), 0)
            << "nothing drawn where control " << control->GetDlgCtrlID() << " ("
            << w->metaObject()->className() << ") is placed, at " << area.x() << "," << area.y()
            << " " << area.width() << "x" << area.height();
    }
    EXPECT_GT(controls, 0) << "no control shown";
}

}  // namespace testing_support
