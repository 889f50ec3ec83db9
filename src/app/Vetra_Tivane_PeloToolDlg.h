#pragma once
#include <QDateTime>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QIcon>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AcquisitionSession.h"
#include "BaseStringA.h"
#include "DiagnosticLog.h"
#include "DialogControls.h"
#include "IAcquisitionDisplay.h"
#include "IReportSink.h"
#include "IToolDlgInterface.h"
#include "PaintTrace.h"
#include "PaneResizeFilter.h"
#include "ParamConfigDlg.h"
#include "RadarDevice.h"
#include "LabelsFileWriter.h"
#include "ToolSession.h"
#include "RecordingDecode.h"
#include "RecordingJobs.h"
#include "RecordingLoad.h"
#include "ReplayRunner.h"
#include "ReportFrameDecoder.h"
#include "RunInsight.h"
#include "SerialPortEntry.h"
#include "StallWatch.h"
#include "TaskRunner.h"
#include "ToolSettings.h"
#include "WndResizeTool.h"

class CColorStatic;
class CHealthStrip;
class CParamWorkbench;
class CRecordingBar;
class CStateBand;
class COverviewDialog;
class CStatisticsPanel;
class CPortHotplugWatch;
class CSettingsFile;
class CWaveWnd;
namespace Gdiplus {
class Bitmap;
}

// The main window (template 1000): port and baud rate, connect and start, the presence
// picture with its two indicator radios, the distance digits and the 15-second distance
// chart. A view of the session (CToolSession), which owns the link, the decoder, the
// acquisition worker and the replay; the window owns the pictures, the chart, the bars
// and the parameter dialog.
//
// Threads: the window, its controls and every handler belong to the user-interface
// thread. The acquisition thread ("ABDData") and the replay thread, both inside the
// session, reach this class only through the session's report fan-out, which calls its
// IReportSink: it posts the report event and feeds the chart, touching no widget. The
// state and distance they store live in the session's decoder (atomics); the history it
// steps has its own lock, which SetupChart takes too.
//
// Lifecycle: construct, OnInitDialog (DoModal does it, or a test), the modal run or
// show(), then DestroyWindow (DoModal does it; the destructor otherwise).
class CVetra_Tivane_PeloToolDlg : public QDialog,
                                  public IToolDlgInterface,
                                  private IReportSink,
                                  private IAcquisitionDisplay {
public:
    static constexpr int kTemplateId = 1000;
    // Controls of template 1000.
    static constexpr int kRefreshButton = 1100;
    static constexpr int kPortCombo = 1101;
    static constexpr int kBaudRateEdit = 1102;
    static constexpr int kConnectButton = 1103;
    static constexpr int kConfigButton = 1104;
    static constexpr int kStartButton = 1105;
    static constexpr int kUnitLabel = 1107;
    static constexpr int kFirmwareLabel = 1208;
    static constexpr int kIndicatorPicture = 1400;
    static constexpr int kMovingRadio = 1401;
    static constexpr int kMotionlessRadio = 1402;
    static constexpr int kDistanceDigits = 1403;
    static constexpr int kChart = 1500;
    // How often the window checks that the link to the module still stands.
    static constexpr int kLinkWatchIntervalMs = CLinkController::kWatchIntervalMs;

    // settingsFile: the settings document and file, already read at start-up.
    // programFolder: where "Image" and "Log" are; empty for the executable's folder.
    explicit CVetra_Tivane_PeloToolDlg(CSettingsFile& settingsFile, std::string programFolder = {},
                                       QWidget* parent = nullptr);
    ~CVetra_Tivane_PeloToolDlg() override;

    // Builds the window and brings it to its start-up state. Once; false when template
    // 1000 cannot be read.
    bool OnInitDialog();
    // The modal run: OnInitDialog when not yet done, the run itself, then DestroyWindow.
    int DoModal();
    // The shutdown of the window (stop, close the device, save, close the log); once.
    void DestroyWindow();

    // Handlers of the port, connection and run controls.
    void RefreshPortList();
    void OnConnect();
    void OnStartStop();
    void OnConfig();
    // Shows the stored state and distance.
    void UpdatePresenceDisplay();
    void ShowIndicatorPicture(Gdiplus::Bitmap* picture);
    // Configures the chart and rebuilds the distance history (the curve restarts at 0).
    void SetupChart();

    // IToolDlgInterface.
    void RestoreDefaults() override;
    void StopAcquisition() override;

    // Before OnInitDialog: recordings and logs go to folder instead of "Log" under the
    // program folder (an installed tool's per-user folder).
    void UseLogFolder(const std::string& folder);
    // Also lists this serial device path on every refresh (--port).
    void AddExtraPortPath(const std::string& path);
    // Selects the list item of this port number; false when it is not listed.
    bool SelectPort(int portNumber);
    // A serial device appeared or went: the list is made again, keeping the choice.
    void OnPortsChanged();

    // For owners and tests.
    const DialogControls& Controls() const { return m_controls; }
    CParamConfigDlg& ParamDialog() { return m_paramDlg; }
    CWaveWnd* Chart() const { return m_chart; }
    CColorStatic* IndicatorPicture() const { return m_indicator; }
    CColorStatic* DistanceDigits() const { return m_distanceText; }
    CColorStatic* UnitLabel() const { return m_unitText; }
    CHealthStrip* HealthStrip() const { return m_healthStrip; }
    const CAcquisitionSession& Session() const { return m_tool.Acquisition(); }
    // Whether the digits and the picture are shown as old data.
    bool ShowsStaleData() const { return m_showingStale; }
    // Takes a fresh look at the link's health (the link watch does it 4 times a second).
    void UpdateHealth();
    // The "Reconnect automatically" check box: remembered in the settings file.
    void SetAutoReconnect(bool on);
    bool IsReconnecting() const { return m_tool.LinkMode() == ToolMode::Reconnecting; }
    // Completed reconnects since the window was made.
    int Reconnects() const { return m_tool.Links().Reconnects(); }
    // How often a lost device is looked for while reconnecting.
    static constexpr int kReconnectIntervalMs = CLinkController::kReconnectIntervalMs;
    const ToolSettings& Settings() const { return m_settings; }
    ToolSettings& Settings() { return m_settings; }
    VetraRadarHandle Device() const { return m_tool.Link().Handle(); }
    // What the tool is doing; the connection and run controls follow it.
    ToolMode Mode() const { return m_tool.Mode(); }
    bool IsRunning() const { return m_tool.Acquisition().IsRunningFlagSet(); }
    double Scale() const { return m_scale; }
    const std::string& LogPath() const { return m_log.GetPath(); }
    std::string RawFilePath() const { return m_tool.Acquisition().GetRawFilePath(); }
    std::vector<std::int32_t> HistoryValues() { return m_tool.Decoder().GetHistory().GetValues(); }
    // Which picture the indicator was last given: 0 nobody, 1 moving, 2 motionless.
    int ShownPresence() const { return m_shownPresence; }

    // The event that tells the window a report has arrived (posted by the acquisition thread).
    static QEvent::Type RadarReportEventType();

    // The parameter workbench (Vetra_Tivane_PeloToolDlg_Params.cpp).
    void OpenParamWorkbench();
    // Null until first opened.
    CParamWorkbench* ParamWorkbench() const { return m_workbench; }

    // Recordings (Vetra_Tivane_PeloToolDlg_Replay.cpp, _Recording.cpp).
    // Replays the recording at path (a .dat): false, after a box saying why, when it
    // cannot be replayed or a run goes on.
    bool OpenReplay(const QString& path);
    // Ends a replay as a Stop ends a run.
    void StopReplay();
    // The overview of the replayed recording (Vetra_Tivane_PeloToolDlg_Overview.cpp).
    void OpenOverview();
    COverviewDialog* OverviewDialog() const { return m_overviewDialog; }
    // The whole-file jobs of the recording bar's clicks, off this thread (see CTaskRunner).
    CTaskRunner& Tasks() { return m_tasks; }
    // Jumps to a position of the replay, playing on if it played.
    void SeekReplay(std::int64_t positionUs);
    bool IsReplaying() const { return m_tool.Mode() == ToolMode::Replaying; }
    CReplayRunner& Replay() { return m_tool.Replay(); }
    CRecordingBar* RecordingBar() const { return m_recordingBar; }
    // The ground truth from now on: into the run's capture index, or a replay's labels
    // file. False when neither a run nor a replay goes on.
    bool SetLabel(GroundTruthLabel label);
    // The reports of the recording at datPath as CSV at csvPath; message says what
    // happened, for the operator. False, after a box for an unusable recording, on failure.
    bool ExportCsvTo(const std::string& datPath, const std::string& csvPath, QString* message);
    // The label summary of the recording at datPath, in the interface language.
    QString LabelSummaryText(const std::string& datPath);

    // What the module decides (Vetra_Tivane_PeloToolDlg_Insight.cpp): the state band
    // under the chart and the statistics panel, for the run or replay on show.
    CStateBand* StateBand() const { return m_stateBand; }
    CStatisticsPanel* StatisticsPanel() const { return m_statisticsPanel; }
    const CRunInsight& Insight() const { return m_tool.Insight(); }
    // Opens or closes the statistics panel (remembered in the settings file).
    void ShowStatistics(bool open);
    bool StatisticsShown() const { return m_statisticsExtra > 0; }
    // Shows the latest figures in the panel, if open and anything changed.
    void RefreshStatistics();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A .dat dropped on the window is replayed.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

public:
    // Enter and Escape do nothing: only the close box, the system menu or Alt+F4 closes.
    void accept() override {}
    void reject() override {}

private:
    // The health strip and the stall watch (Vetra_Tivane_PeloToolDlg_Health.cpp).
    void AddHealthStrip();
    void StartHealthWatch();
    void StopHealthWatch();
    void ShowDataAsStale(bool stale);
    void AddParamWorkbench();
    // The state band and the statistics panel.
    void AddStateBand();
    void AddStatisticsPanel();
    // Lines the band up with the chart's plot, and the panel with the window's bottom.
    void PlaceInsightViews();
    // A run or a replay starts: the figures start again, with its time base and labels.
    void StartInsight(std::int64_t reportIntervalMs, const QDateTime& timeBase,
                      const std::vector<LabelChange>* labels);
    // Steps the band through a gap of `steps` report intervals, as the chart does.
    void ShowGapOnBand(std::int32_t steps);
    // The recording bar and replays.
    void AddRecordingBar();
    void UpdateRecordingBar();
    void SetUpReplay();
    void RestartReplayAt(std::int64_t positionUs, bool play);
    void OnReplayPlayPause();
    void OnReplayEnded();
    void UpdateReplayPosition();
    // What the health strip says first during a replay: the file and the pacing note.
    QString ReplayStatusText() const;
    // The wall-clock time the replayed run began, when its capture index tells it.
    QDateTime ReplayTimeBase() const;
    // The replayed recording, else the current or last run's; empty when there is none.
    std::string RecordingOnShow() const;
    // True for a usable recording; otherwise a box says why, naming path.
    bool UsableOrSaidWhy(const LoadedRecording& loaded, const QString& path);
    // Writes to the log what is wrong with the index or labels file but lets the replay go on.
    void NoteCompanionProblems(const LoadedRecording& loaded, const QString& path);
    void OnExportCsv();
    void OnLabelSummary();
    void RequestOverview();
    void ShowOverview(DecodedRecording decoded);
    void ShowTaskBusy(int kind, bool busy);
    // The outcome of a CSV export or a summary, sync or async: boxes for what went wrong.
    bool ExportFinished(const TaskOutcome<CsvExportOutcome>& outcome, const std::string& datPath,
                        const std::string& csvPath, QString* message);
    QString SummaryFinished(const TaskOutcome<RecordingSummary>& outcome, const std::string& datPath);
    // Reconnecting (Vetra_Tivane_PeloToolDlg_Reconnect.cpp).
    // The run waits for its lost device, and goes on when it is back at path.
    void BeginReconnect();
    void OnLinkBack(const std::string& path);
    // Steps the chart by the report intervals the gap has lasted, as missing samples.
    void ShowGapOnChart();
    // The window after a link that will not come back: disconnected, Start and Config off.
    void ShowLinkGone();
    // The listed device of this path, or null (the simulated module, a path of --port).
    const SerialPortEntry* ListedPort(const std::string& path) const;
    // Why the port of this number could not be opened and what to do, for the error box.
    QString AdviceOnFailedOpen(int portNumber) const;
    struct BitmapDeleter {
        void operator()(Gdiplus::Bitmap* bitmap) const;
    };
    using Picture = std::unique_ptr<Gdiplus::Bitmap, BitmapDeleter>;

    // Initialisation steps (Vetra_Tivane_PeloToolDlg.cpp).
    QWidget* CreateCustomControl(int id, QWidget* parent);
    void SetTitleWithVersion();
    void LoadPresencePictures();
    Picture LoadPresencePicture(int nameId) const;
    void ConnectButtons();
    void SetupColorStatics();
    // restored: the window came back from minimised, which redoes the chart's set-up
    // even at the same size.
    void OnSize(int width, int height, bool restored = false);
    void LoadSettings();
    void SaveSettings();
    std::string ProgramFolder() const { return m_programFolder; }
    std::string LogFolder() const;

    // Connection and run control (Vetra_Tivane_PeloToolDlg_Connection.cpp).
    // Shows the connection and run controls as the mode wants them.
    void ApplyMode();
    // Ends the run (or the wait for a lost link) for the window's own reasons; the
    // parameter dialog's StopAcquisition also holds Connect until a Start and a Stop.
    void StopRun();
    int ReadBaudRate() const;
    void ShowFirmwareVersion();
    void ResetPresence();
    void OnLinkLost();

    // Presence display (Vetra_Tivane_PeloToolDlg_Presence.cpp).
    void OnRadarReport();
    Gdiplus::Bitmap* PictureForState(std::int32_t state, int& radio, int& presence) const;

    // IReportSink: acquisition thread.
    void PostRadarReport() override;
    void FeedChart(const std::int32_t* history, std::int32_t length) override;
    // IAcquisitionDisplay: user-interface thread, after the worker has ended.
    void DiscardQueuedReports() override;
    void ResetPresenceIndicator() override;
    void ShowStartButtonText() override;

    CSettingsFile& m_settingsFile;
    std::string m_programFolder;
    std::string m_logFolder;
    QIcon m_icon;
    CPaneResizeFilter m_paneFilter;  // outlives the tool, which points at it
    CWndResizeTool m_resizeTool;
    double m_scale = 1.0;
    // What the chart was last set up for: a resize that changes neither its size nor the
    // scale (the statistics panel changes only the window's height) keeps the curve.
    struct ChartSetUp {
        QSize size;
        double scale = 0.0;
        bool operator==(const ChartSetUp& other) const { return size == other.size && scale == other.scale; }
    };
    ChartSetUp m_chartSetUpFor;
    DialogControls m_controls;
    CColorStatic* m_indicator = nullptr;
    CColorStatic* m_distanceText = nullptr;
    CColorStatic* m_unitText = nullptr;
    CWaveWnd* m_chart = nullptr;
    CDiagnosticLog m_log;
    std::int32_t m_distanceMax = 800;
    Picture m_nobodyPicture;
    Picture m_movingPicture;
    Picture m_motionlessPicture;
    int m_shownPresence = 0;
    // The picture last given to the indicator (it holds its own copy); none before the first.
    Gdiplus::Bitmap* m_indicatorPicture = nullptr;
    bool m_indicatorShowsPicture = false;
    // Report frames the presence display took in at its last update, and the chart at
    // its last feed (acquisition thread), for the paint trace (see CPaintTrace).
    std::uint64_t m_framesOnDisplay = 0;
    std::atomic<std::uint64_t> m_framesCharted{0};
    CPaintTrace m_paintTrace;
    // Baud rate, detection parameters and report interval, as in the settings file.
    ToolSettings m_settings;
    CParamConfigDlg m_paramDlg{&m_settings.params};
    std::vector<std::string> m_extraPortPaths;
    // The serial devices of the last refresh, in list order.
    std::vector<SerialPortEntry> m_listedPorts;
    // Refreshes the list when devices come and go; made by OnInitDialog, a child.
    CPortHotplugWatch* m_portWatch = nullptr;
    // The health strip (user-interface thread); the session's health monitor feeds it.
    CHealthStrip* m_healthStrip = nullptr;
    bool m_showingStale = false;
    bool m_initialised = false;
    bool m_destroyed = false;
    CRecordingBar* m_recordingBar = nullptr;
    // The band and panel (children, user-interface thread). The insight itself is fed by
    // the decoding thread through FeedChart; see CRunInsight for its locks.
    CStateBand* m_stateBand = nullptr;
    CStatisticsPanel* m_statisticsPanel = nullptr;
    COverviewDialog* m_overviewDialog = nullptr;
    // Driven and answered on this thread only; its jobs touch nothing of the window.
    CTaskRunner m_tasks;
    // The panel's height while it is open: the window is that much taller, and the
    // proportional layout works on the rest.
    int m_statisticsExtra = 0;
    QTimer m_statisticsTick;
    std::uint64_t m_statisticsShown = ~std::uint64_t(0);
    // The labels set during the live run, in the run clock's time (user-interface thread).
    std::vector<LabelChange> m_liveLabels;
    CParamWorkbench* m_workbench = nullptr;
    std::shared_ptr<const CReplayTimeline> m_replayTimeline;
    std::string m_replayPath;
    // The labels of the replayed recording: those of its earlier replays, with those set in
    // this one, or its live labels until the first is set. Window thread only.
    CLabelLayers m_replayLabels;
    QString m_replayNote;
    // The report interval of the replayed run: a link gap shows as that many missing
    // samples. Written before the replay thread starts.
    std::atomic<std::int64_t> m_replayIntervalMs{50};
    QTimer m_replayTick;
    std::unique_ptr<CLabelsFileWriter> m_replayLabelsFile;
    // During a replay the display changes at most once a frame (60 a second): the first
    // report after a frame starts the timer of the next.
    static constexpr int kReplayFrameMs = 16;
    QTimer m_replayFrame;
    QElapsedTimer m_sincePositionShown;
    // Report events posted and not yet handled: a fast replay waits while there are many.
    std::atomic<int> m_queuedReports{0};
    // The application model: the module link (the one holder of the device handle), the
    // decoder with the acquisition worker and the replay runner in front of it, and the
    // mode the controls follow. Declared last: its threads report to this window, so
    // they stop before any other member goes.
    CToolSession m_tool{static_cast<IReportSink&>(*this), static_cast<IAcquisitionDisplay&>(*this)};
};
