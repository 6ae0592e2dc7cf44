// SPDX-License-Identifier: MIT
#include "qprogressbaradapter.h"

#include <QProgressBar>
#include <algorithm>
#include <cmath>

namespace quorvel {

QProgressBarAdapter::QProgressBarAdapter(QProgressBar* bar)
    : QObject(bar), m_bar(bar), m_value(bar->value()), m_text(bar->format()) {
    m_text.replace(QStringLiteral("%%"), QStringLiteral("%"));
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
        // The bar reads '%' as the start of a placeholder; file names may hold one.
        QString format = text;
        m_bar->setFormat(format.replace(QLatin1Char('%'), QStringLiteral("%%")));
    }
}

} // namespace quorvel
