// Faults of the program folder around the main window: a recording that runs out of
// room, a settings file that is garbage or no file at all, and missing pictures.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

#include <csignal>
#include <cstring>
#include <sys/resource.h>

#include "ColorStatic.h"
#include "DbgOutput.h"
#include "MainWindowFixture.h"
#include "PtyPeer.h"
#include "SerialPortNames.h"

namespace {

using Dlg = CVetra_Tivane_PeloToolDlg;

QByteArray ReadWholeFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Files of this process may not grow past the limit while it lives: writes past it
// fail (EFBIG) as on a full disk, with SIGXFSZ ignored as a program that handles
// write errors sees it.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() { Lift(); }
    void Lift()
    {
        if (m_set)
            setrlimit(RLIMIT_FSIZE, &m_saved);
        m_set = false;
        std::signal(SIGXFSZ, m_savedSignal);
    }
    bool IsSet() const { return m_set; }

private:
    rlimit m_saved{};
    void (*m_savedSignal)(int) = SIG_DFL;
    bool m_set = false;
};

class FolderFaults : public MainWindowFixture {
protected:
    void StartOnPeer() { ConnectAndStartOn(m_peer); }

    PtyPeer m_peer;
};

TEST_F(FolderFaults, ARecordingOutOfRoomKeepsAWholePrefixWhileDecodingAndDisplayGoOn)
{
    constexpr rlim_t kRoom = 8192;
    StartOnPeer();
    FileSizeLimit limit(kRoom);
    ASSERT_TRUE(limit.IsSet());

    // 2,100 frames (14,700 bytes): the log and the recording both run out of room.
    QByteArray sent;
    for (int block = 0; block < 21; ++block) {
        std::vector<std::uint8_t> bytes;
        int lastDistance = 0, lastState = 0;
        for (int i = 0; i < 100; ++i) {
            lastState = (block * 100 + i) % 3;
            lastDistance = 1 + block * 100 + i;
            const auto frame = PtyPeer::ReportFrame(std::uint8_t(lastState), std::uint16_t(lastDistance));
            bytes.insert(bytes.end(), frame.begin(), frame.end());
        }
        sent.append(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        ASSERT_TRUE(m_peer.Write(bytes));
        ASSERT_TRUE(WaitFor([&] { return ControlText(Dlg::kDistanceDigits) == QString::number(lastDistance); }))
            << "block " << block << ": the display goes on after the disk is full";
        EXPECT_EQ(m_window->ShownPresence(), lastState);
    }
    EXPECT_TRUE(m_window->IsRunning());
    m_window->OnStartStop();
    limit.Lift();

    const QByteArray raw = ReadWholeFile(QString::fromStdString(m_window->RawFilePath()));
    EXPECT_EQ(raw.size(), qsizetype(kRoom)) << "the recording is filled up to the last byte there was room for";
    EXPECT_TRUE(sent.startsWith(raw)) << "and holds no gap or stray byte";
    const QByteArray log = ReadWholeFile(QString::fromStdString(m_window->LogPath()));
    EXPECT_LE(log.size(), qsizetype(kRoom));
    EXPECT_TRUE(log.contains("State=1, M_D=002\r\n")) << "the log holds the frames up to its end";

    // Settings, kept outside the full files, are still saved on close.
    m_window->Settings().reportTimeMS = 77;
    CloseAndDestroy();
    EXPECT_TRUE(SettingsText().contains(QStringLiteral("77")));
}

// A disk that fills and is freed again: the blocks that found no room are lost, the
// later ones are recorded again, and the log says where the gap starts and ends. (The
// log is set to notes only, so it keeps room while the recording has none.)
TEST_F(FolderFaults, ARecordingResumesAfterTheDiskHasRoomAgainAndTheLogNotesTheGap)
{
    constexpr rlim_t kRoom = 4096;
    constexpr int kBlockBytes = 700;  // 100 frames
    struct NotesOnly {
        NotesOnly() { DbgOutputSetLevel(1); }
        ~NotesOnly() { DbgOutputSetLevel(5); }
    } notesOnly;
    StartOnPeer();
    FileSizeLimit limit(kRoom);
    ASSERT_TRUE(limit.IsSet());

    QByteArray sent;
    auto sendBlock = [&](int block) {
        std::vector<std::uint8_t> bytes;
        for (int i = 0; i < 100; ++i) {
            const auto frame = PtyPeer::ReportFrame(1, std::uint16_t(1 + block * 100 + i));
            bytes.insert(bytes.end(), frame.begin(), frame.end());
        }
        sent.append(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        return m_peer.Write(bytes) &&
               WaitFor([&] { return ControlText(Dlg::kDistanceDigits) == QString::number(100 + block * 100); });
    };
    for (int block = 0; block < 10; ++block)
        ASSERT_TRUE(sendBlock(block)) << block;
    limit.Lift();  // room again
    for (int block = 10; block < 13; ++block)
        ASSERT_TRUE(sendBlock(block)) << block;
    m_window->OnStartStop();

    const QString rawPath = QString::fromStdString(m_window->RawFilePath());
    const QByteArray raw = ReadWholeFile(rawPath);
    const qsizetype resumedFrom = 10 * kBlockBytes;
    EXPECT_EQ(raw.size(), qsizetype(kRoom) + 3 * kBlockBytes);
    EXPECT_EQ(raw.left(qsizetype(kRoom)), sent.left(qsizetype(kRoom))) << "the part that had room";
    EXPECT_EQ(raw.mid(qsizetype(kRoom)), sent.mid(resumedFrom)) << "every block after the disk had room again";
    const QByteArray log = ReadWholeFile(QString::fromStdString(m_window->LogPath()));
    const long long lostInAll = resumedFrom - qsizetype(kRoom);
    EXPECT_EQ(log.count("The raw recording failed"), 1) << "noted once, not for every lost block:\n"
                                                        << log.toStdString();
    // How much of the failing read is lost depends on how the serial reads split the bytes.
    EXPECT_TRUE(log.contains(("The raw recording failed at offset 4096: " + rawPath + ": " + std::strerror(EFBIG) +
                              " (").toUtf8()))
        << log.toStdString();
    EXPECT_EQ(log.count("The raw recording resumed"), 1) << log.toStdString();
    EXPECT_TRUE(log.contains(("The raw recording resumed at offset 4096: " + rawPath + " (" +
                              QString::number(lostInAll) + " bytes lost)\r\n").toUtf8()))
        << log.toStdString();
    CloseAndDestroy();
}

TEST_F(FolderFaults, AGarbageSettingsFileGivesTheDefaultsIsRepairedAndKeptAsBad)
{
    const QByteArray garbage("\x01\x02<<>>\xff\xfe</ garbage &#; <?", 25);
    WriteSettingsFile(garbage);
    Start();
    EXPECT_EQ(m_window->Settings().baudRate, 256000);
    const DetectionParams defaults = DetectionParams::Defaults();
    EXPECT_EQ(std::memcmp(&m_window->Settings().params, &defaults, sizeof defaults), 0)
        << "the module's default detection parameters";
    EXPECT_TRUE(m_window->isVisible());
    CloseAndDestroy();

    EXPECT_EQ(ReadWholeFile(FolderPath(QStringLiteral("appConfig.xml.bad"))), garbage) << "the original is kept";
    XMLParser reread;
    CSettingsFile again(reread, FolderPath(QStringLiteral("appConfig.xml")).toStdString());
    again.ReadAtStartup();
    EXPECT_TRUE(again.GetBackupPath().empty()) << "the repaired file reads without complaint";
    EXPECT_TRUE(SettingsText().contains(QStringLiteral("AppConfig")));
}

TEST_F(FolderFaults, ASettingsPathThatIsAFolderStillStartsWithTheDefaults)
{
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(QStringLiteral("appConfig.xml")));
    Start();
    EXPECT_EQ(m_window->Settings().baudRate, 256000);
    EXPECT_TRUE(m_window->isVisible());
    CloseAndDestroy();
}

TEST_F(FolderFaults, MissingPicturesLeaveTheIndicatorInItsBackgroundColour)
{
    QDir images(FolderPath(QStringLiteral("Image")));
    ASSERT_TRUE(images.removeRecursively());
    Start();
    const CColorStatic* indicator = m_window->IndicatorPicture();
    ASSERT_NE(indicator, nullptr);
    EXPECT_EQ(indicator->GetImage(), nullptr);
    const QImage shown = const_cast<CColorStatic*>(indicator)->grab().toImage();
    ASSERT_FALSE(shown.isNull());
    const QRgb first = shown.pixel(0, 0);
    int others = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            others += shown.pixel(x, y) != first ? 1 : 0;
    EXPECT_EQ(others, 0) << "one plain colour, nothing drawn";
}

}  // namespace
