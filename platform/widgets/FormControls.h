#pragma once

#include "Twips.h"

#include <QPushButton>
#include <QString>
#include <QWidget>

// How the forms build their controls: each is named after its specified control name (the
// objectName the form's callers and the tests find it by) and placed in twips.
namespace FormControls {

template <typename W> W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

inline void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(Twips::rect(left, top, width, height));
}

// Makes a button behave as the forms' command buttons do: Enter or Space presses it while it has
// the focus, but it never becomes the dialog's default, so Enter in a list or a text box does
// not press a button the user never chose.
void makeCommandButton(QPushButton* button);

// A named, placed command button.
QPushButton* commandButton(QWidget* parent, const QString& name, const QString& caption,
                           const QRect& geometry);

} // namespace FormControls
