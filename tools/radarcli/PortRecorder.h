#pragma once
#include <cstdint>
#include <string>

#include "AcquisitionSession.h"
#include "IAcquisitionDisplay.h"
#include "IReportSink.h"
#include "ModuleLink.h"
#include "ReportFrameDecoder.h"

// One module recorded into files of its own: its link, its report decoder and its
// acquisition session (raw recording and capture index), started and stopped the way
// the window starts and stops a run.
//
// Threads: every member function runs on the main thread, which plays the window's
// part for the session. The session's worker "ABDData" reads the device, writes the
// files and runs the decoder; the main thread reads the frame and byte counts (atomics)
// and asks the link whether it still stands while the worker runs.
class CPortRecorder {
public:
    static constexpr std::int64_t kReportIntervalMs = 50;  // the module's power-up interval, never changed here

    explicit CPortRecorder(std::string port);
    ~CPortRecorder();
    CPortRecorder(const CPortRecorder&) = delete;
    CPortRecorder& operator=(const CPortRecorder&) = delete;

    // See CModuleLink::SetStopCheck; set before Connect.
    void SetStopCheck(std::function<bool()> stopRequested) { m_link.SetStopCheck(std::move(stopRequested)); }
    // Opens the port, asks for the firmware version and, when the module answers, its
    // parameters. False with error when the port cannot be opened.
    bool Connect(int baud, std::string& error);
    // The start bracket, then a new recording in folder with the run's capture header.
    // False with error (everything stopped again) when the recording cannot be made.
    bool Start(const std::string& folder, std::string& error);
    // The link failed during the run: notes it in the capture index and stops.
    void StopAfterLostLink();
    // Stops the worker, tells the module to stop, closes the files and the port.
    // Harmless when not running.
    void Stop();

    bool IsRunning() const { return m_running; }
    bool LinkStands() const { return m_link.IsConnected(); }
    bool LinkWasLost() const { return m_linkLost; }
    bool ModuleAnswered() const { return m_moduleAnswered; }
    const std::string& Port() const { return m_port; }
    const std::string& Firmware() const { return m_firmware; }
    std::uint64_t Frames() const { return m_decoder.FramesReported(); }
    long long Bytes() const { return m_session.RecordedBytes(); }
    std::string RawPath() const { return m_session.GetRawFilePath(); }
    std::string IndexPath() const { return m_session.GetIndexPath(); }

private:
    // Nothing to show: the decoder's own count is what the command reports.
    class QuietSink : public IReportSink {
        void PostRadarReport() override {}
        void FeedChart(const std::int32_t*, std::int32_t) override {}
    };
    class NoDisplay : public IAcquisitionDisplay {
        void DiscardQueuedReports() override {}
        void ResetPresenceIndicator() override {}
        void ShowStartButtonText() override {}
    };

    std::string m_port;
    int m_baud = 0;
    CModuleLink m_link;
    QuietSink m_sink;
    NoDisplay m_display;
    CReportFrameDecoder m_decoder{m_sink};
    CAcquisitionSession m_session{m_decoder, m_display};
    std::string m_firmware;  // empty while the module has not told it
    bool m_moduleAnswered = false;
    bool m_hasParameters = false;
    DetectionParams m_parameters;
    bool m_running = false;
    bool m_linkLost = false;
};
