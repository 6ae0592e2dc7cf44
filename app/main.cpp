// SPDX-License-Identifier: MIT
#include "app/form1.h"
#include "app/translations.h"
#include "platform/errortrap.h"
#include "platform/paths.h"
#include "platform/widgets/guardedapplication.h"
#include "platform/widgets/qdialogsadapter.h"
#include "settings/settingsstore.h"

#include <QDir>
#include <QRandomGenerator>
#include <QScreen>
#include <QStandardPaths>
#include <QTime>
#include <cstdlib>

namespace {
int run(quorvel::QDialogsAdapter& dialogs) {
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quorvel/quorvel.png")));

    quorvel::SettingsStore settings;
    // Seeded from the seconds since midnight, as the one-in-a-hundred visit expects.
    QRandomGenerator random(quint32(QTime::currentTime().msecsSinceStartOfDay() / 1000));
    quorvel::Form1Services services{
        dialogs,
        settings,
        quorvel::programFolder(),
        [] {
            return QDir::toNativeSeparators(
                QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
        },
        [&random] { return random.generateDouble(); },
        [] {
            // Settings are on disk already; nothing that is half-way may resume.
            std::_Exit(0);
        },
    };
    quorvel::Form1 form(services);
    dialogs.setOwner(&form);
    form.Form_Load();
    if (const QScreen* screen = form.screen()) {
        form.move(screen->availableGeometry().center() - form.rect().center());
    }
    form.show();
    return QApplication::exec();
}
} // namespace

int main(int argc, char* argv[]) try {
    quorvel::GuardedApplication app(argc, argv);
    // The user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG), once, before any text is built.
    const quorvel::Translations translations{QLocale()};
    quorvel::QDialogsAdapter dialogs;
    app.setDialogs(&dialogs);
    try {
        return run(dialogs);
    } catch (...) {
        // The message loop guards itself; only building the window can end here.
        quorvel::reportUnhandled(dialogs, quorvel::kMainLocation, std::current_exception());
        return EXIT_FAILURE;
    }
} catch (...) {
    // Without an application there is no box to show it in.
    return EXIT_FAILURE;
}
