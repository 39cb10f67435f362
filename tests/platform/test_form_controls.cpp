#include "FormControls.h"

#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct TwoButtonDialog {
    QDialog dialog;
    QLineEdit* box = new QLineEdit(&dialog);
    QPushButton* entry =
        FormControls::commandButton(&dialog, QStringLiteral("CommandEntry"), QStringLiteral("登録"),
                                    Twips::rect(0, 600, 1140, 300));
    QPushButton* cancel = FormControls::commandButton(&dialog, QStringLiteral("CommandCan"),
                                                      QStringLiteral("キャンセル"),
                                                      Twips::rect(1200, 600, 1140, 300));
    QSignalSpy entryClicks{entry, &QPushButton::clicked};
    QSignalSpy cancelClicks{cancel, &QPushButton::clicked};

    TwoButtonDialog() {
        dialog.show();
        dialog.activateWindow();
    }
};

TEST(FormControls, EnterPressesTheFocusedButtonOnly) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        TwoButtonDialog form;
        form.cancel->setFocus();
        QTest::keyClick(form.cancel, key);
        EXPECT_EQ(form.cancelClicks.count(), 1);
        EXPECT_EQ(form.entryClicks.count(), 0);
    }
}

TEST(FormControls, EnterInATextBoxPressesNoButton) {
    TwoButtonDialog form;
    // The entry button had the focus before: in a plain dialog it would now be the default.
    form.entry->setFocus();
    form.box->setFocus();
    QTest::keyClick(form.box, Qt::Key_Return);
    EXPECT_EQ(form.entryClicks.count(), 0);
    EXPECT_EQ(form.cancelClicks.count(), 0);
    EXPECT_TRUE(form.dialog.isVisible());
}

TEST(FormControls, ADisabledButtonIgnoresEnter) {
    TwoButtonDialog form;
    form.entry->setFocus();
    form.entry->setEnabled(false);
    QTest::keyClick(form.entry, Qt::Key_Return);
    EXPECT_EQ(form.entryClicks.count(), 0);
}

TEST(FormControls, ControlsCarryTheirNameAndTwipsGeometry) {
    TwoButtonDialog form;
    EXPECT_EQ(form.entry->objectName(), QStringLiteral("CommandEntry"));
    EXPECT_EQ(form.entry->geometry(), QRect(0, 40, 76, 20));
    EXPECT_FALSE(form.entry->autoDefault());
}

} // namespace
