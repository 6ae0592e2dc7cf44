// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QString>

namespace quorvel {

/// `ProgressBar1` as the run and the wait see it: a value meant for 0..100 and
/// a text shown on the bar. Values outside the range are kept as written; how
/// they show is the bar's business.
class ProgressBarView {
public:
    virtual ~ProgressBarView() = default;
    virtual double value() const = 0;
    virtual void setValue(double value) = 0;
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
};

/// The idle text of the bar, in the user's language.
inline QString progressBarIdleText() {
    return QCoreApplication::translate("Enlarge", "Progress Bar");
}

} // namespace quorvel
