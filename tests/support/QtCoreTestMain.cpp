// main() for GoogleTest programs that open serial ports: the device library's serial
// I/O thread runs a Qt event loop, which Qt allows only once a QCoreApplication exists.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
