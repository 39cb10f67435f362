#include "QtMessageBoxPresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>

namespace {

using MessageBox::Answer;
using MessageBox::Buttons;
using MessageBox::Icon;

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Shows the request through the real presenter and lets `act` operate the box once it is up.
Answer showAndAct(const MessageBox::Request& request, SeenBox& seen,
                  const std::function<void(QMessageBox*)>& act) {
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            seen.buttons << button->text();
        seen.buttons.sort();
        act(box);
    });
    poll.start();
    QtMessageBoxPresenter presenter;
    return presenter.present(nullptr, request);
}

std::function<void(QMessageBox*)> click(const QString& text) {
    return [text](QMessageBox* box) {
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == text) {
                button->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << text.toStdString();
        box->done(-1); // close it anyway, so the test ends
    };
}

void pressEscape(QMessageBox* box) {
    QTest::keyClick(box, Qt::Key_Escape);
}

TEST(QtMessageBoxes, ShowTheRequestInJapaneseAndReturnTheButtonPressed) {
    const QString title = QStringLiteral("KORIMBA 自動転送");
    const struct {
        const char* what;
        Icon icon;
        Buttons buttons;
        std::function<void(QMessageBox*)> act;
        QMessageBox::Icon shownIcon;
        QStringList shownButtons;
        Answer answer;
    } cases[] = {
        {"OK",
         Icon::Exclamation,
         Buttons::Ok,
         click("OK"),
         QMessageBox::Warning,
         {"OK"},
         Answer::Ok},
        {"yes",
         Icon::Question,
         Buttons::YesNo,
         click(QStringLiteral("はい(&Y)")),
         QMessageBox::Question,
         {QStringLiteral("いいえ(&N)"), QStringLiteral("はい(&Y)")},
         Answer::Yes},
        {"no",
         Icon::Question,
         Buttons::YesNo,
         click(QStringLiteral("いいえ(&N)")),
         QMessageBox::Question,
         {QStringLiteral("いいえ(&N)"), QStringLiteral("はい(&Y)")},
         Answer::No},
        {"cancel",
         Icon::Critical,
         Buttons::OkCancel,
         click(QStringLiteral("キャンセル")),
         QMessageBox::Critical,
         {"OK", QStringLiteral("キャンセル")},
         Answer::Cancel},
        {"escape on yes/no",
         Icon::Question,
         Buttons::YesNo,
         pressEscape,
         QMessageBox::Question,
         {QStringLiteral("いいえ(&N)"), QStringLiteral("はい(&Y)")},
         Answer::No},
        {"escape on OK/cancel",
         Icon::Information,
         Buttons::OkCancel,
         pressEscape,
         QMessageBox::Information,
         {"OK", QStringLiteral("キャンセル")},
         Answer::Cancel},
        {"hint without icon",
         Icon::None,
         Buttons::Ok,
         click("OK"),
         QMessageBox::NoIcon,
         {"OK"},
         Answer::Ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SeenBox seen;
        const MessageBox::Request request{QStringLiteral("転送先を登録しますか?"), title, c.icon,
                                          c.buttons};
        EXPECT_EQ(showAndAct(request, seen, c.act), c.answer);
        EXPECT_EQ(seen.title, title);
        EXPECT_EQ(seen.text, QStringLiteral("転送先を登録しますか?"));
        EXPECT_EQ(seen.icon, c.shownIcon);
        EXPECT_EQ(seen.buttons, c.shownButtons);
    }
}

} // namespace
