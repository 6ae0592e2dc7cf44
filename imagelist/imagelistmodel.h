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
    /// While one is alive, appended rows are in texts() at once, but the views
    /// hear of them only when the last open batch closes, in one insertion.
    /// Any other change announces the held rows first.
    class AppendBatch {
    public:
        explicit AppendBatch(ImageListModel& model);
        ~AppendBatch();
        AppendBatch(const AppendBatch&) = delete;
        AppendBatch& operator=(const AppendBatch&) = delete;

    private:
        ImageListModel& m_model;
    };

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
    void announceHeldRows();

    QStringList m_texts;
    // Rows the views know of; fewer than m_texts only while a batch is open.
    int m_shown = 0;
    int m_batches = 0;
    QString m_header;
};

} // namespace quorvel
