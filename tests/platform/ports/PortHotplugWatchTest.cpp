// The hot-plug watch on a device folder of the test's own: a device that appears or
// goes is told once, other changes of the folder are not, and never twice a second.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <string>
#include <vector>

#include "EventWait.h"
#include "PortHotplugWatch.h"

namespace {

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(PortHotplugWatch, SignalsOncePerChangeOfTheSerialDevicesAtMostOnceASecond)
{
    QTemporaryDir folder;
    std::vector<std::string> ports = {"/dev/ttyS0"};
    int listings = 0;
    CPortHotplugWatch watch(nullptr, folder.path(), [&] {
        ++listings;
        return ports;
    });
    std::vector<qint64> signalled;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&watch, &CPortHotplugWatch::portsChanged, [&] { signalled.push_back(clock.elapsed()); });

    // A node that is no serial device: the list is looked at, nothing is signalled.
    Touch(folder.path() + "/null2");
    ASSERT_TRUE(WaitFor([&] { return listings >= 2; }, 3000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(signalled.empty());

    // A USB bridge appears: one signal.
    ports.push_back("/dev/ttyUSB0");
    Touch(folder.path() + "/ttyUSB0");
    ASSERT_TRUE(WaitFor([&] { return signalled.size() == 1; }, 3000));

    // It goes and comes back at once: one more signal, a second after the first.
    ports.pop_back();
    QFile::remove(folder.path() + "/ttyUSB0");
    ASSERT_TRUE(WaitFor([&] { return signalled.size() == 2; }, 3000));
    EXPECT_GE(signalled[1] - signalled[0], 990);
    ports.push_back("/dev/ttyUSB1");
    Touch(folder.path() + "/ttyUSB1");
    ASSERT_TRUE(WaitFor([&] { return signalled.size() == 3; }, 3000));
    EXPECT_GE(signalled[2] - signalled[1], 990);
}

}  // namespace
