// SPDX-License-Identifier: MIT
#pragma once

#include "enlarge/progressbarview.h"

#include <QObject>
#include <QPointer>

class QProgressBar;

namespace quorvel {

/// Shows a `ProgressBarView` on a QProgressBar: the text exactly as set (no
/// placeholders), the value clamped to the bar's range for display only. It is
/// a child of the bar, so it lives exactly as long as the bar does.
class QProgressBarAdapter : public QObject, public ProgressBarView {
    Q_OBJECT
public:
    explicit QProgressBarAdapter(QProgressBar* bar);

    double value() const override { return m_value; }
    void setValue(double value) override;
    QString text() const override { return m_text; }
    void setText(const QString& text) override;

private:
    QPointer<QProgressBar> m_bar;
    double m_value = 0;
    QString m_text;
};

/// `text` as a QProgressBar format that shows exactly `text`.
QString literalFormat(const QString& text);

/// The invisible character `literalFormat` puts after a '%'.
inline constexpr QChar kWordJoiner{0x2060};

} // namespace quorvel
