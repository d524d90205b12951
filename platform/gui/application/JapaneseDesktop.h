// What a Japanese desktop gives every program: a Japanese font with its own Latin letters and
// digits as the default, and the toolkit's own dialogs in Japanese.
#pragma once

class QString;

namespace afx_ui {

// The family fontconfig chooses for Japanese text; empty when there is none.
QString JapaneseFontFamily();
// Sets the application's default font to that family (keeping the size) and loads the
// toolkit's Japanese translations. Once per application object.
void SetUpJapaneseDesktop();

}  // namespace afx_ui
