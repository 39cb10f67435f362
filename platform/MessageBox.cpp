#include "MessageBox.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcMessageBox, "platform.messagebox")

namespace MessageBox {
namespace {
Presenter* g_presenter = nullptr;
}

void setPresenter(Presenter* presenter) {
    g_presenter = presenter;
}

Presenter* presenter() {
    return g_presenter;
}

Answer show(QWidget* parent, const QString& text, const QString& title, Icon icon,
            Buttons buttons) {
    const Request request{text, title, icon, buttons};
    if (g_presenter)
        return g_presenter->present(parent, request);
    qCWarning(lcMessageBox) << "no message box presenter:" << title << text;
    switch (buttons) {
    case Buttons::YesNo:
        return Answer::Yes;
    case Buttons::OkCancel:
    case Buttons::Ok:
        break;
    }
    return Answer::Ok;
}

} // namespace MessageBox
