// SPDX-License-Identifier: MIT
#include "qzoomcontrolsadapter.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QRadioButton>

namespace quorvel {

QZoomControlsAdapter::QZoomControlsAdapter(Controls controls, QObject* parent)
    : QObject(parent), m_controls(controls) {
    for (const Zoom zoom : {Zoom::Times2, Zoom::Times3, Zoom::Times4, Zoom::Custom}) {
        connect(button(zoom), &QRadioButton::toggled, this, [this, zoom](bool on) {
            if (on) {
                emit zoomChosen(zoom);
            }
        });
    }
    connect(controls.outputFolder, &QLineEdit::textChanged, this,
            &QZoomControlsAdapter::outputFolderEdited);
    connect(controls.customFactor, &QLineEdit::textChanged, this,
            &QZoomControlsAdapter::customFactorEdited);
    controls.customFactor->installEventFilter(this);
}

QRadioButton* QZoomControlsAdapter::button(Zoom zoom) const {
    switch (zoom) {
    case Zoom::Times2:
        return m_controls.zoom200;
    case Zoom::Times3:
        return m_controls.zoom300;
    case Zoom::Times4:
        return m_controls.zoom400;
    case Zoom::Custom:
        break;
    }
    return m_controls.zoomCustom;
}

bool QZoomControlsAdapter::isChosen(Zoom zoom) const {
    return button(zoom)->isChecked();
}

QString QZoomControlsAdapter::outputFolder() const {
    return m_controls.outputFolder->text();
}

QString QZoomControlsAdapter::customFactor() const {
    return m_controls.customFactor->text();
}

void QZoomControlsAdapter::setCustomFactor(const QString& text) {
    m_controls.customFactor->setText(text);
}

void QZoomControlsAdapter::focusCustomFactor() {
    m_controls.customFactor->setFocus(Qt::OtherFocusReason);
}

void QZoomControlsAdapter::turnOn(Zoom zoom) {
    QRadioButton* on = button(zoom);
    if (on->isChecked()) {
        // Qt tells of a change only.
        emit zoomChosen(zoom);
    } else {
        on->setChecked(true);
    }
}

bool QZoomControlsAdapter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_controls.customFactor && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            emit customFactorLeft();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorvel
