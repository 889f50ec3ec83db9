#include "ParamWorkbench.h"

#include <algorithm>

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "AppMessageBox.h"
#include "DbgOutput.h"
#include "IToolDlgInterface.h"
#include "ParamWorkbenchTable.h"
#include "ParameterDiff.h"
#include "ParameterRead.h"
#include "SnapshotFile.h"
#include "StringIds.h"
#include "StringTable.h"
#include "VerifiedWrite.h"

namespace {
using namespace ModuleParams;



QString Names(const std::vector<std::uint16_t>& ids)
{
    QStringList names;
    for (std::uint16_t id : ids)
        if (const ParameterInfo* field = FindParameter(id))
            names << QString::fromLatin1(field->name);
    return names.isEmpty() ? StringTable::load(StringId::kNoneText) : names.join(QStringLiteral(", "));
}

}  // namespace

CParamWorkbench::CParamWorkbench(DetectionParams* record, QWidget* parent) : QDialog(parent), m_record(record)
{
    setWindowTitle(StringTable::load(StringId::kWorkbenchTitle));
    auto* layout = new QVBoxLayout(this);
    m_table = new CParamWorkbenchTable(this);
    layout->addWidget(m_table, 1);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_status);
    auto* buttons = new QHBoxLayout;
    const std::pair<int, std::function<void()>> actions[] = {
        {StringId::kReadAllText, [this] { ReadAll(); }},
        {StringId::kWriteChangedText, [this] { WriteChanged(); }},
        {StringId::kWriteAllText, [this] { WriteAll(); }},
        {StringId::kDefaultsText, [this] { EnterDefaults(); }},
        {StringId::kSaveSnapshotText, [this] {
             const QString path = AskFile(true);
             if (!path.isEmpty())
                 SaveSnapshotTo(path.toStdString());
         }},
        {StringId::kCompareSnapshotText, [this] {
             const QString path = AskFile(false);
             if (!path.isEmpty())
                 CompareSnapshot(path.toStdString());
         }},
        {StringId::kRestoreSnapshotText, [this] {
             const QString path = AskFile(false);
             if (!path.isEmpty())
                 RestoreSnapshotFrom(path.toStdString());
         }},
    };
    for (const auto& [textId, action] : actions) {
        auto* button = new QPushButton(StringTable::load(textId), this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, action);
        buttons->addWidget(button);
        if (textId == StringId::kDefaultsText)
            buttons->addSpacing(16);
    }
    layout->addLayout(buttons);
    resize(960, 600);
}

void CParamWorkbench::ShowWithRecord()
{
    m_table->ShowRecord(*m_record);
    // Until the module has been read, the new values start from the tool's record.
    if (!m_module)
        m_table->SetNewValues(*m_record);
    show();
    raise();
    activateWindow();
}

QString CParamWorkbench::StatusText() const
{
    return m_status->text();
}

void CParamWorkbench::ShowStatus(const QString& text, bool failure)
{
    m_status->setText(text);
    m_status->setStyleSheet(failure ? QStringLiteral("color: #b00020") : QString());
    DbgOutputA(failure ? 1 : 2, "Parameters: %s\r\n", text.toUtf8().constData());
}

QString CParamWorkbench::AskFile(bool save)
{
    const QString filter = StringTable::load(StringId::kSnapshotFilter);
    const QString folder = QString::fromStdString(m_backupFolder);
    return save ? QFileDialog::getSaveFileName(this, QString(), folder, filter)
                : QFileDialog::getOpenFileName(this, QString(), folder, filter);
}

bool CParamWorkbench::Connected() const
{
    return m_device && Vetra_Interface_RadarDevice_IsConnected(m_device) != 0;
}

bool CParamWorkbench::PrepareExchange()
{
    if (!Connected()) {
        ShowStatus(StringTable::load(StringId::kNotConnected), true);
        return false;
    }
    // The module takes commands only while no acquisition reads the port.
    if (m_tool)
        m_tool->StopAcquisition();
    return true;
}

void CParamWorkbench::TakeFromModule(const DetectionParams& module, const std::vector<std::uint16_t>& fields)
{
    m_module = module;
    for (std::uint16_t id : fields)
        if (const ParameterInfo* field = FindParameter(id))
            WriteRaw(*m_record, *field, ReadRaw(module, *field));
    m_table->ShowRecord(*m_record);
    m_table->ShowModule(m_module);
    // An edit left over from before would otherwise go out with the next "Write changed"
    // and undo what this exchange (a restore, say) has just put into the module.
    m_table->SetNewValues(module);
    if (!fields.empty() && m_recordChanged)
        m_recordChanged();
}

bool CParamWorkbench::ReadAll()
{
    if (!PrepareExchange())
        return false;
    const ReadResult result = ModuleParams::ReadAll(m_device);
    if (!result.valuesRead) {
        ShowStatus(StringTable::load(StringId::kNoAnswer).arg(QString::fromStdString(result.error)), true);
        return false;
    }
    TakeFromModule(result.params, {});
    ShowStatus(result.ok ? QString() : StringTable::load(StringId::kNoAnswer).arg(QString::fromStdString(result.error)), !result.ok);
    return result.ok;
}

bool CParamWorkbench::WriteChanged()
{
    // Without a read nothing says what the module holds: read first, then compare.
    if (!m_module && !ReadAll())
        return false;
    return WriteRows(m_table->ChangedRows());
}

bool CParamWorkbench::WriteAll()
{
    std::vector<int> rows;
    for (const ParameterInfo& field : ModuleParams::Table())
        rows.push_back(field.id);
    return WriteRows(rows);
}

void CParamWorkbench::EnterDefaults()
{
    m_table->SetNewValues(DetectionParams::Defaults());
}

bool CParamWorkbench::WriteRows(const std::vector<int>& rows)
{
    // Nothing goes out while any value is no value of its field.
    QString reason;
    const int invalid = m_table->FirstInvalidRow(&reason);
    std::vector<FieldValue> fields;
    for (int row : rows) {
        const std::optional<std::int32_t> value = m_table->NewValue(row, &reason);
        if (!value && reason.isEmpty())
            reason = QStringLiteral("-");
        if (!value || invalid >= 0) {
            const int bad = invalid >= 0 ? invalid : row;
            const QString name = QString::fromLatin1(ModuleParams::Table()[std::size_t(bad)].name);
            AppMessageBox(this, StringTable::load(StringId::kCannotWrite).arg(name, reason), StringTable::load(StringId::kErrorCaption),
                          kMbError);
            return false;
        }
        fields.push_back({std::uint16_t(row), *value});
    }
    if (fields.empty())
        return true;
    if (!PrepareExchange())
        return false;
    const WriteOutcome outcome = WriteVerified(m_device, fields);
    std::vector<std::uint16_t> written, notKept;
    for (const FieldCheck& check : outcome.fields) {
        if (check.sent)
            written.push_back(check.id);
        if (outcome.readBackOk && check.sent && !check.kept)
            notKept.push_back(check.id);
    }
    if (outcome.readBackOk)
        TakeFromModule(outcome.readBack, written);
    QStringList lines;
    if (outcome.ok)
        lines << StringTable::load(StringId::kAllKept).arg(fields.size());
    if (!notKept.empty())
        lines << StringTable::load(StringId::kNotKept).arg(Names(notKept));
    if (!outcome.notWritable.empty())
        lines << StringTable::load(StringId::kBasicOnly).arg(Names(outcome.notWritable));
    if (!outcome.ok && notKept.empty() && outcome.notWritable.empty())
        lines << StringTable::load(StringId::kNoAnswer).arg(QString::fromStdString(outcome.error));
    ShowStatus(lines.join(QLatin1Char('\n')), !outcome.ok);
    return outcome.ok;
}

bool CParamWorkbench::SaveSnapshotTo(const std::string& path)
{
    if (!PrepareExchange())
        return false;
    const SnapshotResult taken = TakeSnapshot(m_device, m_linkSource ? m_linkSource() : LinkDescription{});
    std::string error = taken.error;
    if (taken.ok && SaveSnapshotFile(path, taken.snapshot, true, error)) {
        TakeFromModule(taken.snapshot.parameters, {});
        ShowStatus(StringTable::load(StringId::kSnapshotSaved).arg(QString::fromStdString(path)), false);
        return true;
    }
    ShowStatus(StringTable::load(StringId::kNoAnswer).arg(QString::fromStdString(error)), true);
    return false;
}

bool CParamWorkbench::LoadSnapshotOrSayWhy(const std::string& path, ParameterSnapshot& snapshot)
{
    std::string error;
    if (LoadSnapshotFile(path, snapshot, error))
        return true;
    AppMessageBox(this, StringTable::load(StringId::kSnapshotUnusable).arg(QString::fromStdString(error)),
                  StringTable::load(StringId::kErrorCaption), kMbError);
    return false;
}

bool CParamWorkbench::CompareSnapshot(const std::string& path)
{
    ParameterSnapshot snapshot;
    if (!LoadSnapshotOrSayWhy(path, snapshot))
        return false;
    // Against the module as it is now, and against the snapshot shown before, if any.
    QStringList lines;
    if (m_comparedSnapshot) {
        QStringList names;
        for (const FieldDifference& difference : DiffParameters(*m_comparedSnapshot, snapshot.parameters))
            names << QString::fromLatin1(difference.field->name);
        lines << QStringLiteral("≠ %1").arg(names.join(QStringLiteral(", ")));
    }
    m_comparedSnapshot = snapshot.parameters;
    m_table->ShowSnapshot(m_comparedSnapshot);
    if (Connected())
        ReadAll();
    if (!lines.isEmpty())
        ShowStatus(lines.join(QLatin1Char('\n')), false);
    return true;
}

bool CParamWorkbench::RestoreSnapshotFrom(const std::string& path)
{
    ParameterSnapshot snapshot;
    if (!LoadSnapshotOrSayWhy(path, snapshot))
        return false;
    if (!PrepareExchange())
        return false;
    const RestoreOutcome outcome =
        RestoreSnapshot(m_device, snapshot, m_linkSource ? m_linkSource() : LinkDescription{}, m_backupFolder);
    QStringList lines;
    if (!outcome.backupPath.empty())
        lines << StringTable::load(StringId::kBackupSaved).arg(QString::fromStdString(outcome.backupPath));
    std::vector<std::uint16_t> written;
    for (const FieldCheck& check : outcome.write.fields)
        if (check.sent)
            written.push_back(check.id);
    if (outcome.write.readBackOk)
        TakeFromModule(outcome.write.readBack, written);
    if (outcome.ok) {
        lines << StringTable::load(StringId::kAllKept).arg(outcome.write.fields.size());
    } else if (!outcome.write.fields.empty()) {
        // The read-back decides what was applied; without it, what the module acknowledged.
        std::vector<std::uint16_t> applied = outcome.applied;
        if (!outcome.write.readBackOk)
            for (const FieldCheck& check : outcome.write.fields)
                if (check.acknowledged)
                    applied.push_back(check.id);
        std::vector<std::uint16_t> notApplied;
        for (const FieldCheck& check : outcome.write.fields)
            if (std::find(applied.begin(), applied.end(), check.id) == applied.end())
                notApplied.push_back(check.id);
        lines << StringTable::load(StringId::kRestoreInterrupted).arg(Names(applied), Names(notApplied));
        lines << QString::fromStdString(outcome.error);
    } else {
        lines << StringTable::load(StringId::kNoAnswer).arg(QString::fromStdString(outcome.error));
    }
    ShowStatus(lines.join(QLatin1Char('\n')), !outcome.ok);
    return outcome.ok;
}
