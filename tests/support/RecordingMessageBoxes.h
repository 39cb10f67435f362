#pragma once

#include "MessageBox.h"

#include <QList>

#include <deque>

// Answers message boxes from a queue filled in advance and records every box shown.
// Installed for its lifetime; an unexpected box (empty queue) is answered with its first button.
class RecordingMessageBoxes : public MessageBox::Presenter {
public:
    RecordingMessageBoxes();
    ~RecordingMessageBoxes() override;

    void queueAnswer(MessageBox::Answer answer) { answers_.push_back(answer); }
    const QList<MessageBox::Request>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

    MessageBox::Answer present(QWidget* parent, const MessageBox::Request& request) override;

private:
    MessageBox::Presenter* previous_;
    std::deque<MessageBox::Answer> answers_;
    QList<MessageBox::Request> shown_;
};
