#pragma once

#include "MessageBox.h"

// The real message boxes: QMessageBox with the request's icon, buttons and title.
class QtMessageBoxPresenter : public MessageBox::Presenter {
public:
    MessageBox::Answer present(QWidget* parent, const MessageBox::Request& request) override;
};
