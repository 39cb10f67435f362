#pragma once

#include <QString>

class QWidget;

// Every message box of the programs goes through this seam, so tests can answer and record them.
namespace MessageBox {

enum class Icon { None, Information, Exclamation, Question, Critical };
enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

struct Request {
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

// Shows a message box and waits for the answer.
class Presenter {
public:
    virtual ~Presenter() = default;
    virtual Answer present(QWidget* parent, const Request& request) = 0;
};

// The presenter in use; main() installs the real one, tests a recording one. The caller keeps
// ownership. Without one, every box is answered with its first button and a warning is logged.
void setPresenter(Presenter* presenter);
Presenter* presenter();

Answer show(QWidget* parent, const QString& text, const QString& title, Icon icon,
            Buttons buttons = Buttons::Ok);

} // namespace MessageBox
