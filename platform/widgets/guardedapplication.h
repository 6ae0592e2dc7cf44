// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>
#include <QString>

namespace quorvel {

class Dialogs;

/// Where an error that no handler caught is reported from.
inline const QString kMessageLoopLocation =
    QStringLiteral("in Vantrel2021/08/31.Main.MessageLoop ");
/// Where an error that escaped the start of the program is reported from.
inline const QString kMainLocation = QStringLiteral("in Vantrel2021/08/31.Main.Main ");

/// The program's application object and its last line of defence: an error
/// that leaves whatever handled an event is shown in the "Application Error"
/// box, and the message loop goes on instead of ending the program.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);

    /// The dialogs that show the box; until they are set, an error that
    /// escapes is only written to the log.
    void setDialogs(Dialogs* dialogs) { m_dialogs = dialogs; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    Dialogs* m_dialogs = nullptr;
};

} // namespace quorvel
