#pragma once
#include <QDialog>

#include <cstdint>

#include "DetectionParams.h"
#include "DialogControls.h"
#include "ModuleLink.h"
#include "RadarDevice.h"

class IToolDlgInterface;

// The parameter dialog (template 199): reads the module's detection parameters, writes
// the five basic ones and puts the module back to its defaults. Modeless and owned by
// the main window; hidden, never destroyed, by its close box. It works on the main
// window's DetectionParams through a pointer and never saves the settings file itself.
//
// Every exchange stops a running acquisition first (through IToolDlgInterface), then
// brackets one command in command mode; an acknowledged Set is then read back in a
// bracket of its own. Threads: everything here runs on the
// user-interface thread, which waits inside each exchange (up to its 2000 ms time-out).
class CParamConfigDlg : public QDialog {
public:
    static constexpr int kTemplateId = 199;
    static constexpr int kMotionlessRangeMinEdit = 1187;
    static constexpr int kMotionlessRangeMaxEdit = 1188;
    static constexpr int kMotionRangeMinEdit = 1189;
    static constexpr int kMotionRangeMaxEdit = 1190;
    static constexpr int kOffTimeEdit = 1191;
    static constexpr int kReadButton = 1193;
    static constexpr int kSetButton = 1199;
    static constexpr int kResetButton = 1200;
    // The module's read-parameters and set-parameters commands.
    static constexpr std::uint16_t kReadParametersCommand = 0x0073;
    static constexpr std::uint16_t kSetParametersCommand = 0x0067;
    // What ParamReadCallback answers for a reply that is not 52 bytes long.
    static constexpr std::uint16_t kWrongReplyLength = 0xA004;
    static constexpr int kReplyLength = 52;

    // params: the main window's record, which outlives the dialog.
    explicit CParamConfigDlg(DetectionParams* params);

    // The module link (its device handle and command-mode bracket) and the main window's
    // interface; null for none.
    void SetLink(CModuleLink* link) { m_link = link; }
    void SetToolInterface(IToolDlgInterface* tool) { m_tool = tool; }

    // Builds the controls of template 199 in the interface language as a hidden,
    // modeless window owned by parent, then shows the record in the edit boxes.
    // False when the template cannot be read (the dialog then has no controls).
    bool Create(QWidget* parent);

    // Writes the five basic fields into the edit boxes as signed decimal numbers.
    void ShowParams();

    // The buttons Read, Set and Reset.
    void OnRead();
    void OnSet();
    void OnReset();

    // Parses the read-parameters reply into the DetectionParams at params: 0xA004
    // when length is not 52, the reply's own status when hasStatus is set and it is
    // not 0, storing nothing in either case; else stores all 18 fields and answers 0.
    // With hasStatus 0 the fields start at offset 0 and the last two bytes are unused.
    static std::uint16_t ParamReadCallback(int hasStatus, const std::uint8_t* reply, int length, void* params);

    const DialogControls& Controls() const { return m_controls; }

protected:
    // The close box hides the dialog; the texts typed so far stay in the boxes.
    void closeEvent(QCloseEvent* event) override;

private:
    void EnterCommandMode();
    // Sends the five basic parameters inside the bracket EnterCommandMode opened and closes
    // it; a refusal is shown to the operator before command mode is left. True when accepted.
    bool SendBasicParameters(const std::int32_t (&values)[5]);
    // After an acknowledged Set: reads the module's values back and names, in a second
    // message, every basic field it did not keep as sent (values in identifier order).
    void CheckBasicParametersKept(const std::int32_t (&sent)[5]);

    DetectionParams* m_params = nullptr;
    CModuleLink* m_link = nullptr;
    IToolDlgInterface* m_tool = nullptr;
    DialogControls m_controls;
};
