#pragma once
#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "DetectionParams.h"
#include "RadarDevice.h"
#include "SnapshotRestore.h"

class CParamWorkbenchTable;
class IToolDlgInterface;
class QLabel;

// The parameter workbench: all 18 detection parameters of the module beside the tool's
// record, written with a read-back check, and snapshots to save, compare and restore
// (with an automatic backup first). Modeless, owned by the main window, next to the
// parameter dialog, which stays as it is.
//
// Every exchange stops a running acquisition first (through IToolDlgInterface), as the
// parameter dialog does. Threads: user-interface thread only; it waits inside each
// exchange, whose commands each wait at most their time-out and are retried twice.
class CParamWorkbench : public QDialog {
public:
    // record: the main window's record, which outlives the workbench.
    CParamWorkbench(DetectionParams* record, QWidget* parent = nullptr);

    void SetDevice(VetraRadarHandle device) { m_device = device; }
    void SetToolInterface(IToolDlgInterface* tool) { m_tool = tool; }
    // Where the module is (for snapshots), asked at each snapshot.
    void SetLinkSource(std::function<ModuleParams::LinkDescription()> source) { m_linkSource = std::move(source); }
    // Where a restore leaves its backup of what the module held.
    void SetBackupFolder(std::string folder) { m_backupFolder = std::move(folder); }
    // Called after the workbench changed the record (the parameter dialog shows it too).
    void SetRecordChanged(std::function<void()> changed) { m_recordChanged = std::move(changed); }

    // Shows the workbench with the record as it is now (raised when already shown).
    void ShowWithRecord();

    // The actions of the buttons (public for tests); each returns whether it succeeded.
    bool ReadAll();
    bool WriteChanged();
    bool WriteAll();
    void EnterDefaults();
    bool SaveSnapshotTo(const std::string& path);
    bool CompareSnapshot(const std::string& path);
    bool RestoreSnapshotFrom(const std::string& path);

    CParamWorkbenchTable* Table() const { return m_table; }
    // The last outcome, as the status line shows it.
    QString StatusText() const;

private:
    bool Connected() const;
    // Stops acquisition and says so when the module cannot be reached.
    bool PrepareExchange();
    bool WriteRows(const std::vector<int>& rows);
    // The module now holds `module`: the table shows it, the new values start again from
    // it, and the record takes the fields in `fields` from it (what the module kept, not
    // what was sent).
    void TakeFromModule(const DetectionParams& module, const std::vector<std::uint16_t>& fields);
    void ShowStatus(const QString& text, bool failure);
    // Loads and checks the snapshot at path; a box names the fault when it is unusable.
    bool LoadSnapshotOrSayWhy(const std::string& path, ModuleParams::ParameterSnapshot& snapshot);
    QString AskFile(bool save);

    DetectionParams* m_record;
    VetraRadarHandle m_device = nullptr;
    IToolDlgInterface* m_tool = nullptr;
    std::function<ModuleParams::LinkDescription()> m_linkSource;
    std::string m_backupFolder;
    std::function<void()> m_recordChanged;
    std::optional<DetectionParams> m_module;
    std::optional<DetectionParams> m_comparedSnapshot;
    CParamWorkbenchTable* m_table = nullptr;
    QLabel* m_status = nullptr;
};
