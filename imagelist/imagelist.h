// SPDX-License-Identifier: MIT
#pragma once

#include "imagelistmodel.h"

#include <QString>

namespace quorvel {

class ImageListView;

/// `ListView1` as the rest of the program sees it: rows addressed from 1.
/// Works on the model alone, or on the model and its view (selection, scrolling);
/// the view must outlive the list.
class ImageList {
public:
    explicit ImageList(ImageListModel& model, ImageListView* view = nullptr);

    int count() const { return int(m_model.texts().size()); }
    /// The text of row `index` (1-based). Raises AppError for a row that does not exist.
    QString text(int index) const;
    void setText(int index, const QString& text);
    void append(const QString& text) { m_model.append(text); }
    void remove(int index);
    void clear() { m_model.clear(); }
    const QStringList& texts() const { return m_model.texts(); }

    /// The selected row (1-based), 0 when none.
    int selectedIndex() const;
    void select(int index);
    void ensureVisible(int index);

    ImageListModel& model() { return m_model; }
    ImageListView* view() const { return m_view; }

private:
    ImageListModel& m_model;
    ImageListView* m_view;
};

/// Appends one row with `path` and does nothing else: no test, no selection.
void AddImageRow(ImageList& list, const QString& path);

} // namespace quorvel
