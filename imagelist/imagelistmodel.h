// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>
#include <QStringList>

namespace quorvel {

/// The rows of the image list: one text per row, the file path. No keys, no
/// sorting, duplicates allowed.
class ImageListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ImageListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void setHeaderText(const QString& text);
    const QStringList& texts() const { return m_texts; }

    void append(const QString& text);
    void setText(int row, const QString& text);
    void removeAt(int row);
    void clear();

private:
    QStringList m_texts;
    QString m_header;
};

} // namespace quorvel
