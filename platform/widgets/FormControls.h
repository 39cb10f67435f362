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

// A command button that never becomes the Enter-key default: Enter in a list or a text box must
// not press a button the user never chose.
inline QPushButton* commandButton(QWidget* parent, const QString& name, const QString& caption,
                                  const QRect& geometry) {
    auto* button = named(new QPushButton(caption, parent), name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

} // namespace FormControls
