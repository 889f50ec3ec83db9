// The parameter workbench beside the parameter dialog: made when first opened, from a
// button the parameter dialog gains below its own controls or from the recording bar.
#include <QPushButton>

#include "ParamWorkbench.h"
#include "RecordingBar.h"
#include "StringIds.h"
#include "StringTable.h"
#include "Vetra_Tivane_PeloToolDlg.h"

namespace {
constexpr int kButtonMargin = 8;
}  // namespace

void CVetra_Tivane_PeloToolDlg::AddParamWorkbench()
{
    // Below the dialog's own controls, which keep their places: the dialog grows by the
    // button's height.
    auto* open = new QPushButton(StringTable::load(StringId::kAllParametersText), &m_paramDlg);
    open->setAutoDefault(false);
    const QSize hint = open->sizeHint();
    const int top = m_paramDlg.height();
    // The dialog's size is fixed by its template: it is fixed again, taller.
    m_paramDlg.setFixedSize(m_paramDlg.width(), top + hint.height() + 2 * kButtonMargin);
    open->setGeometry(m_paramDlg.width() - hint.width() - kButtonMargin, top + kButtonMargin, hint.width(),
                      hint.height());
    connect(open, &QPushButton::clicked, this, &CVetra_Tivane_PeloToolDlg::OpenParamWorkbench);
    connect(m_recordingBar->ParametersButton(), &QAbstractButton::clicked, this,
            &CVetra_Tivane_PeloToolDlg::OpenParamWorkbench);
    UpdateRecordingBar();
}

void CVetra_Tivane_PeloToolDlg::OpenParamWorkbench()
{
    // Made when first asked for: most runs never open it, and start-up stays short.
    if (!m_workbench) {
        if (m_destroyed)
            return;
        m_workbench = new CParamWorkbench(&m_settings.params, this);
        m_workbench->SetDevice(m_tool.Link().Handle());
        m_workbench->SetToolInterface(this);
        m_workbench->SetLinkSource([this] { return ModuleParams::LinkDescription{m_tool.Link().Path(), m_tool.Link().Identity()}; });
        m_workbench->SetBackupFolder(LogFolder());
        m_workbench->SetRecordChanged([this] { m_paramDlg.ShowParams(); });
    }
    m_workbench->ShowWithRecord();
}
