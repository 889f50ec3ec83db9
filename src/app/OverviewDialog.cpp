#include "OverviewDialog.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

#include "AppMessageBox.h"
#include "PictureFile.h"
#include "RecordingOverview.h"
#include "StringIds.h"
#include "StringTable.h"

COverviewDialog::COverviewDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(StringTable::load(StringId::kOverviewTitle));
    auto* rows = new QVBoxLayout(this);
    m_overview = new CRecordingOverview(this);
    m_overview->setToolTip(StringTable::load(StringId::kOverviewTip));
    rows->addWidget(m_overview, 1);
    auto* buttons = new QHBoxLayout;
    auto* whole = new QToolButton(this);
    whole->setText(StringTable::load(StringId::kWholeText));
    auto* save = new QToolButton(this);
    save->setText(StringTable::load(StringId::kSaveText));
    buttons->addWidget(whole);
    buttons->addWidget(save);
    buttons->addStretch(1);
    rows->addLayout(buttons);
    connect(whole, &QToolButton::clicked, this, [this] { m_overview->ShowWhole(); });
    connect(save, &QToolButton::clicked, this, &COverviewDialog::OnSavePicture);
    resize(1000, 420);
}

bool COverviewDialog::SavePicture(const QString& path, QString* error)
{
    // Aside, then renamed: a half-written picture never takes the name, and a FIFO or
    // a device chosen in the file dialog is refused instead of blocking or replaced.
    const QImage picture = m_overview->Picture(m_overview->size());
    std::string why;
    if (SavePngAside(picture, QFile::encodeName(path).toStdString(), why))
        return true;
    if (error)
        *error = QString::fromStdString(why);
    return false;
}

void COverviewDialog::OnSavePicture()
{
    const QString path = QFileDialog::getSaveFileName(this, QString(), QString(), StringTable::load(StringId::kPngFilter));
    if (path.isEmpty())
        return;
    QString error;
    if (!SavePicture(path, &error))
        ShowErrorBox(this, StringId::kNotSaved, error);
}
