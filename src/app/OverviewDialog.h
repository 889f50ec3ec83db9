#pragma once
#include <QDialog>

class CRecordingOverview;
class QToolButton;

// The window around a recording's overview: the view, "Whole recording" and "Save
// picture…". Not modal: the replay goes on beside it. User-interface thread only.
class COverviewDialog : public QDialog {
public:
    explicit COverviewDialog(QWidget* parent = nullptr);
    CRecordingOverview* Overview() const { return m_overview; }
    // Saves the view as a PNG of its size on screen; false, with *error set, on failure.
    bool SavePicture(const QString& path, QString* error);

private:
    void OnSavePicture();
    CRecordingOverview* m_overview = nullptr;
};
