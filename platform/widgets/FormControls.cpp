#include "FormControls.h"

#include <QKeyEvent>

namespace FormControls {
namespace {

// Qt presses a focused button on Enter only when it may become the default button; this gives
// the focused button the key without that.
class EnterPressesFocusedButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        auto* button = static_cast<QPushButton*>(watched);
        if (button->isEnabled())
            button->click();
        return true;
    }
};

} // namespace

void makeCommandButton(QPushButton* button) {
    button->setAutoDefault(false);
    button->installEventFilter(new EnterPressesFocusedButton(button));
}

QPushButton* commandButton(QWidget* parent, const QString& name, const QString& caption,
                           const QRect& geometry) {
    auto* button = named(new QPushButton(caption, parent), name);
    button->setGeometry(geometry);
    makeCommandButton(button);
    return button;
}

} // namespace FormControls
