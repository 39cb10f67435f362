#include "WidgetDriving.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void typeInto(QComboBox* box, const QString& text) {
    QLineEdit* edit = box->lineEdit();
    edit->setFocus();
    edit->end(false);
    typeText(edit, text);
}

void eraseText(QComboBox* box) {
    QLineEdit* edit = box->lineEdit();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
}

void retype(QComboBox* box, const QString& text) {
    eraseText(box);
    typeInto(box, text);
}

void pick(QComboBox* box, const QString& text) {
    const int row = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(row >= 0,
             qPrintable(QStringLiteral("no entry %1 in %2").arg(text, box->objectName())));
    box->showPopup();
    QAbstractItemView* view = box->view();
    QTRY_VERIFY(view->isVisible());
    const QModelIndex index = view->model()->index(row, box->modelColumn());
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    QTRY_VERIFY(!view->isVisible());
}

QStringList itemsOf(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}
