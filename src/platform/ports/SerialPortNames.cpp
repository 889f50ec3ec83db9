#include "SerialPortNames.h"

#include <QString>

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "PortListing.h"
#include "Utf16Internal.h"

using namespace vetra_common_internal;

namespace {

// The process-wide port number table; every access holds `lock`.
struct PortRegistry {
    std::mutex lock;
    std::map<std::string, int> numberOfPath;
    std::vector<std::string> pathOfNumber;  // index n - 1 holds the path of number n
    std::u16string simulatedDisplayName = u"Simulated module";
};

PortRegistry& Registry()
{
    static PortRegistry* registry = new PortRegistry;  // never destroyed: usable during exit
    return *registry;
}

// Under the registry lock.
int RegisterLocked(PortRegistry& r, const std::string& path)
{
    if (path.empty())
        return 0;
    if (path == kSimulatedPortPath)
        return kSimulatedPortNumber;
    auto it = r.numberOfPath.find(path);
    if (it != r.numberOfPath.end())
        return it->second;
    r.pathOfNumber.push_back(path);
    const int number = int(r.pathOfNumber.size());
    r.numberOfPath.emplace(path, number);
    return number;
}

char16_t* NewText(const std::u16string& text)
{
    auto* out = new char16_t[text.size() + 1];
    std::copy(text.begin(), text.end(), out);
    out[text.size()] = 0;
    return out;
}

}  // namespace

int EnumSerialPortNameW(CPtrListCtrl* names)
{
    if (!names)
        return 0;
    // Reads udev / sysfs only; no port is opened here.
    const std::vector<SerialPortEntry> ports = ListSerialPorts();
    PortRegistry& r = Registry();
    std::u16string simulatedName;
    {
        std::lock_guard<std::mutex> guard(r.lock);
        for (const SerialPortEntry& port : ports)
            RegisterLocked(r, port.path);
        simulatedName = r.simulatedDisplayName;
    }
    for (const SerialPortEntry& port : ports) {
        std::string text = port.path;
        if (!port.description.empty())
            text += " (" + port.description + ")";
        names->AddData(NewText(QString::fromStdString(text).toStdU16String()));
    }
    names->AddData(NewText(simulatedName));
    return int(ports.size()) + 1;
}

void FreeSerialPortNameA(CPtrListCtrl* names)
{
    if (!names)
        return;
    for (int i = 0; i < names->GetCount(); ++i)
        delete[] static_cast<char16_t*>(names->GetAt(i));
    names->RemoveAll();
}

void SetSimulatedPortDisplayNameW(const char16_t* name)
{
    PortRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.simulatedDisplayName = name && *name ? std::u16string(name) : std::u16string(u"Simulated module");
}

std::u16string GetSimulatedPortDisplayNameW()
{
    PortRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    return r.simulatedDisplayName;
}

int RegisterSerialPortPath(const std::string& path)
{
    PortRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    return RegisterLocked(r, path);
}

int SerialPortNumberFromNameW(const char16_t* name)
{
    if (!name)
        return 0;
    const std::u16string text(name);
    // COM<n>: the digits right after the first three characters, as port names of the form COM<n> have always been read.
    if (text.size() >= 3 && text.compare(0, 3, u"COM") == 0) {
        long long number = 0;
        for (std::size_t i = 3; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            number = number * 10 + (text[i] - u'0');
            if (number > INT32_MAX)
                return 0;
        }
        return int(number);
    }
    PortRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (text == r.simulatedDisplayName)
        return kSimulatedPortNumber;
    const std::size_t cut = text.find(u" (");
    const std::string path = Utf16ToUtf8(text.data(), cut == std::u16string::npos ? text.size() : cut);
    if (path == kSimulatedPortPath)
        return kSimulatedPortNumber;
    auto it = r.numberOfPath.find(path);
    return it == r.numberOfPath.end() ? 0 : it->second;
}

std::string SerialPortPathFromNumber(int portNumber)
{
    if (portNumber == kSimulatedPortNumber)
        return kSimulatedPortPath;
    PortRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (portNumber < 1 || std::size_t(portNumber) > r.pathOfNumber.size())
        return {};
    return r.pathOfNumber[std::size_t(portNumber) - 1];
}
