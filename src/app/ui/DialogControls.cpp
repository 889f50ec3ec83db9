#include "DialogControls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaProperty>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

QMetaProperty textProperty(const QWidget* widget)
{
    const QMetaObject* meta = widget->metaObject();
    const int index = meta->indexOfProperty("text");
    return index >= 0 ? meta->property(index) : QMetaProperty();
}

}  // namespace

void DialogControls::add(int id, QWidget* widget)
{
    m_widgets.insert(id, widget);
}

QWidget* DialogControls::GetDlgItem(int id) const
{
    return m_widgets.value(id).data();
}

QList<int> DialogControls::ids() const
{
    QList<int> ids;
    for (auto it = m_widgets.constBegin(); it != m_widgets.constEnd(); ++it) {
        if (it.value())
            ids.append(it.key());
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

QString DialogControls::GetDlgItemText(int id) const
{
    const QWidget* widget = GetDlgItem(id);
    if (!widget)
        return {};
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->currentText();
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    if (const QMetaProperty property = textProperty(widget); property.isReadable())
        return property.read(widget).toString();
    return widget->windowTitle();
}

bool DialogControls::SetDlgItemText(int id, const QString& text)
{
    QWidget* widget = GetDlgItem(id);
    if (!widget)
        return false;
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        combo->setCurrentText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
    else if (const QMetaProperty property = textProperty(widget); property.isWritable())
        property.write(widget, text);
    else
        widget->setWindowTitle(text);
    return true;
}

int DialogControls::GetDlgItemInt(int id, bool isSigned) const
{
    return TextToInt(GetDlgItemText(id), isSigned);
}

bool DialogControls::SetDlgItemInt(int id, int value, bool isSigned)
{
    const QString text = isSigned ? QString::number(value) : QString::number(std::uint32_t(value));
    return SetDlgItemText(id, text);
}

void DialogControls::CheckRadioButton(int firstId, int lastId, int checkId)
{
    for (int id = firstId; id <= lastId; ++id) {
        auto* button = item<QAbstractButton>(id);
        if (!button)
            continue;
        // An auto-exclusive button refuses to be unchecked directly; the program, not the
        // operator, decides here, so lift the rule for the change.
        const bool exclusive = button->autoExclusive();
        button->setAutoExclusive(false);
        button->setChecked(id == checkId);
        button->setAutoExclusive(exclusive);
    }
}

bool DialogControls::IsDlgButtonChecked(int id) const
{
    const auto* button = item<QAbstractButton>(id);
    return button && button->isChecked();
}

int DialogControls::TextToInt(const QString& text, bool isSigned)
{
    qsizetype pos = 0;
    while (pos < text.size() && text.at(pos).isSpace())
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text.at(pos) == QLatin1Char('+') || (isSigned && text.at(pos) == QLatin1Char('-')))) {
        negative = text.at(pos) == QLatin1Char('-');
        ++pos;
    }

    // Accumulate beyond the 32-bit range only far enough to know it was left.
    constexpr std::int64_t kCeiling = std::int64_t(std::numeric_limits<std::uint32_t>::max()) + 1;
    std::int64_t magnitude = 0;
    for (; pos < text.size() && text.at(pos) >= QLatin1Char('0') && text.at(pos) <= QLatin1Char('9'); ++pos)
        magnitude = std::min(kCeiling, magnitude * 10 + (text.at(pos).unicode() - u'0'));

    // A number the 32 bits cannot hold is not a number here: 0, like text without digits.
    if (!isSigned)
        return magnitude < kCeiling ? int(std::uint32_t(magnitude)) : 0;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return 0;
    return int(value);
}
