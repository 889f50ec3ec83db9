// Faults of the module and its link, against the whole main window over a
// pseudo-terminal: a stream with garbage and broken frames, a module that never
// answers commands, and replies with a wrong CRC.
#include <QElapsedTimer>
#include <QLineEdit>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "MainWindowFixture.h"
#include "ParamConfigDlg.h"
#include "SimModuleProcess.h"

namespace {

using Dlg = CVetra_Tivane_PeloToolDlg;
using Param = CParamConfigDlg;
using Frames = std::vector<std::pair<int, int>>;

QByteArray ReadWholeFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Written from the frame's description, not from the decoder: AA AA, state, distance
// (little-endian), 55 55; anything else moves the scan on by one byte.
Frames ReferenceFrames(const QByteArray& bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    Frames frames;
    qsizetype i = 0;
    while (i + 7 <= bytes.size()) {
        if (b[i] == 0xAA && b[i + 1] == 0xAA && b[i + 5] == 0x55 && b[i + 6] == 0x55) {
            frames.emplace_back(b[i + 2], b[i + 3] | (b[i + 4] << 8));
            i += 7;
        } else {
            ++i;
        }
    }
    return frames;
}

// The "State=s, M_D=d" lines of a diagnostic log, in order.
Frames LoggedFrames(const QByteArray& log)
{
    Frames frames;
    for (const QByteArray& line : log.split('\n')) {
        const qsizetype at = line.indexOf("State=");
        if (at < 0)
            continue;
        int state = -1, distance = -1;
        if (std::sscanf(line.constData() + at, "State=%d, M_D=%d", &state, &distance) == 2)
            frames.emplace_back(state, distance);
    }
    return frames;
}

class ModuleFaults : public MainWindowFixture {
protected:
    // Starts the window and connects it to simradar with these options.
    void ConnectTo(std::vector<std::string> options)
    {
        options.insert(options.end(), {"--record", m_record.toStdString()});
        m_sim = std::make_unique<SimModuleProcess>(options);
        ASSERT_TRUE(m_sim->IsStarted());
        Start();
        m_window->AddExtraPortPath(m_sim->DevicePath());
        m_window->RefreshPortList();
        ASSERT_TRUE(m_window->SelectPort(m_sim->PortNumber()));
        m_window->OnConnect();
        ASSERT_EQ(ControlText(Dlg::kConnectButton), "Disconn.");
    }
    Param& Dialog() { return m_window->ParamDialog(); }

    // Calls action while a 10 ms timer runs; returns the call's duration and how late
    // the timer's events were handled at worst once the call was over.
    std::pair<qint64, qint64> TimedWithTicks(const std::function<void()>& action)
    {
        QElapsedTimer clock;
        qint64 lastTick = 0, worstGapAfter = 0;
        QTimer ticker;
        ticker.setInterval(10);
        clock.start();
        qint64 endedAt = -1;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            if (endedAt >= 0 && lastTick >= endedAt)
                worstGapAfter = std::max(worstGapAfter, now - lastTick);
            lastTick = now;
        });
        ticker.start();
        action();
        endedAt = clock.elapsed();
        const qint64 took = endedAt;
        QTest::qWait(300);
        EXPECT_GT(lastTick, endedAt) << "the timer runs again after the call";
        return {took, worstGapAfter};
    }

    QString m_record = FolderPath(QStringLiteral("module-sent.bin"));
    std::unique_ptr<SimModuleProcess> m_sim;
};

TEST_F(ModuleFaults, GarbageAndBrokenTailsLogAndShowExactlyTheValidFrames)
{
    ConnectTo({"--interval", "2", "--frames", "1200", "--garbage", "--broken-tail", "--seed", "23"});
    m_window->OnStartStop();
    ASSERT_TRUE(m_window->IsRunning());
    const QString raw = QString::fromStdString(m_window->RawFilePath());
    // The module goes quiet after its frames; then the recording stops growing.
    qint64 size = -1;
    ASSERT_TRUE(WaitFor(
        [&] {
            const qint64 before = QFileInfo(raw).size();
            QTest::qWait(150);
            const qint64 now = QFileInfo(raw).size();
            const bool settled = now == before && now == size && now > 200 * 7;
            size = now;
            return settled;
        },
        20000));
    const QString lastShown = ControlText(Dlg::kDistanceDigits);
    const int shownPresence = m_window->ShownPresence();
    m_window->OnStartStop();

    const QByteArray recorded = ReadWholeFile(raw);
    const QByteArray sent = ReadWholeFile(m_record);
    ASSERT_TRUE(sent.contains(recorded)) << "the raw file is one stretch of what the module sent";
    const Frames valid = ReferenceFrames(recorded);
    ASSERT_GT(valid.size(), 200u);
    // The run's stream, from the module's record: no valid frame of it is missing.
    const qsizetype at = sent.indexOf(recorded);
    EXPECT_TRUE(ReferenceFrames(sent.mid(at + recorded.size())).empty()) << "frames after the run's recording";
    const Frames logged = LoggedFrames(ReadWholeFile(QString::fromStdString(m_window->LogPath())));
    EXPECT_EQ(logged.size(), valid.size());
    EXPECT_TRUE(logged == valid) << "every valid frame is logged once, in order, and nothing else";
    EXPECT_EQ(lastShown, QString::number(valid.back().second)) << "the digits show the last valid frame";
    EXPECT_EQ(shownPresence, valid.back().first == 1 || valid.back().first == 2 ? valid.back().first : 0);
}

TEST_F(ModuleFaults, AModuleThatNeverAnswersFailsReadAndSetWithinTheTimeOut)
{
    ConnectTo({"--mute"});
    EXPECT_EQ(ControlText(Dlg::kFirmwareLabel), "FW Ver:Unknown");
    const DetectionParams before = m_window->Settings().params;

    const auto [readTook, readGap] = TimedWithTicks([&] { Dialog().OnRead(); });
    RecordProperty("read_ms", int(readTook));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Fail to Read Configuration");
    EXPECT_LT(readTook, 5000) << "command-mode retries and the exchange time-out bound the wait";
    EXPECT_LT(readGap, 500) << "the event loop is not held up after the failure";

    Dialog().Controls().item<QLineEdit>(Param::kMotionRangeMaxEdit)->setText("600");
    const auto [setTook, setGap] = TimedWithTicks([&] { Dialog().OnSet(); });
    RecordProperty("set_ms", int(setTook));
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].text, "Fail to set basic config.");
    EXPECT_LT(setTook, 5000);
    EXPECT_LT(setGap, 500);
    EXPECT_EQ(std::memcmp(&m_window->Settings().params, &before, sizeof before), 0);

    // The link itself is still usable: acquisition starts and records.
    m_window->OnStartStop();
    EXPECT_TRUE(m_window->IsRunning());
}

TEST_F(ModuleFaults, RepliesWithAWrongCrcAreFailuresAndChangeNothing)
{
    ConnectTo({"--bad-crc"});
    EXPECT_EQ(ControlText(Dlg::kFirmwareLabel), "FW Ver:Unknown") << "a corrupt version reply is not shown";
    const DetectionParams before = m_window->Settings().params;
    Dialog().OnRead();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Fail to Read Configuration");
    Dialog().Controls().item<QLineEdit>(Param::kMotionRangeMaxEdit)->setText("600");
    Dialog().OnSet();
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].text, "Fail to set basic config.");
    EXPECT_EQ(std::memcmp(&m_window->Settings().params, &before, sizeof before), 0);
}

}  // namespace
