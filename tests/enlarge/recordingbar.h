// SPDX-License-Identifier: MIT
#pragma once

#include "enlarge/progressbarview.h"

#include <QList>
#include <QStringList>

namespace quorvel::test {

/// A bar that remembers every value and text written to it, in order.
class RecordingBar : public ProgressBarView {
public:
    double value() const override { return m_value; }
    void setValue(double value) override {
        m_value = value;
        values.append(value);
    }
    QString text() const override { return m_text; }
    void setText(const QString& text) override {
        m_text = text;
        texts.append(text);
    }

    QList<double> values;
    QStringList texts;

private:
    double m_value = 0;
    QString m_text = progressBarIdleText();
};

} // namespace quorvel::test
