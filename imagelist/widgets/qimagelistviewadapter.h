// SPDX-License-Identifier: MIT
#pragma once

#include "imagelist/imagelistview.h"

#include <QObject>
#include <QPointer>

class QAbstractItemView;

namespace quorvel {

class ImageListController;

/// Shows an `ImageListView` on the list's item view (one selected row, no
/// editing, no drag-and-drop of its own) and passes its keys and mouse to the
/// controller. It is a child of the view, so it lives exactly as long as the view does.
class QImageListViewAdapter : public QObject, public ImageListView {
    Q_OBJECT
public:
    explicit QImageListViewAdapter(QAbstractItemView* view);

    /// The controller that hears the view's events; null hears nothing.
    void forwardGesturesTo(ImageListController* controller);

    int selectedRow() const override;
    void selectRow(int row) override;
    void scrollToRow(int row) override;
    int rowAt(const QPoint& position) const override;
    void showCursorFile(const QString& path) override;
    void showArrowCursor() override;
    QPoint pointerOnScreen() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractItemView* m_view;
    QPointer<ImageListController> m_controller;
};

} // namespace quorvel
