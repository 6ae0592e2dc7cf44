// SPDX-License-Identifier: MIT
#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace quorvel {

Translations::Translations(const QLocale& locale) {
    // Our catalogues are built into the program, so nothing a user or another
    // program can write decides what the window says.
    if (m_program.load(locale, QStringLiteral("quorvel"), QStringLiteral("_"),
                       QStringLiteral(":/i18n"))) {
        m_programInstalled = QCoreApplication::installTranslator(&m_program);
    }
    // Qt's own catalogues come with the system's Qt; only where ours exist, so
    // an untranslated window never gets translated dialogs.
    if (m_programInstalled && m_qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        m_qtInstalled = QCoreApplication::installTranslator(&m_qt);
    }
}

Translations::~Translations() {
    if (m_qtInstalled) {
        QCoreApplication::removeTranslator(&m_qt);
    }
    if (m_programInstalled) {
        QCoreApplication::removeTranslator(&m_program);
    }
}

} // namespace quorvel
