// main() for the bitmap tests: text drawing needs fonts, which need a QGuiApplication.
// The tests never need a display, so without a platform choice they use offscreen
// (test discovery runs the program outside ctest's environment).
#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
