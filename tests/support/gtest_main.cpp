#include <QApplication>

#include <gtest/gtest.h>

// gtest_discover_tests and plain runs start this without the test's environment: choose the
// offscreen platform when there is no display, before QApplication exists.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
