// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace quorvel {

/// The bare file names of one folder in slots 1 to N. With no name it holds
/// only slot 0 (an empty text), so a loop from 1 to the upper bound runs zero times.
class FileNameArray {
public:
    FileNameArray() : m_slots{QString()} {}
    /// `cells` begins with slot 0, which holds no name.
    explicit FileNameArray(QStringList cells) : m_slots(std::move(cells)) {
        if (m_slots.isEmpty()) {
            m_slots.append(QString());
        }
    }

    int upperBound() const { return int(m_slots.size()) - 1; }
    /// The name in `slot` (0 to the upper bound).
    const QString& at(int slot) const { return m_slots.at(slot); }
    /// The names of cells 1 to the upper bound.
    QStringList names() const { return m_slots.mid(1); }

private:
    QStringList m_slots;
};

} // namespace quorvel
