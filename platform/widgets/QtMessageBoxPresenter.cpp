#include "QtMessageBoxPresenter.h"

#include <QApplication>
#include <QMessageBox>

MessageBox::Answer QtMessageBoxPresenter::present(QWidget* parent, const MessageBox::Request& request) {
    using MessageBox::Answer;
    using MessageBox::Buttons;
    using MessageBox::Icon;

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (request.icon) {
    case Icon::None: icon = QMessageBox::NoIcon; break;
    case Icon::Information: icon = QMessageBox::Information; break;
    case Icon::Exclamation: icon = QMessageBox::Warning; break;
    case Icon::Question: icon = QMessageBox::Question; break;
    case Icon::Critical: icon = QMessageBox::Critical; break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (request.buttons) {
    case Buttons::Ok: buttons = QMessageBox::Ok; break;
    case Buttons::OkCancel: buttons = QMessageBox::Ok | QMessageBox::Cancel; break;
    case Buttons::YesNo: buttons = QMessageBox::Yes | QMessageBox::No; break;
    }
    QMessageBox box(icon, request.title, request.text, buttons,
                    parent ? parent : QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Ok;
    }
}
