// SPDX-License-Identifier: MIT
// Runs the tests with a Qt application object, as the program has one.

#ifdef NUDGEON_TEST_WIDGETS
#include <QApplication>
#else
#include <QCoreApplication>
#endif
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests at build time has no display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef NUDGEON_TEST_WIDGETS
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
