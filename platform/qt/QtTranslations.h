// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Qt's own translations of its standard texts (a message box's OK and Cancel), in the user's
// language, for both dialog backends: the window installs them, the terminal reads its box
// buttons' labels from them, so that both say the same.

#include <QLocale>
#include <QString>
#include <QTranslator>

namespace fw::qt {

/// Loads Qt's catalogue for locale (the user's by default) into translator; false when Qt ships
/// none for that language (its texts then stay English).
bool LoadQtTranslations(QTranslator& translator, const QLocale& locale = QLocale::system());

/// The buttons' labels in Qt's own words, the source texts of its catalogue.
inline constexpr const char* kOkLabel = "OK";
inline constexpr const char* kCancelLabel = "Cancel";

/// Qt's own labels of a message box's buttons, as its platform theme names them.
struct BoxButtonLabels {
    QString ok;
    QString cancel;
};

/// The labels as translator gives them, English where it has none.
BoxButtonLabels TranslatedBoxButtons(const QTranslator& translator);

} // namespace fw::qt
