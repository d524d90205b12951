#include "platform/gui/application/JapaneseDesktop.h"

#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace afx_ui {

QString JapaneseFontFamily() {
    // Asked for the language, not a name: whatever the system prefers for Japanese, which has
    // its own Latin letters and digits, so that no text mixes two fonts.
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return {};
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    QString family;
    if (match) {
        FcLangSet* langs = nullptr;
        FcChar8* name = nullptr;
        // A match without Japanese is only the nearest font: no better than the default.
        if (FcPatternGetLangSet(match, FC_LANG, 0, &langs) == FcResultMatch &&
            FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual &&
            FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch)
            family = QString::fromUtf8(reinterpret_cast<const char*>(name));
        FcPatternDestroy(match);
    }
    return family;
}

void SetUpJapaneseDesktop() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || app->property("velkonJapanese").toBool()) return;
    app->setProperty("velkonJapanese", true);
    const QString family = JapaneseFontFamily();
    if (!family.isEmpty() && QFontDatabase::hasFamily(family)) {
        QFont font = QApplication::font();
        font.setFamilies({family});
        QApplication::setFont(font);
    }
    // File dialogs, the standard buttons and the edit fields' menus.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(app);
    if (translator->load(QStringLiteral("qtbase_ja"), folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

}  // namespace afx_ui
