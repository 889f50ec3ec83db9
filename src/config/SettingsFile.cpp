#include "SettingsFile.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <QFile>
#include <QString>
#include "FileUtils.h"
#include "ParameterTable.h"
#include "TextConvert.h"

namespace {

constexpr const char* kSettingsFileName = "appConfig.xml";
constexpr const char* kAppConfig = "AppConfig";

struct SettingAttribute {
    const char* name;
    bool isFloat;
    std::size_t offset;  // of the value inside ToolSettings
};

constexpr std::size_t kSettingCount = 2 + ModuleParams::kParameterCount;

// The detection parameters in the attribute order of a file the tool created: the four
// ranges in record order, then the rest by identifier (the coefficients before the IIR pair).
constexpr std::uint16_t kSavedParameterIds[] = {3, 2, 1, 0, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
static_assert(std::size(kSavedParameterIds) == ModuleParams::kParameterCount);

// In the order a save writes them: the baud rate, the detection parameters, the report interval.
const std::array<SettingAttribute, kSettingCount>& SaveOrder()
{
    static const std::array<SettingAttribute, kSettingCount> order = [] {
        std::array<SettingAttribute, kSettingCount> list{};
        list.front() = {"BaudRate", false, offsetof(ToolSettings, baudRate)};
        std::size_t at = 1;
        for (std::uint16_t id : kSavedParameterIds) {
            const ModuleParams::ParameterInfo& field = ModuleParams::Table()[id];
            list[at++] = {field.name, field.kind == ModuleParams::ParameterKind::F32,
                          offsetof(ToolSettings, params) + ModuleParams::RecordIndex(field) * sizeof(std::int32_t)};
        }
        list.back() = {"ReportTimeMS", false, offsetof(ToolSettings, reportTimeMS)};
        return list;
    }();
    return order;
}

// The extra on/off attributes of later features; each is off by default.
struct ExtraSwitch {
    const char* name;
    bool ToolSettings::*value;
};
constexpr ExtraSwitch kExtraSwitches[] = {
    {"AutoReconnect", &ToolSettings::autoReconnect},
    {"ShowStatistics", &ToolSettings::showStatistics},
};

// Indexes into SaveOrder() in the order a load reads them (the IIR pair before the coefficients).
constexpr int kLoadOrder[] = {0, 1, 2, 3, 4, 5, 10, 11, 6, 7, 8, 9, 12, 13, 14, 15, 16, 17, 18, 19};
static_assert(std::size(kLoadOrder) == kSettingCount);

void* TargetOf(ToolSettings& settings, const SettingAttribute& attribute)
{
    return reinterpret_cast<char*>(&settings) + attribute.offset;
}

const void* TargetOf(const ToolSettings& settings, const SettingAttribute& attribute)
{
    return reinterpret_cast<const char*>(&settings) + attribute.offset;
}

std::string DefaultSettingsPath()
{
    char folder[kVetraMaxPath] = {};
    GetProgramPathA(0, folder, sizeof folder);
    char path[kVetraMaxPath] = {};
    if (!CombinePathNameA(path, folder, kSettingsFileName, sizeof path))
        return kSettingsFileName;
    return path;
}

}  // namespace

CSettingsFile::CSettingsFile(XMLParser& document, std::string path)
    : m_document(document), m_path(path.empty() ? DefaultSettingsPath() : std::move(path))
{
}

CSettingsFile& CSettingsFile::Instance()
{
    static XMLParser document;
    static CSettingsFile file(document);
    return file;
}

XMLNode CSettingsFile::FindAppConfig() const
{
    return m_document.GetRoot().FindChild(kAppConfig);
}

void CSettingsFile::ReadAtStartup()
{
    std::size_t size = 0;
    if (std::uint8_t* data = ReadFileDataA(m_path.c_str(), &size)) {
        m_document.LoadFromBuffer(data, static_cast<std::int64_t>(size));
        if (!m_document.WasLastLoadClean())
            m_unkeptOriginal.assign(data, data + size);
        ReleaseFileData(data);
    }
    if (FindAppConfig().IsEmpty()) {
        m_document.GetRoot().AppendChild(kAppConfig);
        Save();
    }
}

bool CSettingsFile::KeepOriginalBytes()
{
    // Never over an earlier copy: each unclean start keeps its own.
    for (int n = 1; n <= 1000; ++n) {
        std::string candidate = m_path + ".bad";
        if (n > 1)
            candidate += "_" + std::to_string(n);
        QFile file(QString::fromUtf8(candidate.c_str()));
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.exists())
                continue;
            return false;
        }
        const auto size = qint64(m_unkeptOriginal.size());
        const bool written = file.write(reinterpret_cast<const char*>(m_unkeptOriginal.data()), size) == size &&
                             file.flush();
        file.close();
        if (!written) {
            file.remove();
            return false;
        }
        m_backupPath = candidate;
        m_unkeptOriginal.clear();
        m_unkeptOriginal.shrink_to_fit();
        return true;
    }
    return false;
}

bool CSettingsFile::Save()
{
    if (!m_unkeptOriginal.empty() && !KeepOriginalBytes())
        return false;
    return m_document.SaveToFile(m_path.c_str());
}

void CSettingsFile::LoadSettings(ToolSettings& settings) const
{
    const XMLNode appConfig = FindAppConfig();
    if (appConfig.IsEmpty())
        return;
    for (int index : kLoadOrder) {
        const SettingAttribute& attribute = SaveOrder()[std::size_t(index)];
        const char* text = appConfig.GetAttribute(attribute.name);
        if (!text || !*text)
            continue;
        // A text that does not read as a number leaves the value as it was.
        DigtalStringToValue(text, int(std::strlen(text)), TargetOf(settings, attribute),
                            attribute.isFloat ? kDigitalFloat32 : kDigitalInt32);
    }
    for (const ExtraSwitch& extra : kExtraSwitches) {
        std::int32_t on = settings.*extra.value ? 1 : 0;
        if (const char* text = appConfig.GetAttribute(extra.name); text && *text)
            DigtalStringToValue(text, int(std::strlen(text)), &on, kDigitalInt32);
        settings.*extra.value = on != 0;
    }
}

void CSettingsFile::SaveSettings(const ToolSettings& settings)
{
    XMLNode appConfig = FindAppConfig();
    for (const SettingAttribute& attribute : SaveOrder()) {
        const void* value = TargetOf(settings, attribute);
        if (attribute.isFloat)
            appConfig.SetAttribute(attribute.name, *static_cast<const float*>(value));
        else
            appConfig.SetAttribute(attribute.name, std::int64_t(*static_cast<const std::int32_t*>(value)));
    }
    // Present only while it differs from the default.
    for (const ExtraSwitch& extra : kExtraSwitches) {
        if (settings.*extra.value)
            appConfig.SetAttribute(extra.name, std::int64_t(1));
        else if (!appConfig.IsEmpty())
            appConfig.GetNode().remove_attribute(extra.name);
    }
    Save();
}
