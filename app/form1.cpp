// SPDX-License-Identifier: MIT
#include "form1.h"

#include "enlarge/enlargecontroller.h"
#include "enlarge/progressbarview.h"
#include "enlarge/widgets/qzoomcontrolsadapter.h"
#include "enlarge/zoomoptions.h"
#include "folders/foldercontroller.h"
#include "folders/widgets/qfiledropadapter.h"
#include "form1layout.h"
#include "imagelist/imagelist.h"
#include "imagelist/imagelistcontroller.h"
#include "imagelist/widgets/qimagelistviewadapter.h"
#include "platform/appinfo.h"
#include "platform/cursorfile.h"
#include "platform/dialogs.h"
#include "platform/errortrap.h"
#include "platform/paths.h"
#include "samplefiles.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

namespace quorvel {

QFont layout::controlFont() {
    QFont font(QStringLiteral("Arial"), 9);
    font.setBold(true);
    return font;
}

QFont layout::buttonFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(11.25);
    font.setBold(true);
    return font;
}

namespace {
template <typename T> T* place(QWidget* parent, const char* name, const QRect& rect) {
    auto* widget = new T(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(rect);
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& rect) {
    auto* b = place<QPushButton>(parent, name, rect);
    b->setText(caption);
    b->setFont(layout::buttonFont());
    b->setMouseTracking(true);
    return b;
}

QRadioButton* option(QWidget* parent, const char* name, const QString& caption, const QRect& rect) {
    auto* b = place<QRadioButton>(parent, name, rect);
    b->setText(caption);
    return b;
}

// A file the user can see and open: not hidden, not a folder.
bool isOrdinaryFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

// Turning a button off from code must work even for the last one on, so that a
// store with every option off gives a window with every option off. It runs no click.
void turnOff(QRadioButton* button) {
    if (button->isChecked()) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
}
} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)),
      m_imageListModel(std::make_unique<ImageListModel>()) {
    setObjectName(QStringLiteral("Form1"));
    createControls();
    m_listView = new QImageListViewAdapter(ListView1);
    m_imageList = std::make_unique<ImageList>(*m_imageListModel, m_listView);
    wireZoomOptions();
    wireImageList();
    wireFolders();
    wireEnlarge();
    new QFileDropAdapter(ListView1, *m_imageList, m_services.dialogs);
    connect(PushButton5, &QPushButton::clicked, this, [this] {
        loadSampleFiles(*m_imageList, m_services.dialogs, m_services.programFolder);
    });
}

Form1::~Form1() = default;

void Form1::createControls() {
    setFont(layout::controlFont());
    setFixedSize(layout::kClientWidth, layout::kClientHeight);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setMouseTracking(true);

    using layout::twipsRect;
    PushButton6 = button(this, "PushButton6", tr("Help"), twipsRect(120, 120, 7800, 405));

    ListView1 = place<QTreeView>(this, "ListView1", twipsRect(120, 630, 7800, 2535));
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSortingEnabled(false);
    ListView1->setToolTip(tr("Drag and drop files here. Double-click item to remove it. Move | "
                             "line to right and out of window to reveal full names."));
    ListView1->setModel(m_imageListModel.get());
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionsClickable(false);
    ListView1->setMouseTracking(true);

    PushButton1 =
        button(this, "PushButton1", tr("Add Image File(s)"), twipsRect(120, 3255, 3840, 405));
    PushButton3 = button(this, "PushButton3", tr("Add All File(s) In Folder"),
                         twipsRect(4080, 3255, 3840, 405));
    PushButton4 = button(this, "PushButton4", tr("Clear List"), twipsRect(120, 3765, 3840, 405));
    PushButton5 = button(this, "PushButton5", tr("Load Sample/Example Files"),
                         twipsRect(4080, 3765, 3840, 405));

    Frame3 = place<QGroupBox>(this, "Frame3", twipsRect(120, 4230, 7800, 1755));
    Frame3->setTitle(tr("Resize Options"));
    Option1 = option(Frame3, "Option1", tr("Zoom 2x"), twipsRect(240, 300, 3240, 255));
    Option2 = option(Frame3, "Option2", tr("Zoom 3x"), twipsRect(240, 650, 3240, 255));
    Option3 = option(Frame3, "Option3", tr("Zoom 4x"), twipsRect(240, 960, 3240, 255));
    Option4 = option(Frame3, "Option4",
                     //: The spaces leave room for the factor box, drawn over them; keep
                     //: the text before them short and the spaces in place.
                     tr("Zoom          x"), twipsRect(240, 1320, 3240, 255));
    Option1->setChecked(true);
    Text2 = place<QLineEdit>(Frame3, "Text2", twipsRect(1010, 1282, 375, 330));
    Text2->setText(QStringLiteral("Text2"));

    Frame1 = place<QGroupBox>(this, "Frame1", twipsRect(120, 6060, 7800, 825));
    Frame1->setTitle(tr("Save Image(s) To This Folder"));
    Text1 = place<QLineEdit>(Frame1, "Text1", twipsRect(240, 300, 6660, 345));
    PushButton7 =
        button(Frame1, "PushButton7", QStringLiteral("..."), twipsRect(6960, 300, 600, 345));

    PushButton2 =
        button(this, "PushButton2", tr("Start Enlarging"), twipsRect(120, 7005, 7800, 405));
    ProgressBar1 = place<QProgressBar>(this, "ProgressBar1", twipsRect(120, 7515, 7800, 405));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(true);
    ProgressBar1->setAlignment(Qt::AlignCenter);
    ProgressBar1->setFormat(progressBarIdleText());

    // Below the client area, so never seen; the run measures pictures with it.
    Picture1 = place<QLabel>(this, "Picture1", twipsRect(240, 8310, 1095, 735));

    for (QWidget* w : {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Frame3),
                       static_cast<QWidget*>(Option1), static_cast<QWidget*>(Option2),
                       static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    for (QPushButton* b : {PushButton1, PushButton2, PushButton3, PushButton4, PushButton5,
                           PushButton6, PushButton7}) {
        b->installEventFilter(this);
    }

    // Keyboard order as designed; frames, the bar and the picture take no focus.
    const QList<QWidget*> tabOrder = {ListView1, PushButton1, PushButton3, PushButton2, Option1,
                                      Option2,   PushButton4, PushButton5, Text1,       PushButton7,
                                      Option3,   Option4,     Text2,       PushButton6};
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
}

void Form1::applySkinColours() {
    const QColor face = palette().color(QPalette::Button);
    for (QWidget* w :
         {static_cast<QWidget*>(this), static_cast<QWidget*>(Frame1), static_cast<QWidget*>(Frame3),
          static_cast<QWidget*>(Option1), static_cast<QWidget*>(Option2),
          static_cast<QWidget*>(Option3), static_cast<QWidget*>(Option4)}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, face);
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
}

void Form1::Form_Load() {
    ErrorTrap trap(m_services.dialogs, formLocation(QStringLiteral("Form_Load")));
    const QString folder = m_services.programFolder;
    const QString sep = separator();

    trap.step(100, [&] {
        if (isOrdinaryFile(folder + sep + QStringLiteral("x") + sep + QStringLiteral("o.cjs"))) {
            applySkinColours();
        }
    });
    trap.step(104, [&] { setWindowTitle(appinfo::kProductName); });
    trap.step(104, [&] { setWindowIcon(QIcon(QStringLiteral(":/quorvel/quorvel.png"))); });
    trap.step(104, [&] { QCoreApplication::setApplicationName(appinfo::kApplicationTitle); });
    const QString handPath = folder + sep + QStringLiteral("HAND-M.CUR");
    if (trap.test(106, [&] { return PathExists(handPath); })) {
        trap.step(108, [&] {
            bool ok = false;
            QCursor cursor = loadCursorFile(handPath, &ok);
            if (!ok) {
                throw AppError::fromNumber(errnum::kInvalidPicture);
            }
            m_handCursor = cursor;
            m_hasHandCursor = true;
        });
    }
    trap.step(110, [&] {
        const int n = int(m_services.random() * 100) + 1;
        if (n == 7) {
            m_services.dialogs.openUrl(QUrl(appinfo::kVendorHomePage));
        }
    });
    trap.step(128, [&] { m_imageListModel->setHeaderText(tr("Image File(s)")); });
    trap.step(130, [&] { ListView1->setColumnWidth(0, layout::kListColumnWidth); });
    // Setting a box's text or turning a button on runs its handler, which stores the value;
    // a failure there is this step's, reported here.
    trap.step(132, [&] {
        const QString desktop = m_services.desktopFolder ? m_services.desktopFolder() : QString();
        if (desktop.isEmpty()) {
            throw AppError::fromNumber(errnum::kFileNotFound);
        }
        const QString folder = m_services.settings.get(settings::kText1, desktop + sep);
        changeFromCode([&] { Text1->setText(folder); });
    });
    trap.step(134, [&] {
        const QString factor = m_services.settings.get(settings::kText2, settings::kText2Default);
        changeFromCode([&] { Text2->setText(factor); });
    });
    using Zoom = ZoomChoiceView::Zoom;
    const struct {
        int line;
        Zoom zoom;
        QRadioButton* button;
        const QString& key;
        const QString& fallback;
    } options[] = {
        {136, Zoom::Times2, Option1, settings::kOption1, settings::kOption1Default},
        {138, Zoom::Times3, Option2, settings::kOption2, settings::kOptionOtherDefault},
        {140, Zoom::Times4, Option3, settings::kOption3, settings::kOptionOtherDefault},
        {142, Zoom::Custom, Option4, settings::kOption4, settings::kOptionOtherDefault},
    };
    for (const auto& o : options) {
        trap.step(o.line, [&] {
            if (booleanReading(m_services.settings.get(o.key, o.fallback))) {
                changeFromCode([&] { m_zoomChoice->turnOn(o.zoom); });
            } else {
                turnOff(o.button);
            }
        });
    }
}

void Form1::setMousePointer(int value) {
    m_mousePointer = value;
    if (value == pointer::kHourglass) {
        setCursor(Qt::WaitCursor);
    } else if (value == pointer::kCustom && m_hasHandCursor) {
        setCursor(m_handCursor);
    } else {
        unsetCursor();
    }
}

QString mouseMoveHandler(const QObject& control) {
    // The window's own events go by "Form", whatever the window is called.
    const bool isWindow = qobject_cast<const Form1*>(&control) != nullptr;
    return (isWindow ? QStringLiteral("Form") : control.objectName()) +
           QStringLiteral("_MouseMove");
}

void Form1::hoverOver(QObject* control) {
    runUntrappedHandler(m_services.dialogs, mouseMoveHandler(*control), [&] {
        if (m_mousePointer == pointer::kHourglass) {
            return;
        }
        const bool isButton = qobject_cast<QPushButton*>(control) != nullptr;
        setMousePointer(isButton ? pointer::kCustom : pointer::kDefault);
    });
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // A move that a child ignored bubbles up to its container; only the control
    // the pointer is really over may decide.
    if (event->type() == QEvent::MouseMove &&
        !static_cast<QWidget*>(watched)->childAt(
            static_cast<QMouseEvent*>(event)->position().toPoint())) {
        hoverOver(watched);
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    if (!childAt(event->position().toPoint())) {
        hoverOver(this);
    }
    QWidget::mouseMoveEvent(event);
}

void Form1::closeEvent(QCloseEvent* event) {
    emit closing();
    event->accept();
    if (m_services.endProgram) {
        m_services.endProgram();
    }
}

} // namespace quorvel
