// SPDX-License-Identifier: MIT
#include "guardedapplication.h"

#include "platform/errortrap.h"

#include <QtDebug>

namespace quorvel {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        if (m_dialogs) {
            reportUnhandled(*m_dialogs, kMessageLoopLocation, error);
            return false;
        }
        try {
            qCritical("%s", qUtf8Printable(toAppError(error).description()));
        } catch (...) {
            // Not even the log takes it; the loop still goes on.
        }
        return false;
    }
}

} // namespace quorvel
