#pragma once
#include "DialogTemplate.h"

#include <QJsonObject>
#include <QString>

// Reads the JSON form of a dialog template, checking every field; the first problem
// found is kept with its place in the data (for example "controls[3].rect[2]").
class DialogTemplateReader {
public:
    // Fills out from root; false when the data is malformed, with the reason in error().
    bool read(const QJsonObject& root, DialogTemplate* out);
    const QString& error() const { return m_error; }

private:
    QString m_error;
};
