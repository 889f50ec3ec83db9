#pragma once
#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

// The controls of one built dialog by id, with the classic dialog-item helpers.
// The widgets belong to their dialog; a control that has been destroyed reads as missing.
// Helpers on an id the dialog lacks do nothing and answer false, 0 or an empty text.
//
// Text of a control: a label's, button's or group box's title, an edit's text, a combo
// box's current text; a custom widget's "text" property when it has one, else its
// window title.
class DialogControls {
public:
    void add(int id, QWidget* widget);
    // The control with this id, or null.
    QWidget* GetDlgItem(int id) const;
    template <typename Widget>
    Widget* item(int id) const { return qobject_cast<Widget*>(GetDlgItem(id)); }
    QList<int> ids() const;

    QString GetDlgItemText(int id) const;
    bool SetDlgItemText(int id, const QString& text);
    // The control's text as a decimal integer; see TextToInt.
    int GetDlgItemInt(int id, bool isSigned = true) const;
    // Shows value in decimal; unsigned shows the same 32 bits read as unsigned.
    bool SetDlgItemInt(int id, int value, bool isSigned = true);
    // Checks checkId and unchecks every other radio button with an id from firstId to lastId;
    // checkId 0 (or any id outside the range) leaves them all unchecked.
    void CheckRadioButton(int firstId, int lastId, int checkId);
    bool IsDlgButtonChecked(int id) const;

    // Leading white space, an optional sign (a minus only when isSigned), then decimal digits
    // up to the first other character. Text without digits there gives 0, and so does a
    // value outside the 32-bit range (signed, or unsigned returned as the same 32 bits).
    static int TextToInt(const QString& text, bool isSigned = true);

private:
    QHash<int, QPointer<QWidget>> m_widgets;
};
