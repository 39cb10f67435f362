#include "MessageBox.h"
#include "RecordingMessageBoxes.h"

#include <gtest/gtest.h>

namespace {

using MessageBox::Answer;
using MessageBox::Buttons;
using MessageBox::Icon;

TEST(MessageBoxSeam, WithoutAPresenterEveryBoxTakesItsFirstButton) {
    ASSERT_EQ(MessageBox::presenter(), nullptr);
    const struct {
        Buttons buttons;
        Answer answer;
    } cases[] = {
        {Buttons::Ok, Answer::Ok}, {Buttons::OkCancel, Answer::Ok}, {Buttons::YesNo, Answer::Yes}};
    for (const auto& c : cases)
        EXPECT_EQ(MessageBox::show(nullptr, "text", "title", Icon::None, c.buttons), c.answer);
}

TEST(MessageBoxSeam, ARecorderAnswersFromItsQueueAndKeepsEveryBox) {
    {
        RecordingMessageBoxes boxes;
        boxes.queueAnswer(Answer::No);
        EXPECT_EQ(MessageBox::show(nullptr, QStringLiteral("登録しますか?"),
                                   QStringLiteral("KORIMBA 自動転送"), Icon::Question,
                                   Buttons::YesNo),
                  Answer::No);
        EXPECT_EQ(MessageBox::show(nullptr, "second", "t", Icon::Exclamation, Buttons::OkCancel),
                  Answer::Ok);
        ASSERT_EQ(boxes.shown().size(), 2);
        EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("登録しますか?"));
        EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("KORIMBA 自動転送"));
        EXPECT_EQ(boxes.shown()[0].icon, Icon::Question);
        EXPECT_EQ(boxes.shown()[0].buttons, Buttons::YesNo);
        EXPECT_EQ(boxes.shown()[1].icon, Icon::Exclamation);
    }
    EXPECT_EQ(MessageBox::presenter(), nullptr) << "the previous presenter comes back";
}

} // namespace
