// Pictures that tests take of their windows, and what a test can ask of their pixels. A picture
// is saved into the test's own temporary folder and read back from there, so that the test
// looks at the file it would keep. A test that passes leaves nothing; when it fails, its
// pictures are moved to a folder of their own under KeptPicturesDir() and the path is printed.
#pragma once

#include <QImage>
#include <QRect>
#include <string>
#include <vector>

#include "tests/support/TestFiles.h"

class CWnd;
class QWidget;

namespace testing_support {

class TestPictures {
public:
    TestPictures() = default;
    // Keeps the pictures when the running test has failed by now.
    ~TestPictures();
    TestPictures(const TestPictures&) = delete;
    TestPictures& operator=(const TestPictures&) = delete;

    // Saves a picture of the window as drawn now as `name`.png and returns it as saved; a null
    // image (and a failure) when none could be taken.
    QImage Take(CWnd* window, const std::string& name);

private:
    TempDir m_dir;
    std::vector<std::string> m_names;
};

// Where the pictures of failed tests go: $VELKON_TEST_ARTIFACTS, else tests/artifacts in the
// build tree.
std::string KeptPicturesDir();

// The colour most pixels of `area` have: behind a window's controls, its face.
QRgb MostCommonColour(const QImage& picture, const QRect& area);
// Pixels of `area` that are not `colour`.
int PixelsOtherThan(const QImage& picture, const QRect& area, QRgb colour);
// The rectangle a child widget covers in a picture of `window`, scaled as the picture is.
QRect AreaOf(const QImage& picture, QWidget* window, QWidget* child);
// Every control of `window` that is shown and shows something (a label with text, a button, a
// field, a list) has something other than the window's face drawn where it is placed, and the
// picture is as large as the window.
void ExpectControlsDrawn(const QImage& picture, QWidget* window);

}  // namespace testing_support
