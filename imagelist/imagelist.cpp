// SPDX-License-Identifier: MIT
#include "imagelist.h"

#include "platform/apperror.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace quorvel {

namespace {
// The message a list control gives for a row index that does not exist.
AppError indexOutOfBounds() {
    return AppError(35600, QStringLiteral("Index out of bounds"));
}
} // namespace

ImageList::ImageList(ImageListModel& model, QAbstractItemView* view)
    : m_model(model), m_view(view) {}

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
    if (!m_view || !m_view->selectionModel()) {
        return 0;
    }
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    if (current.isValid() && m_view->selectionModel()->isSelected(current)) {
        return current.row() + 1;
    }
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.constFirst().row() + 1;
}

void ImageList::select(int index) {
    if (!m_view || index < 1 || index > count()) {
        return;
    }
    m_view->selectionModel()->setCurrentIndex(m_model.index(index - 1),
                                              QItemSelectionModel::ClearAndSelect);
}

void ImageList::ensureVisible(int index) {
    if (m_view && index >= 1 && index <= count()) {
        m_view->scrollTo(m_model.index(index - 1));
    }
}

void AddImageRow(ImageList& list, const QString& path) {
    list.append(path);
}

} // namespace quorvel
