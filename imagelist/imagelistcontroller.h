// SPDX-License-Identifier: MIT
#pragma once

#include "rowdrag.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

namespace quorvel {

class Dialogs;
class ImageList;
class WindowPointer;

/// The list's editing gestures and the two buttons that act on it. Works on the
/// list's view (ImageListView), so no widget is needed; the control that shows
/// the list reports its events through the `on…` entry points.
class ImageListController : public QObject {
    Q_OBJECT
public:
    /// The key code of the Delete key, as the list's key handler knows it.
    static constexpr int kDeleteKeyCode = 46;

    /// `list` must already have its view; `programFolder` holds drag.ico.
    ImageListController(ImageList& list, WindowPointer& pointer, Dialogs& dialogs,
                        QString programFolder, QObject* parent = nullptr);
    ~ImageListController() override;

    /// Where the pointer is on the screen; tests give a fixed position. Null
    /// asks the list's view.
    void setCursorPositionSource(std::function<QPoint()> source);

    // The handlers, named after the control and event they serve.
    void keyPressed(int keyCode);
    void doubleClicked();
    void mousePressed();
    void itemClicked();
    /// `position` is in the coordinates of the list's view.
    void mouseMoved(const QPoint& position);
    void mouseReleased();
    void addFilesFromDialog();
    void clearList();

    // The list control's events. Each runs its handler under the handler's
    // name: an error shows the box and the program goes on.
    /// A key went down on the list; true when the key was the list's to act on.
    bool onKeyDown(int qtKey);
    void onMouseDown();
    /// A row was pressed, after the control has selected it.
    void onRowPressed();
    void onDoubleClick();
    void onMouseMove(const QPoint& position);
    void onMouseUp();

    const RowDrag& rowDrag() const { return m_rowDrag; }

private:
    void removeSelectedRow();
    QPoint cursorPosition() const;
    /// The gestures arm no trap: an error is shown under the handler's name.
    void guarded(const QString& handler, const std::function<void()>& body);

    ImageList& m_list;
    WindowPointer& m_pointer;
    Dialogs& m_dialogs;
    QString m_programFolder;
    std::function<QPoint()> m_cursorPosition;
    RowDrag m_rowDrag;
};

/// The list's key code for a Qt key; 0 for a key the list does not act on.
int listKeyCode(int qtKey);

} // namespace quorvel
