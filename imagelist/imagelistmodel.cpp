// SPDX-License-Identifier: MIT
#include "imagelistmodel.h"

namespace quorvel {

ImageListModel::AppendBatch::AppendBatch(ImageListModel& model) : m_model(model) {
    ++m_model.m_batches;
}

ImageListModel::AppendBatch::~AppendBatch() {
    if (--m_model.m_batches == 0) {
        m_model.announceHeldRows();
    }
}

ImageListModel::ImageListModel(QObject* parent) : QAbstractListModel(parent) {}

int ImageListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shown;
}

QVariant ImageListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_shown) {
        return {};
    }
    // No tip of its own per row: the list's tip explains how to reveal a long name.
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return m_texts.at(index.row());
    }
    return {};
}

QVariant ImageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return m_header;
    }
    return {};
}

Qt::ItemFlags ImageListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::ItemIsDropEnabled;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ImageListModel::setHeaderText(const QString& text) {
    m_header = text;
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}

void ImageListModel::append(const QString& text) {
    m_texts.append(text);
    if (m_batches == 0) {
        announceHeldRows();
    }
}

// Rows go into the list before the views are told: until endInsertRows they
// stay beyond rowCount, where no view looks.
void ImageListModel::announceHeldRows() {
    const int rows = int(m_texts.size());
    if (m_shown == rows) {
        return;
    }
    beginInsertRows(QModelIndex(), m_shown, rows - 1);
    m_shown = rows;
    endInsertRows();
}

void ImageListModel::setText(int row, const QString& text) {
    announceHeldRows();
    m_texts[row] = text;
    const QModelIndex i = index(row);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

void ImageListModel::removeAt(int row) {
    announceHeldRows();
    beginRemoveRows(QModelIndex(), row, row);
    m_texts.removeAt(row);
    m_shown = int(m_texts.size());
    endRemoveRows();
}

void ImageListModel::clear() {
    beginResetModel();
    m_texts.clear();
    m_shown = 0;
    endResetModel();
}

} // namespace quorvel
