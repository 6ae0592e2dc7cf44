// SPDX-License-Identifier: MIT
#include "qprogressbaradapter.h"

#include <QProgressBar>
#include <algorithm>
#include <cmath>

namespace quorvel {

QProgressBarAdapter::QProgressBarAdapter(QProgressBar* bar)
    : QObject(bar), m_bar(bar), m_value(bar->value()), m_text(bar->format()) {
    m_text.remove(kWordJoiner);
}

void QProgressBarAdapter::setValue(double value) {
    m_value = value;
    if (!m_bar) {
        return;
    }
    double shown = std::isnan(value) ? m_bar->minimum() : std::round(value);
    shown = std::clamp(shown, double(m_bar->minimum()), double(m_bar->maximum()));
    m_bar->setValue(int(shown));
}

void QProgressBarAdapter::setText(const QString& text) {
    m_text = text;
    if (m_bar) {
        m_bar->setFormat(literalFormat(text));
    }
}

QString literalFormat(const QString& text) {
    // The bar replaces %p, %v and %m wherever they stand and knows no escape;
    // an invisible word joiner after the '%' keeps a file name as it is.
    QString format;
    format.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        format += text.at(i);
        if (text.at(i) == QLatin1Char('%') && i + 1 < text.size() &&
            QStringLiteral("pvm").contains(text.at(i + 1))) {
            format += kWordJoiner;
        }
    }
    return format;
}

} // namespace quorvel
