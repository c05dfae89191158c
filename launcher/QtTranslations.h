// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>

// Loads Qt's own translations (qtbase_<language>.qm, Debian's
// qt6-translations-l10n) for the default locale, so that the stock dialogs speak
// the user's language. The launcher's own texts are not translated. Returns
// whether a translation was installed.
bool installQtTranslations(QCoreApplication &application);
