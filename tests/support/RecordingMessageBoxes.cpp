#include "RecordingMessageBoxes.h"

RecordingMessageBoxes::RecordingMessageBoxes() : previous_(MessageBox::presenter()) {
    MessageBox::setPresenter(this);
}

RecordingMessageBoxes::~RecordingMessageBoxes() { MessageBox::setPresenter(previous_); }

MessageBox::Answer RecordingMessageBoxes::present(QWidget*, const MessageBox::Request& request) {
    shown_.append(request);
    if (!answers_.empty()) {
        const MessageBox::Answer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    return request.buttons == MessageBox::Buttons::YesNo ? MessageBox::Answer::Yes : MessageBox::Answer::Ok;
}
