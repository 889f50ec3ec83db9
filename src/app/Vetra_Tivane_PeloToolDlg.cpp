// Construction, initialisation, resizing and shutdown of the main window.
#include "Vetra_Tivane_PeloToolDlg.h"
#include "ParamWorkbench.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <cmath>

#include "AppResources.h"
#include "ColorStatic.h"
#include "CWaveWnd.h"
#include "DialogBuilder.h"
#include "DialogTemplate.h"
#include "FileUtils.h"
#include "GdiplusApi.h"
#include "HealthStrip.h"
#include "PortHotplugWatch.h"
#include "RecordingBar.h"
#include "SettingsFile.h"
#include "StateBand.h"
#include "StringIds.h"
#include "StringTable.h"
#include "SysColors.h"

namespace {

constexpr int kIconId = 128;
constexpr int kDigitsFontHeight = 40;
constexpr int kUnitFontHeight = 30;
// The smallest the window may be, as a share of its initial size on each side. The
// layout scales the fonts with the window, so the texts keep fitting; below this they
// shrink under 9 pixels (the dialog font is 12), too small to read in either language.
constexpr double kSmallestScale = 0.75;
// CColorStatic alignments.
constexpr int kAlignNear = 0;
constexpr int kAlignFar = 2;

std::string ExecutableFolder()
{
    char folder[kVetraMaxPath] = {};
    GetProgramPathA(0, folder, sizeof folder);
    return folder;
}

}  // namespace

void CVetra_Tivane_PeloToolDlg::BitmapDeleter::operator()(Gdiplus::Bitmap* bitmap) const
{
    Gdiplus_DeleteBitmap(bitmap);
}

CVetra_Tivane_PeloToolDlg::CVetra_Tivane_PeloToolDlg(CSettingsFile& settingsFile, std::string programFolder,
                                                     QWidget* parent)
    : QDialog(parent),
      m_settingsFile(settingsFile),
      m_programFolder(programFolder.empty() ? ExecutableFolder() : std::move(programFolder))
{
    m_icon = QIcon(AppResourcePath(QStringLiteral("ICON"), kIconId, StringTable::language()));
    m_tool.Acquisition().SetRecordFolder(LogFolder());
    CLinkController& links = m_tool.Links();
    connect(&links, &CLinkController::linkLost, this, &CVetra_Tivane_PeloToolDlg::OnLinkLost);
    connect(&links, &CLinkController::linkWatched, this, &CVetra_Tivane_PeloToolDlg::UpdateHealth);
    connect(&links, &CLinkController::gapGoesOn, this, &CVetra_Tivane_PeloToolDlg::ShowGapOnChart);
    connect(&links, &CLinkController::linkBack, this, &CVetra_Tivane_PeloToolDlg::OnLinkBack);
}

CVetra_Tivane_PeloToolDlg::~CVetra_Tivane_PeloToolDlg()
{
    DestroyWindow();
}

void CVetra_Tivane_PeloToolDlg::UseLogFolder(const std::string& folder)
{
    m_logFolder = folder;
    m_tool.Acquisition().SetRecordFolder(LogFolder());
}

std::string CVetra_Tivane_PeloToolDlg::LogFolder() const
{
    if (!m_logFolder.empty())
        return m_logFolder;
    char folder[kVetraMaxPath] = {};
    if (!CombinePathNameA(folder, m_programFolder.c_str(), "Log", sizeof folder))
        return "Log";
    return folder;
}

QWidget* CVetra_Tivane_PeloToolDlg::CreateCustomControl(int id, QWidget* parent)
{
    switch (id) {
    case kIndicatorPicture:
        return m_indicator = new CColorStatic(parent);
    case kDistanceDigits:
        return m_distanceText = new CColorStatic(parent);
    case kUnitLabel:
        return m_unitText = new CColorStatic(parent);
    case kChart:
        return m_chart = new CWaveWnd(parent);
    default:
        return nullptr;
    }
}

bool CVetra_Tivane_PeloToolDlg::OnInitDialog()
{
    if (m_initialised)
        return true;
    const DialogTemplateResult dialogTemplate = DialogTemplate::fromResource(kTemplateId);
    if (!dialogTemplate)
        return false;
    m_initialised = true;
    DialogBuilder builder(StringTable::language());
    builder.setWidgetFactory([this](int id, QWidget* parent) { return CreateCustomControl(id, parent); });
    m_controls = builder.build(*dialogTemplate, this);
    if (!m_indicator || !m_distanceText || !m_unitText || !m_chart)
        return false;

    setWindowIcon(m_icon);
    SetTitleWithVersion();
    m_log.Open(LogFolder());
    LoadPresencePictures();
    RefreshPortList();
    RestoreDefaults();
    LoadSettings();
    m_controls.SetDlgItemInt(kBaudRateEdit, m_settings.baudRate);
    connect(&m_tool, &CToolSession::controlsChanged, this, &CVetra_Tivane_PeloToolDlg::ApplyMode);
    ApplyMode();
    SetupColorStatics();
    SetupChart();
    UpdatePresenceDisplay();
    AddStateBand();
    AddHealthStrip();
    AddRecordingBar();
    m_resizeTool.Init(this);
    for (QWidget* pane : {static_cast<QWidget*>(m_healthStrip), static_cast<QWidget*>(m_stateBand),
                          static_cast<QWidget*>(m_recordingBar)})
        m_paneFilter.AddPane(pane);
    m_resizeTool.SetFilter(&m_paneFilter);
    // Below this the proportional layout would cut texts and shrink them past reading.
    setMinimumSize(QSize(int(std::ceil(width() * kSmallestScale)), int(std::ceil(height() * kSmallestScale))));
    AddStatisticsPanel();
    m_tool.Link().Create();
    m_tool.Acquisition().SetDevice(m_tool.Link().Handle());
    m_paramDlg.SetLink(&m_tool.Link());
    m_paramDlg.SetToolInterface(this);
    m_paramDlg.Create(this);
    AddParamWorkbench();
    ConnectButtons();
    m_portWatch = new CPortHotplugWatch(this);
    connect(m_portWatch, &CPortHotplugWatch::portsChanged, this, &CVetra_Tivane_PeloToolDlg::OnPortsChanged);
    return true;
}

void CVetra_Tivane_PeloToolDlg::SetTitleWithVersion()
{
    char16_t version[260] = {};
    if (!GetFileVersionW(nullptr, version, 260))
        version[0] = 0;
    setWindowTitle(QStringLiteral("%1(v%2)").arg(windowTitle(), QString::fromStdU16String(version)));
}

CVetra_Tivane_PeloToolDlg::Picture CVetra_Tivane_PeloToolDlg::LoadPresencePicture(int nameId) const
{
    // The names separate folders with "\"; the path is formed in UTF-8 and read as UTF-16.
    const QString name = StringTable::load(nameId).replace(QLatin1Char('\\'), QLatin1Char('/'));
    char path[kVetraMaxPath] = {};
    if (name.isEmpty() || !CombinePathNameA(path, m_programFolder.c_str(), name.toUtf8().constData(), sizeof path))
        return nullptr;
    return Picture(Gdiplus_LoadBitmapFromFileW(QString::fromUtf8(path).toStdU16String().c_str()));
}

void CVetra_Tivane_PeloToolDlg::LoadPresencePictures()
{
    // New pictures may reuse an old one's address: the indicator must take them anew.
    m_indicatorShowsPicture = false;
    m_nobodyPicture = LoadPresencePicture(StringId::kNobodyPictureName);
    m_movingPicture = LoadPresencePicture(StringId::kMovingPictureName);
    m_motionlessPicture = LoadPresencePicture(StringId::kMotionlessPictureName);
}

void CVetra_Tivane_PeloToolDlg::ConnectButtons()
{
    const auto connectButton = [this](int id, void (CVetra_Tivane_PeloToolDlg::*handler)()) {
        auto* button = m_controls.item<QPushButton>(id);
        if (!button)
            return;
        // No default button: Enter must do nothing, not click whichever button Qt would pick.
        button->setAutoDefault(false);
        button->setDefault(false);
        connect(button, &QPushButton::clicked, this, handler);
    };
    connectButton(kRefreshButton, &CVetra_Tivane_PeloToolDlg::RefreshPortList);
    connectButton(kConnectButton, &CVetra_Tivane_PeloToolDlg::OnConnect);
    connectButton(kStartButton, &CVetra_Tivane_PeloToolDlg::OnStartStop);
    connectButton(kConfigButton, &CVetra_Tivane_PeloToolDlg::OnConfig);
}

void CVetra_Tivane_PeloToolDlg::SetupColorStatics()
{
    const COLORREF face = CSysColors::Get(CSysColors::kBtnFace);
    m_indicator->SetStyle(face, u"", int(m_scale * kDigitsFontHeight), kAlignFar);
    m_distanceText->SetStyle(face, u"460", int(m_scale * kDigitsFontHeight), kAlignFar);
    m_unitText->SetStyle(face, nullptr, int(m_scale * kUnitFontHeight), kAlignNear);
}

void CVetra_Tivane_PeloToolDlg::RestoreDefaults()
{
    m_settings.params.RestoreDefaults();
}

void CVetra_Tivane_PeloToolDlg::LoadSettings()
{
    m_settingsFile.LoadSettings(m_settings);
}

void CVetra_Tivane_PeloToolDlg::SaveSettings()
{
    m_settingsFile.SaveSettings(m_settings);
}

int CVetra_Tivane_PeloToolDlg::DoModal()
{
    if (!OnInitDialog())
        return QDialog::Rejected;
    const int result = exec();
    DestroyWindow();
    return result;
}

void CVetra_Tivane_PeloToolDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // A minimised window keeps its layout; the restore brings the real size.
    if (!isMinimized())
        OnSize(event->size().width(), event->size().height());
}

void CVetra_Tivane_PeloToolDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // A restore from the task bar is a size change like any other, even when the size
    // is what it was before (no resize event comes then).
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if ((change->oldState() & Qt::WindowMinimized) && !isMinimized())
        OnSize(width(), height(), true);
}

void CVetra_Tivane_PeloToolDlg::OnSize(int width, int height, bool restored)
{
    double ratioX = 1.0;
    double ratioY = 1.0;
    // Before OnInitDialog has recorded the layout the tool answers 0 and nothing changes.
    // An open statistics panel lies below what the tool lays out.
    if (!m_resizeTool.Resize(width, height - m_statisticsExtra, &ratioX, &ratioY))
        return;
    m_scale = std::min(ratioX, ratioY);
    m_distanceText->SetFontHeight(int(m_scale * kDigitsFontHeight));
    m_distanceText->update();
    m_unitText->SetFontHeight(int(m_scale * kUnitFontHeight));
    m_unitText->update();
    // The set-up clears the curve, which belongs to a change of the chart itself.
    if (restored || !(m_chartSetUpFor == ChartSetUp{m_chart->size(), m_scale}))
        SetupChart();
    else
        PlaceInsightViews();
}

void CVetra_Tivane_PeloToolDlg::closeEvent(QCloseEvent* event)
{
    // The close box ends the modal run with "cancel"; Escape and Enter do not reach here.
    done(QDialog::Rejected);
    event->accept();
}

void CVetra_Tivane_PeloToolDlg::DestroyWindow()
{
    if (m_destroyed || !m_initialised)
        return;
    m_destroyed = true;
    m_tool.Links().StopWatch();
    StopReplay();
    StopRun();
    // The parameter dialog outlives the handle by a little: it must not use it any more.
    m_paramDlg.hide();
    m_paramDlg.SetLink(nullptr);
    if (m_workbench) {
        m_workbench->hide();
        m_workbench->SetDevice(nullptr);
        m_workbench->SetToolInterface(nullptr);
    }
    m_paramDlg.SetToolInterface(nullptr);
    m_tool.Acquisition().SetDevice(nullptr);
    m_tool.Link().Destroy();
    m_settings.baudRate = ReadBaudRate();
    SaveSettings();
    m_log.Close();
    m_indicatorShowsPicture = false;
    m_nobodyPicture.reset();
    m_movingPicture.reset();
    m_motionlessPicture.reset();
    m_tool.Decoder().GetHistory().Replace(0);
}
