#include "ParamWorkbenchTable.h"

#include <QHeaderView>

#include "ParameterText.h"
#include "StringIds.h"
#include "StringTable.h"

namespace {
using ModuleParams::ParameterInfo;
using ModuleParams::ParameterKind;

constexpr StringId kHeaderTexts[] = {StringId::kParameterHeader, StringId::kMeaningHeader, StringId::kUnitHeader,
                                     StringId::kModuleHeader, StringId::kToolHeader, StringId::kNewValueHeader,
                                     StringId::kSnapshotHeader};
// The meanings follow one another in the table in record order, from the first
// parameter's on.
constexpr int kFirstMeaning = StringId::kMicroRangeStartMeaning;

const QColor kDiffers(255, 236, 179);  // amber: two values that should agree do not
const QColor kInvalid(255, 205, 210);  // red: a value that cannot be written

// The text of a unit; 0: none.
int UnitText(ModuleParams::ParameterUnit unit)
{
    switch (unit) {
    case ModuleParams::ParameterUnit::None: return 0;
    case ModuleParams::ParameterUnit::Centimetres: return StringId::kCentimetres;
    case ModuleParams::ParameterUnit::HundredMs: return StringId::kHundredMs;
    case ModuleParams::ParameterUnit::Frames: return StringId::kFrames;
    }
    return 0;
}

QString Format(const ParameterInfo& field, std::int32_t raw)
{
    return QString::fromStdString(ModuleParams::FormatParameterValue(field, raw));
}

}  // namespace

CParamWorkbenchTable::CParamWorkbenchTable(QWidget* parent) : QTableWidget(int(ModuleParams::kParameterCount), kColumnCount, parent)
{
    QStringList headers;
    for (int id : kHeaderTexts)
        headers << StringTable::load(id);
    setHorizontalHeaderLabels(headers);
    verticalHeader()->hide();
    // All 18 rows in view at the workbench's first size.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(kMeaning, QHeaderView::Stretch);
    setSelectionMode(QAbstractItemView::SingleSelection);
    for (const ParameterInfo& field : ModuleParams::Table()) {
        const int row = field.id;
        for (int column = 0; column < kColumnCount; ++column) {
            auto* item = new QTableWidgetItem;
            if (column != kNew)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            setItem(row, column, item);
        }
        SetText(row, kName, QString::fromLatin1(field.name));
        // Meanings are in record order.
        SetText(row, kMeaning, StringTable::load(kFirstMeaning + int(ModuleParams::RecordIndex(field))));
        const int unit = UnitText(field.unit);
        SetText(row, kUnit, unit ? StringTable::load(unit) : QString());
    }
    setColumnHidden(kSnapshot, true);
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!m_retinting && item->column() == kNew)
            Retint();
    });
}

void CParamWorkbenchTable::SetText(int row, int column, const QString& text)
{
    if (item(row, column)->text() != text)
        item(row, column)->setText(text);
}

void CParamWorkbenchTable::ShowModule(const std::optional<DetectionParams>& module)
{
    m_module = module;
    for (const ParameterInfo& field : ModuleParams::Table())
        SetText(field.id, kModule, m_module ? Format(field, ModuleParams::ReadRaw(*m_module, field)) : QString());
    Retint();
}

void CParamWorkbenchTable::ShowRecord(const DetectionParams& record)
{
    m_record = record;
    for (const ParameterInfo& field : ModuleParams::Table())
        SetText(field.id, kRecord, Format(field, ModuleParams::ReadRaw(m_record, field)));
    Retint();
}

void CParamWorkbenchTable::ShowSnapshot(const std::optional<DetectionParams>& snapshot)
{
    m_snapshot = snapshot;
    setColumnHidden(kSnapshot, !m_snapshot);
    for (const ParameterInfo& field : ModuleParams::Table())
        SetText(field.id, kSnapshot, m_snapshot ? Format(field, ModuleParams::ReadRaw(*m_snapshot, field)) : QString());
    Retint();
}

void CParamWorkbenchTable::SetNewValues(const DetectionParams& values)
{
    m_retinting = true;
    for (const ParameterInfo& field : ModuleParams::Table())
        SetText(field.id, kNew, Format(field, ModuleParams::ReadRaw(values, field)));
    m_retinting = false;
    Retint();
}

std::optional<std::int32_t> CParamWorkbenchTable::NewValue(int row, QString* reason) const
{
    const ParameterInfo& field = ModuleParams::Table()[std::size_t(row)];
    const QString text = item(row, kNew)->text().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    std::int32_t raw = 0;
    std::string error;
    if (!ModuleParams::ParseParameterText(field, text.toStdString(), raw, error)) {
        if (reason)
            *reason = QString::fromStdString(error);
        return std::nullopt;
    }
    return raw;
}

std::vector<int> CParamWorkbenchTable::ChangedRows() const
{
    std::vector<int> rows;
    for (const ParameterInfo& field : ModuleParams::Table()) {
        const std::optional<std::int32_t> value = NewValue(field.id);
        if (value && (!m_module || *value != ModuleParams::ReadRaw(*m_module, field)))
            rows.push_back(field.id);
    }
    return rows;
}

int CParamWorkbenchTable::FirstInvalidRow(QString* reason) const
{
    for (const ParameterInfo& field : ModuleParams::Table()) {
        QString why;
        if (!NewValue(field.id, &why) && !why.isEmpty()) {
            if (reason)
                *reason = why;
            return field.id;
        }
    }
    return -1;
}

void CParamWorkbenchTable::Retint()
{
    m_retinting = true;
    for (const ParameterInfo& field : ModuleParams::Table()) {
        const int row = field.id;
        const std::int32_t record = ModuleParams::ReadRaw(m_record, field);
        const bool moduleDiffers = m_module && ModuleParams::ReadRaw(*m_module, field) != record;
        item(row, kModule)->setBackground(moduleDiffers ? kDiffers : QColor(Qt::transparent));
        item(row, kRecord)->setBackground(moduleDiffers ? kDiffers : QColor(Qt::transparent));
        item(row, kModule)->setToolTip(moduleDiffers ? StringTable::load(StringId::kModuleDiffersTip) : QString());
        QString why;
        const std::optional<std::int32_t> value = NewValue(row, &why);
        const bool invalid = !value && !why.isEmpty();
        const bool newDiffers = value && m_module && *value != ModuleParams::ReadRaw(*m_module, field);
        item(row, kNew)->setBackground(invalid ? kInvalid : newDiffers ? kDiffers : QColor(Qt::transparent));
        item(row, kNew)->setToolTip(invalid ? why : newDiffers ? StringTable::load(StringId::kNewDiffersTip) : QString());
        const bool snapshotDiffers = m_snapshot && m_module &&
                                     ModuleParams::ReadRaw(*m_snapshot, field) != ModuleParams::ReadRaw(*m_module, field);
        item(row, kSnapshot)->setBackground(snapshotDiffers ? kDiffers : QColor(Qt::transparent));
    }
    m_retinting = false;
}
