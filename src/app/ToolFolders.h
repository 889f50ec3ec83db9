#pragma once
#include <string>

// Where the tool keeps its files. Run from a folder the user can write (the build
// folder, a copy anywhere), everything stays beside the executable as it always has:
// appConfig.xml, Log/ and the pictures (Image/). An installed tool's folder is not
// writable, or (run by root, who may write anywhere) it has no Image/ beside it but an
// installed data folder: the pictures then come from the installed data folder, the
// settings from the user's configuration folder and Log/ goes to the user's data folder.
struct ToolFolders {
    std::string pictureFolder;  // the folder the picture names ("Image\...") are under
    std::string logFolder;      // recordings, their indexes and the diagnostic logs
    std::string settingsPath;   // appConfig.xml
    bool perUser = false;       // the folders of an installed tool
};

// What the choice depends on, gathered by CurrentFolderEnvironment.
struct FolderEnvironment {
    std::string executableFolder;
    bool executableFolderWritable = true;
    bool picturesBeside = true;  // <executable folder>/Image exists
    bool installedData = false;  // <executable folder>/../share/tivanepelotool/Image exists
    std::string xdgConfigHome;  // empty: not set
    std::string xdgDataHome;
    std::string home;
};

// The folder name under the user's folders and the installed data folder.
inline constexpr const char* kToolFolderName = "tivanepelotool";

ToolFolders ResolveToolFolders(const FolderEnvironment& environment);
FolderEnvironment CurrentFolderEnvironment();
// For --help: where the files go, in the two cases.
std::string ToolFoldersHelpText();
