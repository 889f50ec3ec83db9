#include "RecordingBar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "StringIds.h"
#include "StringTable.h"

namespace {
// Per label, in GroundTruthLabel order (off, empty, moving, still): text and tooltip.
constexpr StringId kLabelTexts[] = {StringId::kNoLabelText, StringId::kEmptyLabelText, StringId::kMovingLabelText,
                                    StringId::kStillLabelText};
constexpr StringId kLabelTips[] = {StringId::kNoLabelTip, StringId::kEmptyLabelTip, StringId::kMovingLabelTip,
                                   StringId::kStillLabelTip};
// The slider counts tenths of a second.
constexpr std::int64_t kSliderStepUs = 100000;

QToolButton* MakeButton(QWidget* parent, int textId, int tipId = 0)
{
    auto* button = new QToolButton(parent);
    button->setText(StringTable::load(textId));
    if (tipId)
        button->setToolTip(StringTable::load(tipId));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::NoFocus);  // keys stay with the window: 0, 1, 2 and Space label
    button->setAutoRaise(false);
    return button;
}

// The replayed file's name gives up room before any control of the replay row does: it
// is cut short with "…" to the width it gets, and text() keeps the whole name.
class CShrinkingLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return QSize(0, QLabel::minimumSizeHint().height()); }

protected:
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QPainter painter(this);
        const QRect room = contentsRect();
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width()));
    }
};

// "m:ss.t", or "h:mm:ss" from an hour on.
QString Clock(std::int64_t us)
{
    const std::int64_t tenths = std::max<std::int64_t>(us, 0) / kSliderStepUs;
    const std::int64_t seconds = tenths / 10;
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2.%3").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')).arg(tenths % 10);
}

}  // namespace

CRecordingBar::CRecordingBar(QWidget* parent) : QWidget(parent)
{
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(6, 0, 6, 2);
    rows->setSpacing(2);

    auto* tools = new QHBoxLayout;
    tools->setSpacing(4);
    m_open = MakeButton(this, StringId::kOpenText, StringId::kOpenTip);
    m_export = MakeButton(this, StringId::kExportText, StringId::kExportTip);
    m_summary = MakeButton(this, StringId::kSummaryText, StringId::kSummaryTip);
    tools->addWidget(m_open);
    tools->addWidget(m_export);
    tools->addWidget(m_summary);
    tools->addSpacing(8);
    m_parameters = MakeButton(this, StringId::kAllParametersText);
    tools->addWidget(m_parameters);
    tools->addStretch(1);
    tools->addWidget(new QLabel(StringTable::load(StringId::kTruthText), this));
    for (GroundTruthLabel label :
         {GroundTruthLabel::Empty, GroundTruthLabel::Moving, GroundTruthLabel::Still, GroundTruthLabel::Off}) {
        const int i = int(label);
        m_labels[std::size_t(i)] = MakeButton(this, kLabelTexts[i], kLabelTips[i]);
        m_labels[std::size_t(i)]->setCheckable(true);
        tools->addWidget(m_labels[std::size_t(i)]);
    }
    rows->addLayout(tools);

    m_replayRow = new QWidget(this);
    auto* replay = new QHBoxLayout(m_replayRow);
    replay->setContentsMargins(0, 0, 0, 0);
    replay->setSpacing(4);
    m_file = new CShrinkingLabel(m_replayRow);
    m_file->setTextFormat(Qt::PlainText);
    m_play = MakeButton(m_replayRow, StringId::kPlayText);
    m_speed = new QComboBox(m_replayRow);
    m_speed->setFocusPolicy(Qt::NoFocus);
    for (int factor : {1, 4, 16})
        m_speed->addItem(QStringLiteral("%1×").arg(factor), factor);
    m_speed->addItem(StringTable::load(StringId::kFastestText), 0);
    m_step = MakeButton(m_replayRow, StringId::kStepText, StringId::kStepTip);
    m_position = new QSlider(Qt::Horizontal, m_replayRow);
    m_position->setFocusPolicy(Qt::NoFocus);
    m_time = new QLabel(m_replayRow);
    m_stop = MakeButton(m_replayRow, StringId::kStopReplayText);
    replay->addWidget(m_file);
    replay->addWidget(m_play);
    replay->addWidget(m_speed);
    replay->addWidget(m_step);
    replay->addWidget(m_position, 1);
    replay->addWidget(m_time);
    replay->addWidget(m_stop);
    m_overview = MakeButton(m_replayRow, StringId::kOverviewText, StringId::kOverviewTip);
    replay->addWidget(m_overview);
    rows->addWidget(m_replayRow);
    EnableReplayRow(false);

    ShowLabel(GroundTruthLabel::Off);
    EnableLabels(false);
}

QAbstractButton* CRecordingBar::LabelButton(GroundTruthLabel label) const
{
    return m_labels[std::size_t(label)];
}

QAbstractButton* CRecordingBar::OpenButton() const
{
    return m_open;
}

QAbstractButton* CRecordingBar::ExportButton() const
{
    return m_export;
}

QAbstractButton* CRecordingBar::SummaryButton() const
{
    return m_summary;
}

QAbstractButton* CRecordingBar::ParametersButton() const
{
    return m_parameters;
}

QAbstractButton* CRecordingBar::PlayButton() const
{
    return m_play;
}

QAbstractButton* CRecordingBar::StepButton() const
{
    return m_step;
}

QAbstractButton* CRecordingBar::StopButton() const
{
    return m_stop;
}

void CRecordingBar::ShowLabel(GroundTruthLabel label)
{
    m_shownLabel = label;
    for (std::size_t i = 0; i < m_labels.size(); ++i)
        m_labels[i]->setChecked(i == std::size_t(label));
}

void CRecordingBar::EnableLabels(bool enabled)
{
    for (QToolButton* button : m_labels)
        button->setEnabled(enabled);
}

void CRecordingBar::EnableReplayRow(bool enabled)
{
    m_replayRow->setEnabled(enabled);
    if (!enabled) {
        m_file->clear();
        m_file->setToolTip(QString());
        ShowPlaying(false);
        ShowPosition(0, 0);
    }
}

int CRecordingBar::NeededHeight() const
{
    return sizeHint().height();
}

void CRecordingBar::ShowPlaying(bool playing)
{
    m_play->setText(StringTable::load(playing ? StringId::kPauseText : StringId::kPlayText));
}

void CRecordingBar::ShowPosition(std::int64_t positionUs, std::int64_t endUs)
{
    const int maximum = int(std::min<std::int64_t>(endUs / kSliderStepUs, INT32_MAX));
    if (m_position->maximum() != maximum)
        m_position->setRange(0, maximum);
    if (!m_position->isSliderDown())
        m_position->setValue(int(std::min<std::int64_t>(positionUs / kSliderStepUs, maximum)));
    const QString text = Clock(positionUs) + QStringLiteral(" / ") + Clock(endUs);
    if (m_time->text() != text)
        m_time->setText(text);
}

void CRecordingBar::ShowReplayFile(const QString& fileName, const QString& note)
{
    QString text = StringTable::load(StringId::kReplayFileText).arg(fileName);
    if (!note.isEmpty())
        text += QStringLiteral(" ⚠");
    m_file->setText(text);
    m_file->setToolTip(note);
}

QString CRecordingBar::ReplayText() const
{
    return m_file->text();
}

std::int64_t CRecordingBar::SliderPositionUs() const
{
    return std::int64_t(m_position->value()) * kSliderStepUs;
}

int CRecordingBar::ChosenSpeed() const
{
    return m_speed->currentData().toInt();
}

QAbstractButton* CRecordingBar::OverviewButton() const
{
    return m_overview;
}
