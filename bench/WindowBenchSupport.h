#pragma once
// What the window benchmarks share: a program folder with the presence pictures, a
// recording of one block a report, and the percentiles they print.
#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "AppResources.h"
#include "CaptureIndexWriter.h"
#include "GdiplusApi.h"
#include "SettingsFile.h"
#include "StringTable.h"
#include "Vetra_Tivane_PeloToolDlg.h"
#include "XMLParser.h"

// The pictures the window loads from "Image/" beside the program, into folder.
inline void CopyPresencePictures(const QString& folder, const QString& picturesDir)
{
    QDir(folder).mkpath(QStringLiteral("Image"));
    const QDir images(picturesDir);
    for (const QString& name : images.entryList({QStringLiteral("*.png")}, QDir::Files))
        QFile::copy(images.filePath(name), folder + QStringLiteral("/Image/") + name);
}

// reports reports at 20 a second, a block each, with its index; the state changes every
// two seconds and the distance sweeps 100 to 699 cm.
inline void WriteBlockPerReportRecording(const std::string& dat, int reports)
{
    std::vector<char> bytes;
    bytes.reserve(std::size_t(reports) * 7);
    CCaptureIndexWriter index;
    index.Open(dat);
    index.WriteHeader(CaptureHeader{});
    for (int i = 0; i < reports; ++i) {
        const int distance = 100 + (i * 7) % 600;
        const char frame[7] = {char(0xAA), char(0xAA), char(i / 40 % 3), char(distance & 0xFF), char(distance >> 8),
                               0x55, 0x55};
        bytes.insert(bytes.end(), frame, frame + sizeof frame);
        index.AddBlock(std::int64_t(i) * 7, 7, std::int64_t(i) * 50000);
    }
    std::ofstream(dat, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    index.Close();
}

inline double Percentile(std::vector<double> values, double q)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(q * double(values.size() - 1) + 0.5))];
}

// Opens the main window in English on folder (its settings file and pictures), shows it,
// runs body(window) and closes the window again; body's result, or 1 when the window
// would not open.
template <class Body>
int RunWindowOn(const QString& folder, Body body)
{
    StringTable::setLanguage(UiLanguage::English);
    InitAppResources();
    GdiplusStartupRecord* graphics = Gdiplus_Init();
    int result = 1;
    {
        XMLParser document;
        CSettingsFile settings(document, (folder + QStringLiteral("/appConfig.xml")).toStdString());
        settings.ReadAtStartup();
        CVetra_Tivane_PeloToolDlg window(settings, folder.toStdString());
        if (window.OnInitDialog()) {
            window.show();
            result = body(window);
        }
        window.DestroyWindow();
    }
    Gdiplus_DeInit(graphics);
    return result;
}
