// Port list, connect and disconnect, start and stop, and the watch on the link.
#include <QComboBox>

#include <algorithm>

#include "AppMessageBox.h"
#include "ConnectionDoctor.h"
#include "DbgOutput.h"
#include "PortListing.h"
#include "PortTexts.h"
#include "PtrListCtrl.h"
#include "RunCaptureHeader.h"
#include "SerialPortNames.h"
#include "StringIds.h"
#include "StringTable.h"
#include "Vetra_Tivane_PeloToolDlg.h"

namespace {



}  // namespace

void CVetra_Tivane_PeloToolDlg::RefreshPortList()
{
    auto* combo = m_controls.item<QComboBox>(kPortCombo);
    if (!combo)
        return;
    combo->clear();
    // The same listing the names come from, for what the names do not say.
    m_listedPorts = ListSerialPorts();
    CPtrListCtrl names;
    EnumSerialPortNameW(&names);
    QStringList listed;
    for (int i = 0; i < names.GetCount(); ++i) {
        const auto* name = static_cast<const char16_t*>(names.GetAt(i));
        const QString text = QString::fromStdU16String(name);
        combo->addItem(text, SerialPortNumberFromNameW(name));
        const QString path = text.section(QStringLiteral(" ("), 0, 0);
        listed.append(path);
        if (const SerialPortEntry* entry = ListedPort(path.toStdString()))
            combo->setItemData(combo->count() - 1, PortToolTip(*entry), Qt::ToolTipRole);
    }
    FreeSerialPortNameA(&names);
    // Device paths given on the command line that the system does not list (a pseudo-terminal).
    for (const std::string& path : m_extraPortPaths) {
        const QString text = QString::fromStdString(path);
        if (!listed.contains(text))
            combo->addItem(text, RegisterSerialPortPath(path));
    }
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
}

void CVetra_Tivane_PeloToolDlg::OnPortsChanged()
{
    // Only the list changes: an open port is not touched, and the operator's choice
    // stays chosen while its device is still there.
    auto* combo = m_controls.item<QComboBox>(kPortCombo);
    const int chosen = combo && combo->currentIndex() >= 0 ? combo->currentData().toInt() : -1;
    RefreshPortList();
    if (chosen != -1)
        SelectPort(chosen);
}

const SerialPortEntry* CVetra_Tivane_PeloToolDlg::ListedPort(const std::string& path) const
{
    const auto it = std::find_if(m_listedPorts.begin(), m_listedPorts.end(),
                                 [&](const SerialPortEntry& entry) { return entry.path == path; });
    return it == m_listedPorts.end() ? nullptr : &*it;
}

void CVetra_Tivane_PeloToolDlg::AddExtraPortPath(const std::string& path)
{
    if (!path.empty() && std::find(m_extraPortPaths.begin(), m_extraPortPaths.end(), path) == m_extraPortPaths.end())
        m_extraPortPaths.push_back(path);
    RegisterSerialPortPath(path);
}

bool CVetra_Tivane_PeloToolDlg::SelectPort(int portNumber)
{
    auto* combo = m_controls.item<QComboBox>(kPortCombo);
    const int index = combo ? combo->findData(portNumber) : -1;
    if (index < 0)
        return false;
    combo->setCurrentIndex(index);
    return true;
}

void CVetra_Tivane_PeloToolDlg::ApplyMode()
{
    // A replay rests the connection controls; what the link asks of them meanwhile (a
    // link lost during the replay, say) is what the end of the replay gives back.
    const ConnectionControls wanted = m_tool.Controls();
    const auto enable = [this](int id, bool enabled) {
        if (QWidget* control = m_controls.GetDlgItem(id))
            control->setEnabled(enabled);
    };
    enable(kRefreshButton, wanted.refreshEnabled);
    enable(kPortCombo, wanted.portEnabled);
    enable(kBaudRateEdit, wanted.baudEnabled);
    enable(kConnectButton, wanted.connectEnabled);
    enable(kConfigButton, wanted.configEnabled);
    enable(kStartButton, wanted.startEnabled);
    m_controls.SetDlgItemText(kConnectButton, StringTable::load(wanted.connectTextId));
    m_controls.SetDlgItemText(kStartButton, StringTable::load(wanted.startTextId));
}

int CVetra_Tivane_PeloToolDlg::ReadBaudRate() const
{
    return m_controls.GetDlgItemInt(kBaudRateEdit, true);
}

void CVetra_Tivane_PeloToolDlg::ShowFirmwareVersion()
{
    const CBaseStringA& firmware = m_tool.Links().Firmware();
    const QString version = QString::fromUtf8(firmware.GetString(), firmware.GetLength());
    m_controls.SetDlgItemText(kFirmwareLabel, StringTable::load(StringId::kFirmwareFormat).replace(QLatin1String("%s"), version));
}

void CVetra_Tivane_PeloToolDlg::ResetPresence()
{
    m_tool.Decoder().SetReport(0, 0);
    UpdatePresenceDisplay();
}

void CVetra_Tivane_PeloToolDlg::OnConnect()
{
    if (m_tool.Acquisition().IsRunningFlagSet())
        StopRun();
    m_settings.baudRate = ReadBaudRate();

    if (m_tool.Link().IsConnected()) {
        m_tool.Links().Disconnect();
    } else {
        const auto* combo = m_controls.item<QComboBox>(kPortCombo);
        const int index = combo ? combo->currentIndex() : -1;
        const int portNumber = index >= 0 ? combo->itemData(index).toInt() : -1;
        if (portNumber == -1) {
            m_tool.SetLinkMode(ToolMode::Disconnected);
            ShowErrorBox(this, StringId::kNoDeviceDetected);
        } else if (!m_tool.Links().Connect(portNumber, m_settings.baudRate,
                                           ListedPort(SerialPortPathFromNumber(portNumber)))) {
            ShowErrorBox(this, StringId::kFailToConnect, AdviceOnFailedOpen(portNumber));
            return;
        }
    }
    ShowFirmwareVersion();
    ResetPresence();
    SaveSettings();
    UpdateHealth();
}

QString CVetra_Tivane_PeloToolDlg::AdviceOnFailedOpen(int portNumber) const
{
    const std::string path = SerialPortPathFromNumber(portNumber);
    if (path.empty() || portNumber == kSimulatedPortNumber)
        return {};
    return ConnectionFailureAdvice(DiagnoseOpenFailure(path, ListedPort(path)), QString::fromStdString(path));
}

void CVetra_Tivane_PeloToolDlg::OnStartStop()
{
    if (m_tool.Acquisition().IsRunningFlagSet()) {
        StopRun();
        return;
    }
    m_settings.baudRate = ReadBaudRate();
    if (!m_tool.Link().IsConnected())
        return;
    m_tool.Link().SendStartBracket();
    m_tool.Decoder().SetReport(0, 0);
    SetupChart();
    UpdatePresenceDisplay();
    m_tool.Acquisition().SetCaptureHeader(RunCaptureHeader(
        m_tool.Link(), m_settings.baudRate, m_settings.reportTimeMS, m_tool.Links().FirmwareText(), &m_settings.params));
    // Before the worker runs: it stamps each report with this clock.
    m_tool.FanOut().StartRunClock();
    m_liveLabels.clear();
    StartInsight(m_settings.reportTimeMS, QDateTime::currentDateTime(), &m_liveLabels);
    if (!m_tool.Acquisition().StartWorker()) {
        // No worker: showing "Stop" would claim a run that does not exist.
        DbgOutputA(2, "The acquisition thread could not be started\r\n");
        StopRun();
        return;
    }
    m_tool.Acquisition().SetRunningFlag();
    StartHealthWatch();
    m_tool.SetLinkMode(ToolMode::Running);
    SaveSettings();
}

void CVetra_Tivane_PeloToolDlg::OnConfig()
{
    m_paramDlg.show();
    m_paramDlg.raise();
}

void CVetra_Tivane_PeloToolDlg::StopAcquisition()
{
    // After a stop by the parameter dialog Connect stays disabled until the operator
    // starts and stops a run again.
    const bool wasRunning = m_tool.LinkMode() == ToolMode::Running;
    StopRun();
    if (wasRunning)
        m_tool.NoteStoppedByParamDialog();
}

void CVetra_Tivane_PeloToolDlg::StopRun()
{
    // A stop while reconnecting ends the wait: the link is gone.
    const bool wasReconnecting = IsReconnecting();
    m_tool.Links().EndReconnect();
    m_tool.Acquisition().StopAcquisition();
    StopHealthWatch();
    if (m_tool.LinkMode() == ToolMode::Running)
        m_tool.SetLinkMode(ToolMode::Connected);
    if (wasReconnecting) {
        DbgOutputA(2, "Reconnecting ended by a stop\r\n");
        ShowLinkGone();
    }
}

void CVetra_Tivane_PeloToolDlg::OnLinkLost()
{
    // The operator asked for the run to survive an unplug: no box, wait for the device.
    if (m_settings.autoReconnect && m_tool.Acquisition().IsRunningFlagSet()) {
        BeginReconnect();
        return;
    }
    // Stopped first, so that the box below (its own event loop) cannot raise a second one.
    m_tool.Links().StopWatch();
    DbgOutputA(2, "The link to the module was lost\r\n");
    // The stop closes the raw recording, which keeps everything received up to now.
    if (m_tool.Acquisition().IsRunningFlagSet()) {
        m_tool.Acquisition().AddCaptureEvent(CaptureEvent::LinkLost("the port closed"));
        StopRun();
    }
    ShowLinkGone();
    ShowErrorBox(this, StringId::kDeviceUnconnected);
}

void CVetra_Tivane_PeloToolDlg::ShowLinkGone()
{
    m_tool.Links().Abandon();
    ShowFirmwareVersion();
    ResetPresence();
    UpdateHealth();
}
