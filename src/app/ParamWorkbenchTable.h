#pragma once
#include <QTableWidget>

#include <array>
#include <cstdint>
#include <optional>

#include "DetectionParams.h"
#include "ParameterTable.h"

// The workbench's table of the 18 detection parameters in the order of the module's
// reply: name, meaning, unit, the value the module holds (last read), the value of the
// tool's record, an editable new value, and a column for a compared snapshot. Cells
// that differ are tinted, a new value that cannot be written is marked and says why in
// its tooltip. User-interface thread only.
class CParamWorkbenchTable : public QTableWidget {
public:
    enum Column { kName, kMeaning, kUnit, kModule, kRecord, kNew, kSnapshot, kColumnCount };

    explicit CParamWorkbenchTable(QWidget* parent = nullptr);

    // What the module holds (after a read or a verified write); none before the first.
    void ShowModule(const std::optional<DetectionParams>& module);
    void ShowRecord(const DetectionParams& record);
    // A compared snapshot (its column shows only while there is one).
    void ShowSnapshot(const std::optional<DetectionParams>& snapshot);
    // Fills the new values (with the module's after a read, or with given values).
    void SetNewValues(const DetectionParams& values);

    // The new value of row (an identifier) as a raw value; none, with the reason, when
    // its text is no value of the field. An empty cell is none without a reason.
    std::optional<std::int32_t> NewValue(int row, QString* reason = nullptr) const;
    // Rows whose new value is not what the module holds (all rows before a read).
    std::vector<int> ChangedRows() const;
    // The first row whose new value cannot be written, with why; -1 when all can.
    int FirstInvalidRow(QString* reason) const;

private:
    void Retint();
    void SetText(int row, int column, const QString& text);

    std::optional<DetectionParams> m_module;
    DetectionParams m_record{};
    std::optional<DetectionParams> m_snapshot;
    bool m_retinting = false;
};
