#include "ParamConfigDlg.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QStringList>

#include "AppMessageBox.h"
#include "DialogBuilder.h"
#include "DialogTemplate.h"
#include "IToolDlgInterface.h"
#include "ParameterRead.h"
#include "ParameterTable.h"
#include "StringIds.h"
#include "StringTable.h"
#include "TextToTruncatedInt.h"

namespace {

constexpr int kExchangeTimeoutMs = 2000;


// The set-parameters identifiers, in the order the module expects the basic five.
constexpr std::uint16_t kBasicIdentifiers[5] = {0, 1, 2, 3, 4};
// The edit box of each basic field, by identifier.
constexpr int kBasicEdits[5] = {CParamConfigDlg::kMotionRangeMaxEdit, CParamConfigDlg::kMotionRangeMinEdit,
                                CParamConfigDlg::kMotionlessRangeMaxEdit, CParamConfigDlg::kMotionlessRangeMinEdit,
                                CParamConfigDlg::kOffTimeEdit};

const ModuleParams::ParameterInfo& BasicField(int index)
{
    return ModuleParams::Table()[kBasicIdentifiers[index]];
}

}  // namespace

CParamConfigDlg::CParamConfigDlg(DetectionParams* params) : m_params(params) {}

bool CParamConfigDlg::Create(QWidget* parent)
{
    setParent(parent, Qt::Dialog);
    setModal(false);
    const DialogTemplateResult dialogTemplate = DialogTemplate::fromResource(kTemplateId);
    if (!dialogTemplate)
        return false;
    m_controls = DialogBuilder(StringTable::language()).build(*dialogTemplate, this);
    const auto connectButton = [this](int id, void (CParamConfigDlg::*handler)()) {
        auto* button = m_controls.item<QPushButton>(id);
        if (!button)
            return;
        // Enter in an edit box must not send a command to the module by itself.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, handler);
    };
    connectButton(kReadButton, &CParamConfigDlg::OnRead);
    connectButton(kSetButton, &CParamConfigDlg::OnSet);
    connectButton(kResetButton, &CParamConfigDlg::OnReset);
    hide();
    ShowParams();
    return true;
}

void CParamConfigDlg::ShowParams()
{
    if (!m_params)
        return;
    // In record order, as the boxes stand on the page.
    for (const ModuleParams::ParameterInfo* field : ModuleParams::InRecordOrder()) {
        if (field->id <= ModuleParams::kHighestBasicId)
            m_controls.SetDlgItemInt(kBasicEdits[field->id], ModuleParams::ReadRaw(*m_params, *field));
    }
}

void CParamConfigDlg::EnterCommandMode()
{
    if (m_link)
        m_link->EnterCommandMode();
}

void CParamConfigDlg::OnRead()
{
    if (!m_link || !m_link->IsConnected()) {
        ShowErrorBox(this, StringId::kDeviceUnconnected);
        return;
    }
    if (m_tool)
        m_tool->StopAcquisition();
    EnterCommandMode();
    const std::uint16_t status = m_link->SendCommand(kReadParametersCommand, nullptr, 0,
                                                     &CParamConfigDlg::ParamReadCallback, m_params, kExchangeTimeoutMs);
    if (status == 0) {
        ShowParams();
        ShowPromptBox(this, StringId::kSucceedReading);
    } else {
        ShowErrorBox(this, StringId::kFailReading);
    }
    // Only after the box: the module stays in command mode while the operator reads it.
    if (m_link)
        m_link->LeaveCommandMode();
}

void CParamConfigDlg::OnSet()
{
    if (!m_link || !m_link->IsConnected()) {
        ShowErrorBox(this, StringId::kDeviceUnconnected);
        return;
    }
    const auto editValue = [this](int id) { return TextToTruncatedInt32(m_controls.GetDlgItemText(id).toStdString()); };
    std::int32_t values[5] = {};
    for (int i = 0; i < 5; ++i)
        values[i] = editValue(kBasicEdits[i]);

    if (m_tool)
        m_tool->StopAcquisition();
    EnterCommandMode();
    if (!SendBasicParameters(values))
        return;
    if (m_params) {
        for (int i = 0; i < 5; ++i)
            ModuleParams::WriteRaw(*m_params, BasicField(i), values[i]);
    }
    ShowPromptBox(this, StringId::kSucceedSetting);
    CheckBasicParametersKept(values);
}

void CParamConfigDlg::CheckBasicParametersKept(const std::int32_t (&sent)[5])
{
    // An acknowledged set is not yet a kept value: a 16-bit field holds -5 as 65531, and
    // a faulty module may answer yes and keep the old value. Only a read-back tells.
    const ModuleParams::ReadResult read = ModuleParams::ReadAll(m_link->Handle());
    if (!read.valuesRead) {
        ShowErrorBox(this, StringId::kSetNotChecked, QString::fromStdString(read.error));
        return;
    }
    QStringList notKept;
    for (int i = 0; i < 5; ++i) {
        const ModuleParams::ParameterInfo& field = BasicField(i);
        const std::int32_t held = ModuleParams::ReadRaw(read.params, field);
        if (held != sent[i])
            notKept << QStringLiteral("%1 %2 → %3").arg(QLatin1String(field.name)).arg(sent[i]).arg(held);
    }
    if (!notKept.isEmpty())
        AppMessageBox(this, StringTable::load(StringId::kModuleDidNotKeep).arg(notKept.join(QStringLiteral(", "))),
                      StringTable::load(StringId::kErrorCaption), kMbError);
}

void CParamConfigDlg::OnReset()
{
    if (m_tool) {
        m_tool->RestoreDefaults();
        m_tool->StopAcquisition();
    }
    ShowParams();
    EnterCommandMode();
    const DetectionParams sent = m_params ? *m_params : DetectionParams::Defaults();
    std::int32_t values[5] = {};
    for (int i = 0; i < 5; ++i)
        values[i] = ModuleParams::ReadRaw(sent, BasicField(i));
    if (SendBasicParameters(values))
        ShowPromptBox(this, StringId::kSucceedResetting);
}

bool CParamConfigDlg::SendBasicParameters(const std::int32_t (&values)[5])
{
    const bool ok =
        m_link && m_link->SetParameters(kSetParametersCommand, 5, kBasicIdentifiers, values, kExchangeTimeoutMs);
    if (!ok)
        ShowErrorBox(this, StringId::kFailSettingBasic);
    if (m_link)
        m_link->LeaveCommandMode();
    return ok;
}

void CParamConfigDlg::closeEvent(QCloseEvent* event)
{
    hide();
    event->accept();
}
