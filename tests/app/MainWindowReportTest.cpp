// Reports from a module the test plays itself on a pseudo-terminal: what the window
// shows for each, what a stop discards, what a resize resets, and what a screenshot holds.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

#include <chrono>
#include <thread>

#include "CWaveWnd.h"
#include "ColorStatic.h"
#include "HealthStrip.h"
#include "MainWindowFixture.h"
#include "PtyPeer.h"
#include "SerialPortNames.h"

namespace {

using Dlg = CVetra_Tivane_PeloToolDlg;

// Colour families of the pictures and the curve, by hue and saturation.
enum class Ink { Orange, Green, Red, Dark };

bool IsInk(QRgb pixel, Ink ink)
{
    const QColor c = QColor::fromRgb(pixel);
    const int hue = c.hsvHue();
    const bool saturated = c.hsvSaturation() > 140 && c.value() > 90;
    switch (ink) {
    case Ink::Orange:
        return saturated && hue >= 18 && hue <= 45;
    case Ink::Green:
        return saturated && hue >= 90 && hue <= 170;
    case Ink::Red:
        return saturated && (hue <= 8 || hue >= 350) && c.value() > 150;
    case Ink::Dark:
        return c.value() < 90;
    }
    return false;
}

// Share of the pixels of region (in image coordinates) that are of the given ink.
double InkShare(const QImage& image, const QRect& region, Ink ink)
{
    const QRect area = region.intersected(image.rect());
    if (area.isEmpty())
        return 0.0;
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += IsInk(image.pixel(x, y), ink) ? 1 : 0;
    return double(count) / double(area.width() * area.height());
}

class MainWindowReports : public MainWindowFixture {
protected:
    void StartOnPeer() { ConnectAndStartOn(m_peer); }

    void Send(std::uint8_t state, std::uint16_t distance)
    {
        const auto frame = PtyPeer::ReportFrame(state, distance);
        m_sent.insert(m_sent.end(), frame.begin(), frame.end());
        ASSERT_TRUE(m_peer.Write(frame));
    }

    // Sends a report and waits until the window shows its distance.
    void SendAndShow(std::uint8_t state, std::uint16_t distance)
    {
        Send(state, distance);
        ASSERT_TRUE(WaitFor([&] { return ControlText(Dlg::kDistanceDigits) == QString::number(distance); }))
            << "state " << int(state) << " distance " << distance;
    }

    // Where a control is in the window's own pixels.
    QRect ControlRect(int id, qreal devicePixelRatio) const
    {
        const QWidget* widget = m_window->Controls().GetDlgItem(id);
        const QRect r = widget->geometry();
        return QRect((r.topLeft() * devicePixelRatio), r.size() * devicePixelRatio);
    }

    QRect PlotRect(qreal devicePixelRatio) const
    {
        const RECT& plot = m_window->Chart()->GetPlotRect();
        const QPoint origin = m_window->Chart()->geometry().topLeft();
        return QRect(QPoint(origin.x() + plot.left, origin.y() + plot.top) * devicePixelRatio,
                     QSize(plot.right - plot.left, plot.bottom - plot.top) * devicePixelRatio);
    }

    PtyPeer m_peer;
    std::vector<std::uint8_t> m_sent;
};

TEST_F(MainWindowReports, EachReportShowsItsPictureRadioAndDistance)
{
    StartOnPeer();
    const struct {
        std::uint8_t state;
        std::uint16_t distance;
        int checkedRadio;
        int presence;
    } cases[] = {
        {1, 1234, Dlg::kMovingRadio, 1}, {2, 5, Dlg::kMotionlessRadio, 2}, {0, 460, 0, 0},
        {1, 65535, Dlg::kMovingRadio, 1}, {7, 0, 0, 0},  {2, 800, Dlg::kMotionlessRadio, 2},
        {255, 12, 0, 0},
    };
    for (const auto& c : cases) {
        SendAndShow(c.state, c.distance);
        EXPECT_EQ(m_window->ShownPresence(), c.presence) << "state " << int(c.state);
        EXPECT_EQ(IsChecked(Dlg::kMovingRadio), c.checkedRadio == Dlg::kMovingRadio) << "state " << int(c.state);
        EXPECT_EQ(IsChecked(Dlg::kMotionlessRadio), c.checkedRadio == Dlg::kMotionlessRadio)
            << "state " << int(c.state);
        EXPECT_NE(m_window->IndicatorPicture()->GetImage(), nullptr);
    }
}

TEST_F(MainWindowReports, TheRecordingHoldsEveryByteAndTheLogEveryFrame)
{
    StartOnPeer();
    SendAndShow(1, 1234);
    const std::vector<std::uint8_t> garbage = {0x00, 0xAA, 0x13, 0x55};
    m_sent.insert(m_sent.end(), garbage.begin(), garbage.end());
    ASSERT_TRUE(m_peer.Write(garbage));
    SendAndShow(2, 5);
    m_window->OnStartStop();

    QFile raw(QString::fromStdString(m_window->RawFilePath()));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray recorded = raw.readAll();
    EXPECT_EQ(recorded, QByteArray(reinterpret_cast<const char*>(m_sent.data()), qsizetype(m_sent.size())));
    QFile log(QString::fromStdString(m_window->LogPath()));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    EXPECT_TRUE(text.contains("State=1, M_D=1234\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("State=2, M_D=005\r\n"));
}

TEST_F(MainWindowReports, StopDiscardsReportsNotYetShown)
{
    StartOnPeer();
    SendAndShow(0, 17);
    Send(1, 321);
    // Wait for the worker without letting the window handle its events: the report of
    // 321 is queued but not shown when the stop comes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (m_window->HistoryValues().back() != 321 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(m_window->HistoryValues().back(), 321);

    m_window->OnStartStop();
    QTest::qWait(100);
    EXPECT_EQ(ControlText(Dlg::kDistanceDigits), "17") << "a report from before the stop was shown after it";
    EXPECT_EQ(m_window->ShownPresence(), 0);
    EXPECT_FALSE(IsChecked(Dlg::kMovingRadio));
    EXPECT_FALSE(IsChecked(Dlg::kMotionlessRadio));
    EXPECT_EQ(ControlText(Dlg::kStartButton), "Start");
}

// A module that stops sending looks like a room where nothing changes: after three
// report intervals (at least a second) the data on show is marked old, the strip says
// for how long, and the next report makes it fresh at once. The log has both moments.
TEST_F(MainWindowReports, AQuietModuleIsShownAsOldDataUntilItsNextReport)
{
    StartOnPeer();
    SendAndShow(1, 250);
    // A header byte pair without its tail, among good frames.
    ASSERT_TRUE(m_peer.Write({0xAA, 0xAA, 0x01, 0x02, 0x03, 0x04, 0x05}));
    SendAndShow(1, 251);
    CHealthStrip* strip = m_window->HealthStrip();
    ASSERT_NE(strip, nullptr);
    // The strip is looked at four times a second.
    ASSERT_TRUE(WaitFor([&] { return strip->StatusText().contains("broken tails 1"); }))
        << strip->StatusText().toStdString();
    EXPECT_TRUE(strip->StatusText().startsWith("Running · ")) << strip->StatusText().toStdString();
    EXPECT_TRUE(strip->StatusText().contains("skipped bytes 7")) << strip->StatusText().toStdString();
    EXPECT_TRUE(strip->StatusText().contains("recorded 21 B")) << strip->StatusText().toStdString();
    EXPECT_TRUE(strip->StatusText().contains("No answer from the module")) << "the peer answers no version request";
    EXPECT_TRUE(strip->FileText().endsWith(".dat")) << strip->FileText().toStdString();
    EXPECT_FALSE(m_window->ShowsStaleData());

    ASSERT_TRUE(WaitFor([&] { return m_window->ShowsStaleData(); }, 3000)) << "no report for over a second";
    EXPECT_TRUE(strip->StatusText().contains("no report for")) << strip->StatusText().toStdString();
    EXPECT_EQ(ControlText(Dlg::kDistanceDigits), "251") << "the last value stays, marked as old";
    Send(2, 300);
    ASSERT_TRUE(WaitFor([&] { return ControlText(Dlg::kDistanceDigits) == "300"; }));
    EXPECT_FALSE(m_window->ShowsStaleData()) << "fresh with the report itself";
    m_window->OnStartStop();
    EXPECT_TRUE(strip->StatusText().startsWith("Connected")) << strip->StatusText().toStdString();
    QFile logFile(QString::fromStdString(m_window->LogPath()));
    ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
    const QByteArray log = logFile.readAll();
    EXPECT_EQ(log.count("No report from the module for "), 1) << log.toStdString();
    EXPECT_EQ(log.count("Reports from the module again after "), 1) << log.toStdString();
}

TEST_F(MainWindowReports, ResizeRescalesTheFontsAndAxesAndClearsTheCurve)
{
    StartOnPeer();
    for (int i = 1; i <= 20; ++i)
        Send(1, std::uint16_t(100 + i));
    SendAndShow(1, 400);
    const int digitsPixels = m_window->DistanceDigits()->GetOwnFont()->pixelSize();
    const int unitPixels = m_window->UnitLabel()->GetOwnFont()->pixelSize();
    EXPECT_EQ(m_window->Chart()->GetAxisSize(CWaveWnd::AxisLeft), 50);
    m_window->OnStartStop();

    // Minimising changes nothing.
    m_window->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(m_window->Scale(), 1.0);
    EXPECT_EQ(m_window->HistoryValues().back(), 400);
    m_window->showNormal();
    QCoreApplication::processEvents();
    // Restoring, even to the same size, rescales and restarts the curve; the band keeps
    // what was received, so it shows no "no data" where reports came.
    EXPECT_EQ(m_window->HistoryValues(), std::vector<std::int32_t>(300, 0)) << "a restore clears the curve";
    std::vector<StripSample> strip;
    m_window->Insight().Strip().CopyTo(strip);
    ASSERT_EQ(strip.size(), 300u);
    for (std::size_t i = strip.size() - 21; i < strip.size(); ++i)
        EXPECT_EQ(strip[i].state, std::int8_t(PresenceState::Moving)) << "sample " << i;
    EXPECT_DOUBLE_EQ(m_window->Scale(), 1.0);

    m_window->resize(m_window->size() * 3 / 2);
    QCoreApplication::processEvents();
    EXPECT_NEAR(m_window->Scale(), 1.5, 0.01);
    EXPECT_NEAR(m_window->DistanceDigits()->GetOwnFont()->pixelSize(), digitsPixels * 1.5, 2.0);
    EXPECT_NEAR(m_window->UnitLabel()->GetOwnFont()->pixelSize(), unitPixels * 1.5, 2.0);
    EXPECT_EQ(m_window->Chart()->GetAxisSize(CWaveWnd::AxisLeft), int(m_window->Scale() * 50));
    EXPECT_EQ(m_window->Chart()->GetAxisSize(CWaveWnd::AxisBottom), int(m_window->Scale() * 24));
    EXPECT_EQ(m_window->HistoryValues(), std::vector<std::int32_t>(300, 0)) << "a resize restarts the curve at zero";
}

TEST_F(MainWindowReports, ScreenshotsShowThePictureTheDigitsAndTheCurve)
{
    StartOnPeer();
    const QString shots = QStringLiteral(SCREENSHOT_DIR);
    QDir().mkpath(shots);
    const struct {
        const char* name;
        double factor;
        std::uint8_t state;
        Ink pictureInk;
    } cases[] = {{"main_window_default.png", 1.0, 1, Ink::Orange}, {"main_window_1_5x.png", 1.5, 2, Ink::Green}};
    const QSize defaultSize = m_window->size();
    for (const auto& c : cases) {
        m_window->resize(QSize(int(defaultSize.width() * c.factor), int(defaultSize.height() * c.factor)));
        QCoreApplication::processEvents();
        // A resize clears the curve; draw a new one: a ramp from 100 to 700 cm.
        for (int i = 0; i < 120; ++i)
            Send(c.state, std::uint16_t(100 + i * 5));
        SendAndShow(c.state, 460);
        QTest::qWait(100);
        const QImage image = m_window->grab().toImage();
        ASSERT_TRUE(image.save(shots + QLatin1Char('/') + QLatin1String(c.name)));
        const qreal ratio = image.devicePixelRatio();

        EXPECT_GT(InkShare(image, ControlRect(Dlg::kIndicatorPicture, ratio), c.pictureInk), 0.03) << c.name;
        EXPECT_GT(InkShare(image, ControlRect(Dlg::kDistanceDigits, ratio), Ink::Dark), 0.02)
            << c.name << ": no digits";
        EXPECT_EQ(ControlText(Dlg::kDistanceDigits), "460");
        // The curve: red, inside the plot, and not along the bottom edge only.
        const QRect plot = PlotRect(ratio);
        EXPECT_GT(InkShare(image, plot, Ink::Red), 0.002) << c.name << ": no curve";
        const QRect upperHalf(plot.topLeft(), QSize(plot.width(), plot.height() / 2));
        EXPECT_GT(InkShare(image, upperHalf, Ink::Red), 0.0005) << c.name << ": the ramp never rises";
    }
}

}  // namespace
