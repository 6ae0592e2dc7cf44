// SPDX-License-Identifier: MIT
#include "imagelist.h"

#include "imagelistview.h"
#include "platform/apperror.h"

#include <QCoreApplication>

namespace quorvel {

namespace {
// The message a list control gives for a row index that does not exist.
AppError indexOutOfBounds() {
    return AppError(35600, QCoreApplication::translate("ErrorBox", "Index out of bounds"));
}
} // namespace

ImageList::ImageList(ImageListModel& model, ImageListView* view) : m_model(model), m_view(view) {}

QString ImageList::text(int index) const {
    if (index < 1 || index > count()) {
        throw indexOutOfBounds();
    }
    return m_model.texts().at(index - 1);
}

void ImageList::setText(int index, const QString& text) {
    if (index < 1 || index > count()) {
        throw indexOutOfBounds();
    }
    m_model.setText(index - 1, text);
}

void ImageList::remove(int index) {
    if (index < 1 || index > count()) {
        throw indexOutOfBounds();
    }
    m_model.removeAt(index - 1);
}

int ImageList::selectedIndex() const {
    return m_view ? m_view->selectedRow() : 0;
}

void ImageList::select(int index) {
    if (m_view && index >= 1 && index <= count()) {
        m_view->selectRow(index);
    }
}

void ImageList::ensureVisible(int index) {
    if (m_view && index >= 1 && index <= count()) {
        m_view->scrollToRow(index);
    }
}

void AddImageRow(ImageList& list, const QString& path) {
    list.append(path);
}

} // namespace quorvel
