#include "AcquisitionSession.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>
#include "BaseBuffer.h"
#include "DbgOutput.h"
#include "IAcquisitionDisplay.h"
#include "RawBlockWriter.h"
#include "UtcTime.h"
#include "ReportFrameDecoder.h"

namespace {
constexpr const char* kWorkerName = "ABDData";
constexpr std::size_t kWorkerStackBytes = 4194304;
// A read that comes back empty sooner than this did not wait for data: the link failed.
constexpr auto kShortestWaitingRead = std::chrono::milliseconds(100);
// Used when the device offers no usable block size.
constexpr int kFallbackBlockSize = 4096;
// The level of the note of a failing close: above the frame lines (level 2), so it is
// kept when the log is set to errors only.
constexpr int kRecordingErrorLevel = 1;
}  // namespace

CAcquisitionSession::CAcquisitionSession(CReportFrameDecoder& decoder, IAcquisitionDisplay& display)
    : m_decoder(decoder), m_display(display)
{
}

CAcquisitionSession::~CAcquisitionSession()
{
    // The owner normally stops first; this only makes sure no worker outlives the session.
    StopWorker();
}

bool CAcquisitionSession::StartWorker()
{
    // The recording belongs to a running worker: reopening it under the worker would race.
    if (m_thread.IsRunning())
        return false;
    m_recording.Close();
    m_recording.OpenNew(m_recordFolder.empty() ? CRawRecording::DefaultFolder() : m_recordFolder);
    OpenCaptureIndex();
    m_stopFlag.store(0);
    m_recordedBytes.store(0, std::memory_order_relaxed);
    return m_thread.StartThread(kWorkerName, this, nullptr, 0, kWorkerStackBytes, 0) != 0;
}

void CAcquisitionSession::StopWorker()
{
    {
        // Under the mutex, so a worker about to pause cannot miss the wake-up.
        std::lock_guard<std::mutex> hold(m_wakeMutex);
        m_stopFlag.store(1);
    }
    m_wake.notify_all();
    m_thread.StopThread();
}

void CAcquisitionSession::PauseWorker()
{
    StopWorker();
}

bool CAcquisitionSession::ResumeWorker()
{
    if (m_thread.IsRunning())
        return false;
    m_stopFlag.store(0);
    return m_thread.StartThread(kWorkerName, this, nullptr, 0, kWorkerStackBytes, 0) != 0;
}

void CAcquisitionSession::StopAcquisition()
{
    StopWorker();
    // Only now: the stop command must never overlap the worker's read.
    if (m_device)
        Vetra_Interface_RadarDevice_Stop(m_device);
    CloseCaptureIndex();
    const std::string rawPath = m_recording.GetPath();
    if (m_recording.GetStream() && !m_recording.Close())
        DbgOutputA(kRecordingErrorLevel, "The raw recording could not be closed: %s: %s\r\n", rawPath.c_str(),
                   std::strerror(errno));
    m_display.DiscardQueuedReports();
    m_display.ResetPresenceIndicator();
    m_runningFlag.store(0);
    m_display.ShowStartButtonText();
}

std::string CAcquisitionSession::GetRawFilePath() const
{
    return m_recording.GetPath();
}

std::string CAcquisitionSession::GetIndexPath() const
{
    std::lock_guard<std::mutex> hold(m_indexMutex);
    return m_index.Path();
}

std::int64_t CAcquisitionSession::RunTimeUs() const
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - m_runStarted)
        .count();
}

void CAcquisitionSession::OpenCaptureIndex()
{
    std::lock_guard<std::mutex> hold(m_indexMutex);
    m_index.Close();
    m_runStarted = std::chrono::steady_clock::now();
    m_indexFlushedUs = 0;
    if (!m_recording.GetStream())
        return;  // no recording, nothing to index
    if (!m_index.Open(m_recording.GetPath())) {
        DbgOutputA(kRecordingErrorLevel, "The capture index could not be made: %s\r\n", m_index.Error().c_str());
        return;
    }
    CaptureHeader header = m_captureHeader;
    const std::int64_t startedMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    header.startedUtc = FormatUtcTimestampMs(startedMs);
    header.utcOffsetMinutes = LocalUtcOffsetMinutes(startedMs);
    m_index.WriteHeader(header);
    m_index.AddEvent(0, CaptureEvent::Start());
    m_index.Flush();
}

void CAcquisitionSession::CloseCaptureIndex()
{
    std::lock_guard<std::mutex> hold(m_indexMutex);
    if (!m_index.IsOpen())
        return;
    m_index.AddEvent(RunTimeUs(), CaptureEvent::Stop());
    if (!m_index.Close())
        DbgOutputA(kRecordingErrorLevel, "The capture index is incomplete: %s: %s\r\n", m_index.Path().c_str(),
                   m_index.Error().c_str());
}

void CAcquisitionSession::AddCaptureEvent(const CaptureEvent& event)
{
    std::lock_guard<std::mutex> hold(m_indexMutex);
    if (!m_index.IsOpen())
        return;
    m_index.AddEvent(RunTimeUs(), event);
    m_index.Flush();
}

void CAcquisitionSession::PauseUnlessStopping(int ms)
{
    std::unique_lock<std::mutex> hold(m_wakeMutex);
    m_wake.wait_for(hold, std::chrono::milliseconds(ms), [this] { return m_stopFlag.load() != 0; });
}

void CAcquisitionSession::IndexBlock(long long offset, const CRawBlockWriter& raw, bool wasInGap, std::int64_t arrivedUs)
{
    std::lock_guard<std::mutex> hold(m_indexMutex);
    if (!m_index.IsOpen())
        return;
    if (raw.InGap() && !wasInGap)
        m_index.AddEvent(arrivedUs, CaptureEvent::WriteError(raw.Offset(), raw.LostInGap()));
    if (raw.Offset() > offset) {
        if (wasInGap)
            m_index.AddEvent(arrivedUs, CaptureEvent::WriteResumed(offset));
        m_index.AddBlock(offset, raw.Offset() - offset, arrivedUs);
    }
    // Blocks within a millisecond share a record, and the index goes to the file once a
    // millisecond at most: a crash loses at most the last millisecond of the index (its
    // bytes are in the recording, and a replay paces them at the report interval). At
    // the line limit a frame a block arrives every 76 us; a flush for each cost a third
    // of the worker's own time.
    if (arrivedUs - m_indexFlushedUs >= CCaptureIndexWriter::kMergeWindowUs) {
        m_index.Flush();
        m_indexFlushedUs = arrivedUs;
    }
}

void CAcquisitionSession::FlushCaptureIndex()
{
    std::lock_guard<std::mutex> hold(m_indexMutex);
    if (m_index.IsOpen())
        m_index.Flush();
}

unsigned int CAcquisitionSession::ThreadFunc(void*)
{
    // Per run: nothing of an earlier run's bytes is carried over.
    CBaseBuffer reassembly;
    int blockSize = m_device ? Vetra_Interface_RadarDevice_GetReadBlockBufferSize(m_device) : 0;
    if (blockSize < 1)
        blockSize = kFallbackBlockSize;
    std::vector<std::uint8_t> block(static_cast<std::size_t>(blockSize));
    // A run resumed after a reconnect goes on where the recording stands.
    CRawBlockWriter raw(m_recording.GetStream(), m_recording.GetPath(), m_recordedBytes.load(std::memory_order_relaxed));

    while (m_stopFlag.load() == 0) {
        const auto readStarted = std::chrono::steady_clock::now();
        int n = m_device ? Vetra_Interface_RadarDevice_ReadData(m_device, block.data(), blockSize, kReadTimeoutMs, 0)
                         : -1;
        if (n <= 0) {
            // The line is quiet: what the index holds goes to the file now.
            FlushCaptureIndex();
            if (std::chrono::steady_clock::now() - readStarted < kShortestWaitingRead)
                PauseUnlessStopping(kFailedReadPauseMs);
            continue;
        }
        if (n > blockSize)
            n = blockSize;
        const std::int64_t arrivedUs = RunTimeUs();
        const long long offset = raw.Offset();
        const bool wasInGap = raw.InGap();
        // A block the disk refused is noted and lost; decoding goes on either way.
        raw.Write(block.data(), std::size_t(n));
        m_recordedBytes.store(raw.Offset(), std::memory_order_relaxed);
        IndexBlock(offset, raw, wasInGap, arrivedUs);
        reassembly.AppendBuffer(block.data(), std::size_t(n));
        m_decoder.DecodeReportFrames(reassembly);
    }
    return 0;
}
