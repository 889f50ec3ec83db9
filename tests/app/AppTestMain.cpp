// Runs the application tests inside a QApplication on the off-screen platform, in
// English unless a test chooses otherwise.
#include <QApplication>

#include <gtest/gtest.h>

#include "StringTable.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    StringTable::setLanguage(UiLanguage::English);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
