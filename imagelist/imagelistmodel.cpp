// SPDX-License-Identifier: MIT
#include "imagelistmodel.h"

namespace quorvel {

ImageListModel::ImageListModel(QObject* parent) : QAbstractListModel(parent) {}

int ImageListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_texts.size());
}

QVariant ImageListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_texts.size()) {
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
    const int row = int(m_texts.size());
    beginInsertRows(QModelIndex(), row, row);
    m_texts.append(text);
    endInsertRows();
}

void ImageListModel::setText(int row, const QString& text) {
    m_texts[row] = text;
    const QModelIndex i = index(row);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

void ImageListModel::removeAt(int row) {
    beginRemoveRows(QModelIndex(), row, row);
    m_texts.removeAt(row);
    endRemoveRows();
}

void ImageListModel::clear() {
    beginResetModel();
    m_texts.clear();
    endResetModel();
}

} // namespace quorvel
