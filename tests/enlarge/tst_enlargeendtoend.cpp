// SPDX-License-Identifier: MIT
#include <QTest>
class Testenlargeendtoend : public QObject {
    Q_OBJECT
};
QTEST_MAIN(Testenlargeendtoend)
#include "tst_enlargeendtoend.moc"
