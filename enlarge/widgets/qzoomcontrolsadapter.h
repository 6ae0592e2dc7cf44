// SPDX-License-Identifier: MIT
#pragma once

#include "enlarge/zoomchoiceview.h"

#include <QObject>
#include <QPointer>

class QLineEdit;
class QRadioButton;

namespace quorvel {

/// Shows a `ZoomChoiceView` on the window's four zoom buttons and two boxes,
/// and reports what the user does with them.
class QZoomControlsAdapter : public QObject, public ZoomChoiceView {
    Q_OBJECT
public:
    struct Controls {
        QRadioButton* zoom200;
        QRadioButton* zoom300;
        QRadioButton* zoom400;
        QRadioButton* zoomCustom;
        QLineEdit* outputFolder;
        QLineEdit* customFactor;
    };

    explicit QZoomControlsAdapter(Controls controls, QObject* parent = nullptr);

    bool isChosen(Zoom zoom) const override;
    QString outputFolder() const override;
    QString customFactor() const override;
    void setCustomFactor(const QString& text) override;
    void focusCustomFactor() override;

    /// Turns a zoom button on from code, which runs its click (zoomChosen) even
    /// when the button was on already: code that turns a button on always does.
    void turnOn(Zoom zoom);

signals:
    /// A zoom button was turned on, by the user or from code; turning one off is silent.
    void zoomChosen(ZoomChoiceView::Zoom zoom);
    void outputFolderEdited();
    void customFactorEdited();
    /// The user left the custom factor's box (switching windows or opening a
    /// menu is not leaving it).
    void customFactorLeft();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRadioButton* button(Zoom zoom) const;

    Controls m_controls;
};

} // namespace quorvel
