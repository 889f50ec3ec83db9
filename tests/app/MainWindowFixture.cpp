#include "MainWindowFixture.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "SerialPortNames.h"

void MainWindowFixture::SetUp()
{
    ASSERT_TRUE(m_folder.isValid());
    QDir images(QStringLiteral(PRESENCE_PICTURES_DIR));
    ASSERT_TRUE(QDir(m_folder.path()).mkpath(QStringLiteral("Image")));
    for (const QString& name : images.entryList({QStringLiteral("*.png")}, QDir::Files))
        ASSERT_TRUE(QFile::copy(images.filePath(name), FolderPath(QStringLiteral("Image/") + name)));
    m_watcher = std::make_unique<MessageBoxWatcher>();
}

void MainWindowFixture::TearDown()
{
    m_window.reset();
    m_watcher.reset();
    SetInProcessSimulatedModuleOptions(SimulatedModuleOptions());
}

void MainWindowFixture::WriteSettingsFile(const QByteArray& text)
{
    QFile file(FolderPath(QStringLiteral("appConfig.xml")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

void MainWindowFixture::Start()
{
    SetInProcessSimulatedModuleOptions(m_simOptions);
    m_settingsFile = std::make_unique<CSettingsFile>(m_document, FolderPath(QStringLiteral("appConfig.xml")).toStdString());
    m_settingsFile->ReadAtStartup();
    m_window = std::make_unique<CVetra_Tivane_PeloToolDlg>(*m_settingsFile, m_folder.path().toStdString());
    ASSERT_TRUE(m_window->OnInitDialog());
    m_window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
}

void MainWindowFixture::CloseAndDestroy()
{
    m_window->DestroyWindow();
    m_window.reset();
}

void MainWindowFixture::ConnectToSimulatedModule()
{
    ASSERT_TRUE(m_window->SelectPort(kSimulatedPortNumber));
    m_window->OnConnect();
    ASSERT_EQ(Vetra_Interface_RadarDevice_IsConnected(m_window->Device()), 1);
}

bool MainWindowFixture::WaitForRecordedBytes(int timeoutMs)
{
    return WaitFor([this] { return QFileInfo(QString::fromStdString(m_window->RawFilePath())).size() > 0; },
                   timeoutMs);
}

bool MainWindowFixture::WaitFor(const std::function<bool()>& ready, int timeoutMs)
{
    return QTest::qWaitFor(ready, timeoutMs);
}

QString MainWindowFixture::ControlText(int id) const
{
    return m_window->Controls().GetDlgItemText(id);
}

bool MainWindowFixture::IsEnabled(int id) const
{
    const QWidget* widget = m_window->Controls().GetDlgItem(id);
    return widget && widget->isEnabled();
}

bool MainWindowFixture::IsChecked(int id) const
{
    return m_window->Controls().IsDlgButtonChecked(id);
}

QString MainWindowFixture::SettingsText() const
{
    QFile file(FolderPath(QStringLiteral("appConfig.xml")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString MainWindowFixture::FolderPath(const QString& name) const
{
    return m_folder.filePath(name);
}

QString MainWindowFixture::WriteTwoReportRecording(const QString& name) const
{
    const QByteArray frames = QByteArray::fromHex("AAAA01E8035555AAAA02F4015555");
    QFile file(FolderPath(name));
    return file.open(QIODevice::WriteOnly) && file.write(frames) == frames.size() ? file.fileName() : QString();
}

void MainWindowFixture::StartAndConnectTo(const std::string& devicePath)
{
    Start();
    m_window->AddExtraPortPath(devicePath);
    m_window->RefreshPortList();
    ASSERT_TRUE(m_window->SelectPort(RegisterSerialPortPath(devicePath)));
    m_window->OnConnect();
    ASSERT_EQ(ControlText(CVetra_Tivane_PeloToolDlg::kConnectButton), "Disconn.");
}

void MainWindowFixture::ConnectAndStartOn(PtyPeer& peer)
{
    ASSERT_TRUE(peer.IsOpen());
    StartAndConnectTo(peer.SlavePath());
    if (::testing::Test::HasFatalFailure())
        return;
    m_window->OnStartStop();
    ASSERT_TRUE(m_window->IsRunning());
    peer.DrainHostBytes();
}
