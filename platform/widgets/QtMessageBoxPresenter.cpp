#include "QtMessageBoxPresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

using MessageBox::Answer;
using MessageBox::Buttons;
using MessageBox::Icon;

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(Buttons buttons) {
    switch (buttons) {
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// The button texts of a Japanese system's message boxes; the programs show no English.
void labelButtons(QMessageBox& box) {
    const struct {
        QMessageBox::StandardButton button;
        const char16_t* text;
    } labels[] = {{QMessageBox::Ok, u"OK"},
                  {QMessageBox::Cancel, u"キャンセル"},
                  {QMessageBox::Yes, u"はい(&Y)"},
                  {QMessageBox::No, u"いいえ(&N)"}};
    for (const auto& label : labels) {
        if (QAbstractButton* button = box.button(label.button))
            button->setText(QString::fromUtf16(label.text));
    }
}

} // namespace

Answer QtMessageBoxPresenter::present(QWidget* parent, const MessageBox::Request& request) {
    QMessageBox box(qtIcon(request.icon), request.title, request.text, qtButtons(request.buttons),
                    parent ? parent : QApplication::activeWindow());
    labelButtons(box);
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Ok;
    }
}
