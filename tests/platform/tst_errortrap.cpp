// SPDX-License-Identifier: MIT
#include "platform/apperror.h"
#include "platform/errortrap.h"
#include "platform/testing/scripteddialogs.h"

#include <QTest>
#include <cerrno>
#include <stdexcept>
#include <system_error>

using namespace quorvel;

namespace {
class BrokenBox : public ScriptedDialogs {
public:
    MsgBoxResult messageBox(const QString&, int, const QString&) override {
        throw std::runtime_error("no display");
    }
};
} // namespace

class ErrorTrapTest : public QObject {
    Q_OBJECT
private slots:
    void messageIsExact();
    void twoFailuresShowTwoBoxesAndTheProcedureGoesOn();
    void failingTestRunsTheStepItGuards();
    void interceptorEndsTheProcedureWithoutABox();
    void untrappedHandlerReportsOnceAndNothingEscapes();
    void handlerRaisedFromCodeFailsTheStepThatRaisedIt();
    void changeFromCodeWithoutAFailingHandlerChangesNothing();
    void foreignExceptionsBecomeNumberedErrors_data();
    void foreignExceptionsBecomeNumberedErrors();
};

void ErrorTrapTest::messageIsExact() {
    QCOMPARE(formLocation(QStringLiteral("Form_Load")),
             QStringLiteral("in Vantrel2021/08/31.Form1.Form_Load "));
    QCOMPARE(locationText(QStringLiteral("MorlanTitle2021/08/31"), QStringLiteral("AddFolder"),
                          QStringLiteral("GetSubDirectories2016")),
             QStringLiteral("in MorlanTitle2021/08/31.AddFolder.GetSubDirectories2016 "));
    QCOMPARE(applicationErrorMessage(QStringLiteral("Overflow"),
                                     formLocation(QStringLiteral("PushButton2_Click")), 130),
             QStringLiteral("Overflow\r\nin Vantrel2021/08/31.Form1.PushButton2_Click at line "
                            "130\r\rPlease email screenshot of this message to "
                            "support@bramwick.example"));
}

void ErrorTrapTest::twoFailuresShowTwoBoxesAndTheProcedureGoesOn() {
    ScriptedDialogs dialogs;
    dialogs.expectMessage().expectMessage();
    ErrorTrap trap(dialogs, formLocation(QStringLiteral("PushButton3_Click")));
    QStringList ran;
    trap.step(100, [&] { ran << "100"; });
    trap.step(102, [&] {
        throw AppError::fromNumber(errnum::kPermissionDenied);
        ran << "102 rest"; // abandoned with the failing step
    });
    trap.step(104, [&] { ran << "104"; });
    trap.step(106, [&] { throw AppError::fromNumber(errnum::kFileNotFound); });
    trap.step(108, [&] { ran << "108"; });

    QCOMPARE(ran, (QStringList{"100", "104", "108"}));
    QVERIFY(dialogs.satisfied());
    QCOMPARE(dialogs.shown().size(), 2);
    QVERIFY(dialogs.shown()[0].text.startsWith(QStringLiteral("Permission denied\r\n")));
    QVERIFY(dialogs.shown()[0].text.contains(QStringLiteral("at line 102\r\r")));
    QVERIFY(dialogs.shown()[1].text.startsWith(QStringLiteral("File not found\r\n")));
    QVERIFY(dialogs.shown()[1].text.contains(QStringLiteral("at line 106\r\r")));
    QCOMPARE(dialogs.shown()[1].style, msgstyle::kExclamation);
    QCOMPARE(dialogs.shown()[1].title, QStringLiteral("Application Error"));
    QCOMPARE(trap.errorCount(), 2);
}

void ErrorTrapTest::failingTestRunsTheStepItGuards() {
    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    ErrorTrap trap(dialogs, formLocation(QStringLiteral("Form_Load")));
    bool guarded = false;
    if (trap.test(106, []() -> bool { throw AppError::fromNumber(errnum::kPathNotFound); })) {
        trap.step(108, [&] { guarded = true; });
    }
    QVERIFY(guarded);
    QVERIFY(dialogs.messages().constFirst().contains(QStringLiteral("at line 106")));
    QVERIFY(!trap.test(110, [] { return false; }));
}

void ErrorTrapTest::interceptorEndsTheProcedureWithoutABox() {
    ScriptedDialogs dialogs; // no box expected
    ErrorTrap trap(dialogs, formLocation(QStringLiteral("PushButton1_Click")));
    trap.setInterceptor(
        [](const AppError& e) { return e.number() == errnum::kCommonDialogBufferTooSmall; });
    bool after = false;
    trap.step(112, [] { throw AppError::fromNumber(errnum::kCommonDialogBufferTooSmall); });
    trap.step(114, [&] { after = true; });
    QVERIFY(!after);
    QVERIFY(trap.ended());
    QVERIFY(dialogs.satisfied());
}

void ErrorTrapTest::untrappedHandlerReportsOnceAndNothingEscapes() {
    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    bool rest = false;
    runUntrappedHandler(dialogs, QStringLiteral("ListView1_MouseMove"), [&] {
        throw std::runtime_error("boom");
        rest = true; // the handler ends with the error
    });
    runUntrappedHandler(dialogs, QStringLiteral("ListView1_MouseUp"), [] {});
    QVERIFY(!rest);
    QVERIFY(dialogs.satisfied());
    QCOMPARE(dialogs.messages(),
             QStringList{QStringLiteral("boom\r\nin Vantrel2021/08/31.Form1.ListView1_MouseMove at "
                                        "line 0\r\rPlease email screenshot of this message to "
                                        "support@bramwick.example")});

    BrokenBox broken; // a box that fails to show must not end the program either
    runUntrappedHandler(broken, QStringLiteral("Text2_Change"),
                        [] { throw AppError::fromNumber(errnum::kPermissionDenied); });
}

// Code that sets a control raises its handler, which has no trap: the error is
// the step's that made the change, and reaches its trap after the handler returned.
void ErrorTrapTest::handlerRaisedFromCodeFailsTheStepThatRaisedIt() {
    ScriptedDialogs dialogs;
    dialogs.expectMessage();
    ErrorTrap trap(dialogs, formLocation(QStringLiteral("Form_Load")));
    QStringList ran;
    const auto failingSave = [&](const QString& name) {
        runUntrappedHandler(dialogs, name, [&] {
            ran << name;
            throw AppError::fromNumber(errnum::kPermissionDenied);
        });
        ran << name + QStringLiteral(" returned"); // as a signal delivery would go on
    };
    trap.step(132, [&] {
        changeFromCode([&] {
            failingSave(QStringLiteral("Text1_Change"));
            // A second handler of the same change does not run once the change has failed.
            failingSave(QStringLiteral("Option1_Click"));
            ran << "rest of the change";
        });
        ran << "rest of 132";
    });
    trap.step(134, [&] { ran << "134"; });

    QCOMPARE(ran, (QStringList{"Text1_Change", "Text1_Change returned", "Option1_Click returned",
                               "rest of the change", "134"}));
    QCOMPARE(dialogs.messages(),
             QStringList{applicationErrorMessage(QStringLiteral("Permission denied"),
                                                 formLocation(QStringLiteral("Form_Load")), 132)});

    // Outside a change from code, the handler reports itself again.
    dialogs.clear();
    dialogs.expectMessage();
    failingSave(QStringLiteral("Text1_Change"));
    QVERIFY(dialogs.messages().constFirst().contains(
        QStringLiteral("Form1.Text1_Change at line 0\r\r")));
    QVERIFY(dialogs.satisfied());
}

void ErrorTrapTest::changeFromCodeWithoutAFailingHandlerChangesNothing() {
    ScriptedDialogs dialogs; // no box
    int handled = 0;
    changeFromCode([&] {
        changeFromCode(
            [&] { runUntrappedHandler(dialogs, QStringLiteral("Inner"), [&] { ++handled; }); });
        runUntrappedHandler(dialogs, QStringLiteral("Outer"), [&] { ++handled; });
    });
    QCOMPARE(handled, 2);
    // The change's own error goes to the caller as it is.
    QVERIFY_THROWS_EXCEPTION(AppError,
                             changeFromCode([] { throw AppError::fromNumber(errnum::kOverflow); }));
    QVERIFY(dialogs.satisfied());
}

void ErrorTrapTest::foreignExceptionsBecomeNumberedErrors_data() {
    QTest::addColumn<int>("err");
    QTest::addColumn<int>("number");
    QTest::newRow("missing") << ENOENT << errnum::kFileNotFound;
    QTest::newRow("denied") << EACCES << errnum::kPermissionDenied;
    QTest::newRow("not a folder") << ENOTDIR << errnum::kPathNotFound;
    QTest::newRow("disk full") << ENOSPC << errnum::kDiskFull;
}

void ErrorTrapTest::foreignExceptionsBecomeNumberedErrors() {
    QFETCH(int, err);
    QFETCH(int, number);
    const AppError e =
        toAppError(std::make_exception_ptr(std::system_error(err, std::generic_category())));
    QCOMPARE(e.number(), number);
    QCOMPARE(e.description(), errorDescription(number));
}

QTEST_GUILESS_MAIN(ErrorTrapTest)
#include "tst_errortrap.moc"
