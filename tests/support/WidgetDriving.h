#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QWidget;

// Driving the real controls as a person would, for QtTest tests. The functions that can fail
// record the failure with QtTest and return.

// Types `text` into the widget with the focus on it, one committed character after another, as
// an input method delivers Japanese text (QTest::keyClicks refuses non-ASCII text).
void typeText(QWidget* widget, const QString& text);

// Types at the end of an editable box's text.
void typeInto(QComboBox* box, const QString& text);
// Selects all of an editable box's text and deletes it.
void eraseText(QComboBox* box);
// Replaces an editable box's text by typing.
void retype(QComboBox* box, const QString& text);

// Opens the box's list and clicks the entry with exactly this text.
void pick(QComboBox* box, const QString& text);

QStringList itemsOf(const QComboBox* box);
