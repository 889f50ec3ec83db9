#include "ToolFolders.h"

#include <unistd.h>

#include <cstdlib>

#include "FileUtils.h"

namespace {

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// An XDG variable counts only when it names an absolute path.
std::string XdgFolder(const std::string& variable, const std::string& home, const char* fallback)
{
    if (!variable.empty() && variable.front() == '/')
        return variable;
    return Join(home.empty() ? std::string("/tmp") : home, fallback);
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

ToolFolders ResolveToolFolders(const FolderEnvironment& e)
{
    ToolFolders folders;
    if (e.executableFolderWritable && (e.picturesBeside || !e.installedData)) {
        folders.pictureFolder = e.executableFolder;
        folders.logFolder = Join(e.executableFolder, "Log");
        folders.settingsPath = Join(e.executableFolder, "appConfig.xml");
        return folders;
    }
    // <prefix>/bin/TivanePeloTool finds its data in <prefix>/share/tivanepelotool.
    folders.perUser = true;
    folders.pictureFolder = Join(Join(e.executableFolder, "../share"), kToolFolderName);
    folders.logFolder = Join(Join(XdgFolder(e.xdgDataHome, e.home, ".local/share"), kToolFolderName), "Log");
    folders.settingsPath = Join(Join(XdgFolder(e.xdgConfigHome, e.home, ".config"), kToolFolderName), "appConfig.xml");
    return folders;
}

FolderEnvironment CurrentFolderEnvironment()
{
    FolderEnvironment e;
    char folder[kVetraMaxPath] = {};
    GetProgramPathA(0, folder, sizeof folder);
    e.executableFolder = folder;
    e.executableFolderWritable = ::access(folder, W_OK) == 0;
    e.picturesBeside = ::access(Join(e.executableFolder, "Image").c_str(), F_OK) == 0;
    e.installedData =
        ::access(Join(Join(Join(e.executableFolder, "../share"), kToolFolderName), "Image").c_str(), F_OK) == 0;
    e.xdgConfigHome = Environment("XDG_CONFIG_HOME");
    e.xdgDataHome = Environment("XDG_DATA_HOME");
    e.home = Environment("HOME");
    return e;
}

std::string ToolFoldersHelpText()
{
    return "Files: beside the program (appConfig.xml, Log/, Image/) when its folder can be\n"
           "written. Installed (a folder it cannot write), the settings are\n"
           "$XDG_CONFIG_HOME/tivanepelotool/appConfig.xml (~/.config/...), recordings and\n"
           "logs go to $XDG_DATA_HOME/tivanepelotool/Log (~/.local/share/...), and the\n"
           "pictures come from <prefix>/share/tivanepelotool.\n";
}
