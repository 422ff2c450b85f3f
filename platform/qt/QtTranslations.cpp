// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/QtTranslations.h"

#include <QLibraryInfo>

namespace fw::qt {
namespace {

constexpr const char* kCatalogue = "qtbase";
constexpr const char* kSeparator = "_";
// Where Qt's catalogue keeps the standard buttons' labels.
constexpr const char* kThemeContext = "QPlatformTheme";

QString Translated(const QTranslator& translator, const char* text) {
    const QString translated = translator.translate(kThemeContext, text);
    return translated.isEmpty() ? QString::fromLatin1(text) : translated;
}

} // namespace

bool LoadQtTranslations(QTranslator& translator, const QLocale& locale) {
    return translator.load(locale, QString::fromLatin1(kCatalogue), QString::fromLatin1(kSeparator),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

BoxButtonLabels TranslatedBoxButtons(const QTranslator& translator) {
    return {Translated(translator, kOkLabel), Translated(translator, kCancelLabel)};
}

} // namespace fw::qt
