#pragma once

// What the main window offers the parameter dialog. The dialog calls both operations on
// the user-interface thread; the bodies here do nothing, the main window overrides them.
class IToolDlgInterface {
public:
    virtual ~IToolDlgInterface() = default;
    // Puts the default detection parameters into the main window's record.
    virtual void RestoreDefaults() {}
    // Ends a running acquisition; harmless when none runs, since the dialog always calls it.
    virtual void StopAcquisition() {}
};
