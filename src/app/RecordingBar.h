#pragma once
#include <QWidget>

#include <array>
#include <cstdint>

#include "GroundTruthLabel.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QSlider;
class QToolButton;

// A strip below the health strip for recordings: open one to replay, export reports as
// CSV, the label summary, and the ground-truth label buttons. A second row with the
// replay's controls shows only while a replay goes on. User-interface thread only; the
// window connects to the buttons it hands out.
class CRecordingBar : public QWidget {
public:
    explicit CRecordingBar(QWidget* parent = nullptr);

    QAbstractButton* OpenButton() const;
    QAbstractButton* ExportButton() const;
    QAbstractButton* SummaryButton() const;
    // "All parameters…": the parameter workbench.
    QAbstractButton* ParametersButton() const;
    QAbstractButton* LabelButton(GroundTruthLabel label) const;
    // Checks the button of the label in force.
    void ShowLabel(GroundTruthLabel label);
    GroundTruthLabel ShownLabel() const { return m_shownLabel; }
    void EnableLabels(bool enabled);

    // The replay row's controls work only while a replay goes on.
    void EnableReplayRow(bool enabled);
    // The height both rows need.
    int NeededHeight() const;
    QAbstractButton* PlayButton() const;
    QComboBox* SpeedBox() const { return m_speed; }
    QAbstractButton* StepButton() const;
    QSlider* PositionSlider() const { return m_position; }
    QAbstractButton* StopButton() const;
    // "Overview…": the whole replayed recording at a glance.
    QAbstractButton* OverviewButton() const;
    // "Play" or "Pause" on the play button.
    void ShowPlaying(bool playing);
    // The slider (unless the operator holds it) and "elapsed / length".
    void ShowPosition(std::int64_t positionUs, std::int64_t endUs);
    // The replayed file's name, and a note on its pacing (empty for none) as a warning
    // sign with the note as its tooltip.
    void ShowReplayFile(const QString& fileName, const QString& note);
    QString ReplayText() const;

    // Where the operator put the slider.
    std::int64_t SliderPositionUs() const;
    // The replay speed chosen: 1, 4, 16, or 0 for the fastest.
    int ChosenSpeed() const;

private:
    QToolButton* m_open = nullptr;
    QToolButton* m_export = nullptr;
    QToolButton* m_summary = nullptr;
    QToolButton* m_parameters = nullptr;
    std::array<QToolButton*, 4> m_labels{};  // in GroundTruthLabel order: off, empty, moving, still
    GroundTruthLabel m_shownLabel = GroundTruthLabel::Off;
    QWidget* m_replayRow = nullptr;
    QToolButton* m_play = nullptr;
    QComboBox* m_speed = nullptr;
    QToolButton* m_step = nullptr;
    QSlider* m_position = nullptr;
    QLabel* m_time = nullptr;
    QLabel* m_file = nullptr;
    QToolButton* m_stop = nullptr;
    QToolButton* m_overview = nullptr;
};
