#include "HealthMonitor.h"

#include <QStorageInfo>
#include <QString>

#include <algorithm>

#include "DbgOutput.h"
#include "RecordingRoom.h"

namespace {
// The disk is asked once in this many looks (every 10 s): finding the file's file system
// reads the mount table.
constexpr int kDiskCheckEvery = 40;
}  // namespace

void CHealthMonitor::Start(std::uint64_t frames, Clock::time_point now)
{
    m_stallWatch.Start(frames, now);
    m_rateFrames = frames;
    m_rateSince = now;
    m_reportsPerSecond = 0.0;
    m_rateBytes = 0;
    m_bytesPerSecond = 0.0;
    m_lowDiskFreeMb = -1;
    m_diskCheckTick = kDiskCheckEvery - 1;  // the first look asks the disk
}

void CHealthMonitor::RestartStallWatch(std::uint64_t frames, Clock::time_point now)
{
    m_stallWatch.Start(frames, now);
}

CStallWatch::Change CHealthMonitor::Look(std::uint64_t frames, long long recordedBytes, const std::string& recording,
                                         int reportTimeMs, Clock::time_point now)
{
    const long long silence = SilenceMs(now);
    const CStallWatch::Change change = m_stallWatch.Update(frames, now, reportTimeMs);
    if (change == CStallWatch::Change::Started)
        DbgOutputA(2, "No report from the module for %lld ms\r\n", silence);
    else if (change == CStallWatch::Change::Ended)
        DbgOutputA(2, "Reports from the module again after %lld ms without a report\r\n", silence);
    // Rates over the last second or more, so one late report does not swing them.
    const double seconds = std::chrono::duration<double>(now - m_rateSince).count();
    if (seconds >= 1.0) {
        m_reportsPerSecond = double(frames - m_rateFrames) / seconds;
        m_bytesPerSecond = double(std::max(0LL, recordedBytes - m_rateBytes)) / seconds;
        m_rateFrames = frames;
        m_rateBytes = recordedBytes;
        m_rateSince = now;
    }
    if (++m_diskCheckTick >= kDiskCheckEvery) {
        m_diskCheckTick = 0;
        CheckDiskRoom(recording);
    }
    return change;
}

void CHealthMonitor::Stop()
{
    if (m_stallWatch.Stalled())
        DbgOutputA(2, "The run ended while the module sent no reports\r\n");
    m_stallWatch.Stop();
    m_lowDiskFreeMb = -1;
}

long long CHealthMonitor::SilenceMs(Clock::time_point now) const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(m_stallWatch.Silence(now)).count();
}

void CHealthMonitor::CheckDiskRoom(const std::string& recording)
{
    if (recording.empty())
        return;
    const QStorageInfo disk(QString::fromStdString(recording));
    const long long free = disk.isValid() ? disk.bytesAvailable() : -1;
    m_lowDiskFreeMb = IsRecordingRoomLow(free, m_bytesPerSecond) ? free / (1000 * 1000) : -1;
}
