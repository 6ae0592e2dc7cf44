// SPDX-License-Identifier: MIT
#pragma once

#include "platform/windowpointer.h"

#include <QCursor>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeView;

namespace quorvel {

class Dialogs;
class SettingsStore;
class ImageList;
class ImageListModel;
class ImageListController;
class FolderController;
class EnlargeController;
class ZoomOptions;
class QImageListViewAdapter;
class QZoomControlsAdapter;

/// What the window needs from its surroundings; tests replace every part.
struct Form1Services {
    Dialogs& dialogs;
    SettingsStore& settings;
    /// The folder holding the program file (cursor, samples, skin live beside it).
    QString programFolder;
    /// The user's desktop folder; empty when the desktop cannot give one.
    std::function<QString()> desktopFolder;
    /// A uniform number in [0, 1) for the one-in-a-hundred home-page visit.
    std::function<double()> random;
    /// Ends the program at once when the window closes.
    std::function<void()> endProgram;
};

/// The one window. It owns every control and wires each to the area that
/// handles it; it holds no logic of its own beyond start-up and the pointer rule.
class Form1 : public QWidget, public WindowPointer {
    Q_OBJECT
public:
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    /// The start-up sequence; the window is shown only after it returns.
    void Form_Load();

    int mousePointer() const override { return m_mousePointer; }
    void setMousePointer(int value) override;
    /// The hand image loaded at start-up; null when none was found.
    bool hasCustomPointerImage() const { return m_hasHandCursor; }

    ImageList& imageList() { return *m_imageList; }
    Form1Services& services() { return m_services; }

    // The controls, under the names the rest of the program knows them by.
    QPushButton* PushButton1 = nullptr;
    QPushButton* PushButton2 = nullptr;
    QPushButton* PushButton3 = nullptr;
    QPushButton* PushButton4 = nullptr;
    QPushButton* PushButton5 = nullptr;
    QPushButton* PushButton6 = nullptr;
    QPushButton* PushButton7 = nullptr;
    QTreeView* ListView1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QRadioButton* Option4 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Picture1 = nullptr;

signals:
    void closing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void createControls();
    void applySkinColours();
    void hoverOver(QObject* control);

    // Each area wires its own handlers (one file per area).
    void wireZoomOptions();
    void wireImageList();
    void wireFolders();
    void wireEnlarge();

    Form1Services m_services;
    int m_mousePointer = pointer::kDefault;
    QCursor m_handCursor;
    bool m_hasHandCursor = false;

    std::unique_ptr<ImageListModel> m_imageListModel;
    /// The list control as the list's logic sees it; a child of the control.
    QImageListViewAdapter* m_listView = nullptr;
    std::unique_ptr<ImageList> m_imageList;
    /// The zoom buttons and boxes as the run and the zoom options see them; a child of the window.
    QZoomControlsAdapter* m_zoomChoice = nullptr;
    std::unique_ptr<ZoomOptions> m_zoomOptions;
    std::unique_ptr<ImageListController> m_imageListController;
    std::unique_ptr<FolderController> m_folderController;
    std::unique_ptr<EnlargeController> m_enlargeController;
};

/// The name of the pointer-move handler of `control` ("Form_MouseMove" for the
/// window itself, "PushButton1_MouseMove" for a button).
QString mouseMoveHandler(const QObject& control);

} // namespace quorvel
