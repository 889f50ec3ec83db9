#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include "BaseThread.h"
#include "CaptureEvent.h"
#include "CaptureHeader.h"
#include "CaptureIndexWriter.h"
#include "RadarDevice.h"
#include "RawRecording.h"

class CRawBlockWriter;
class CReportFrameDecoder;
class IAcquisitionDisplay;

// One acquisition run after another: the worker thread "ABDData" reads the module's
// byte stream, appends every block to the run's raw recording, notes it in the run's
// capture index (when each block arrived, beside the recording) and hands it to the
// report frame decoder, until StopAcquisition.
//
// Threads: StartWorker, StopAcquisition and the setters run on the user-interface
// thread; ThreadFunc is the worker. The stop flag is the only thing both touch while
// a run goes on. The raw recording and the device's reads belong to the worker from
// StartWorker until StopAcquisition has joined it, and to the user-interface thread
// otherwise. The capture index is shared: the worker adds blocks, the user-interface
// thread adds events (labels, a lost link), each under m_indexMutex.
class CAcquisitionSession : public IThreadFuncInterface {
public:
    // The worker's read: at most one block, waiting up to this long for a byte.
    static constexpr int kReadTimeoutMs = 2000;
    // After a read that fails at once (the link is gone) the worker waits this long
    // before it reads again, so an unplugged module does not make it spin.
    static constexpr int kFailedReadPauseMs = 250;

    CAcquisitionSession(CReportFrameDecoder& decoder, IAcquisitionDisplay& display);
    ~CAcquisitionSession() override;
    CAcquisitionSession(const CAcquisitionSession&) = delete;
    CAcquisitionSession& operator=(const CAcquisitionSession&) = delete;

    // While no run goes on: the device to read (lent, not owned; may be null).
    void SetDevice(VetraRadarHandle device) { m_device = device; }
    // While no run goes on: where raw recordings go; empty for "Log" beside the executable.
    void SetRecordFolder(std::string folder) { m_recordFolder = std::move(folder); }
    // While no run goes on: what the next run's capture index says of the link and the
    // module (the session adds the start time).
    void SetCaptureHeader(CaptureHeader header) { m_captureHeader = std::move(header); }

    // Opens a new raw recording (a run without one still goes on) and starts the
    // worker. False, changing nothing, when a worker still runs; false also when the
    // thread could not be started.
    bool StartWorker();

    // Ends acquisition: stops and joins the worker (at most one read time-out plus a
    // decoding pass), stops the module's report stream, closes the raw recording, then
    // the display steps. Also when nothing runs: every step is still applied.
    void StopAcquisition();

    // The link is gone while the run goes on: stops and joins the worker and keeps the
    // recording open for ResumeWorker. Nothing is sent to the device.
    void PauseWorker();
    // The link is back: the worker starts again and appends to the same recording.
    // False when it is already running or could not be started.
    bool ResumeWorker();

    // The running flag: set by the owner right after StartWorker, cleared by StopAcquisition.
    void SetRunningFlag() { m_runningFlag.store(1); }
    bool IsRunningFlagSet() const { return m_runningFlag.load() != 0; }

    // User-interface thread, while a run goes on (also while paused): one event in the
    // capture index, timed now. Nothing happens without a run or an index.
    void AddCaptureEvent(const CaptureEvent& event);

    // The raw recording of the current or the last run; empty when it had none.
    std::string GetRawFilePath() const;
    // Its capture index; empty when the run had none.
    std::string GetIndexPath() const;
    // Bytes in that recording so far. Any thread.
    long long RecordedBytes() const { return m_recordedBytes.load(std::memory_order_relaxed); }

    // The worker loop; runs on the thread "ABDData".
    unsigned int ThreadFunc(void* context) override;

private:
    // Raises the stop flag, wakes a pausing worker and joins it.
    void StopWorker();
    // Worker: waits up to ms, returning early when a stop is asked for.
    void PauseUnlessStopping(int ms);
    // Microseconds since the run began.
    std::int64_t RunTimeUs() const;
    // Opens the index beside a new recording and writes its header and start event.
    void OpenCaptureIndex();
    // Writes the stop event and closes the index, logging a failure.
    void CloseCaptureIndex();
    // Worker: the block that arrived at arrivedUs went into the recording at offset
    // (all, part or none of it: raw tells), with what that did to a write-error gap.
    void IndexBlock(long long offset, const CRawBlockWriter& raw, bool wasInGap, std::int64_t arrivedUs);
    // Worker: hands what the index holds to the file.
    void FlushCaptureIndex();

    CReportFrameDecoder& m_decoder;
    IAcquisitionDisplay& m_display;
    VetraRadarHandle m_device = nullptr;
    std::string m_recordFolder;
    CRawRecording m_recording;
    CaptureHeader m_captureHeader;
    std::chrono::steady_clock::time_point m_runStarted{};
    mutable std::mutex m_indexMutex;
    CCaptureIndexWriter m_index;  // guarded by m_indexMutex
    std::int64_t m_indexFlushedUs = 0;  // guarded by m_indexMutex: the index's last flush
    CBaseThread m_thread;
    std::atomic<std::int32_t> m_stopFlag{0};
    std::atomic<std::int32_t> m_runningFlag{0};
    // Written by the worker after each block, read by the user-interface thread.
    std::atomic<long long> m_recordedBytes{0};
    // Wakes a worker pausing after a failed read as soon as a stop is asked for.
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
};
