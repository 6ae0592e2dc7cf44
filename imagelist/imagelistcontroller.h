// SPDX-License-Identifier: MIT
#pragma once

#include "rowdrag.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <functional>

class QAbstractItemView;
class QWidget;

namespace quorvel {

class Dialogs;
class ImageList;
class WindowPointer;

/// The list's editing gestures and the two buttons that act on it. Listens to
/// the list's keys and mouse through event filters, so the window's own list
/// control needs no subclass; each handler can also be called directly.
class ImageListController : public QObject {
    Q_OBJECT
public:
    /// The key code of the Delete key, as the list's key handler knows it.
    static constexpr int kDeleteKeyCode = 46;

    /// `list` must already have its view; `programFolder` holds drag.ico;
    /// `dialogOwner` parents the open dialog and the message boxes.
    ImageListController(ImageList& list, WindowPointer& pointer, Dialogs& dialogs,
                        QString programFolder, QWidget* dialogOwner, QObject* parent = nullptr);
    ~ImageListController() override;

    /// Where the pointer is on the screen; tests give a fixed position.
    void setCursorPositionSource(std::function<QPoint()> source);

    // The handlers, named after the control and event they serve.
    void keyPressed(int keyCode);
    void doubleClicked();
    void mousePressed();
    void itemClicked();
    /// `position` is in the coordinates of the list's viewport.
    void mouseMoved(const QPoint& position);
    void mouseReleased();
    void addFilesFromDialog();
    void clearList();

    const RowDrag& rowDrag() const { return m_rowDrag; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void removeSelectedRow();
    /// The gestures arm no trap: an error is shown under the handler's name.
    void guarded(const QString& handler, const std::function<void()>& body);

    ImageList& m_list;
    WindowPointer& m_pointer;
    Dialogs& m_dialogs;
    QString m_programFolder;
    QPointer<QWidget> m_dialogOwner;
    QPointer<QAbstractItemView> m_view;
    std::function<QPoint()> m_cursorPosition;
    RowDrag m_rowDrag;
};

/// The list's key code for a Qt key; 0 for a key the list does not act on.
int listKeyCode(int qtKey);

} // namespace quorvel
