// SPDX-License-Identifier: MIT
#pragma once

#include <QLocale>
#include <QTranslator>

namespace quorvel {

/// The window's texts and Qt's own (file dialogs, standard buttons) in the
/// language of `locale`, installed for as long as the object lives. A language
/// without a catalogue leaves every text as designed, in English. Install it
/// before building the window: texts already built do not follow.
class Translations {
public:
    explicit Translations(const QLocale& locale);
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    /// True when the program's own catalogue for the language was found.
    bool found() const { return m_programInstalled; }

private:
    QTranslator m_program;
    QTranslator m_qt;
    bool m_programInstalled = false;
    bool m_qtInstalled = false;
};

} // namespace quorvel
