// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QAbstractItemView;

namespace quorvel {

class Dialogs;
class ImageList;

/// Makes the list's viewport accept drops of local files and nothing else, and
/// hands what was dropped to `dropFiles`. It is a child of the view, so it
/// lives exactly as long as the view does.
class QFileDropAdapter : public QObject {
    Q_OBJECT
public:
    QFileDropAdapter(QAbstractItemView* view, ImageList& list, Dialogs& dialogs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ImageList& m_list;
    Dialogs& m_dialogs;
};

} // namespace quorvel
