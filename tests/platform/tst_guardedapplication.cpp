// SPDX-License-Identifier: MIT
#include "platform/apperror.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/widgets/guardedapplication.h"

#include <QTest>

using namespace quorvel;

namespace {
// Throws from its event handler the way a handler without a guard of its own would.
class ThrowingReceiver : public QObject {
public:
    int delivered = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) {
            return QObject::event(event);
        }
        if (++delivered == 1) {
            throw AppError::fromNumber(errnum::kPermissionDenied);
        }
        return true;
    }
};
} // namespace

class GuardedApplicationTest : public QObject {
    Q_OBJECT
private slots:
    void escapedErrorIsShownAndTheLoopGoesOn();
};

void GuardedApplicationTest::escapedErrorIsShownAndTheLoopGoesOn() {
    auto* app = static_cast<GuardedApplication*>(QCoreApplication::instance());
    ScriptedDialogs dialogs;
    app->setDialogs(&dialogs);
    ThrowingReceiver receiver;
    dialogs.expectMessage();
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&receiver);
    app->setDialogs(nullptr);

    QCOMPARE(receiver.delivered, 2); // the event after the failing one still arrives
    QVERIFY(dialogs.satisfied());
    QCOMPARE(dialogs.messages(), QStringList{QStringLiteral(
                                     "Permission denied\r\nin Vantrel2021/08/31.Main.MessageLoop "
                                     "at line 0\r\rPlease email screenshot of this message to "
                                     "support@bramwick.example")});
    QCOMPARE(dialogs.shown().constFirst().title, QStringLiteral("Application Error"));
}

// The guard must be the application itself, so this test builds its own.
int main(int argc, char* argv[]) {
    GuardedApplication app(argc, argv);
    GuardedApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_guardedapplication.moc"
