#include "watch/window/WatchFileQuestions.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QStandardPaths>

#include "common/MessageBox.h"
#include "watch/FollowedValues.h"

namespace {

const QString Filter = QStringLiteral("Valori seguiti (*.json);;Tutti i file (*)");

QString startFolder()
{
    // A desktop without a documents folder: the home folder, not wherever the program started.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

} // namespace

void WatchFileQuestions::exportWatch(FollowedValues &values, QWidget *over)
{
    QFileDialog dialog(over, QStringLiteral("Esporta i valori seguiti"),
                       QDir(startFolder()).filePath(QStringLiteral("valori-seguiti.json")), Filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("json"));
    // The check box needs Qt's own dialog: the desktop's has no room for it.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto *withReadings = new QCheckBox(QStringLiteral("con le letture"), &dialog);
    withReadings->setObjectName(QStringLiteral("withReadings"));
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(withReadings, grid->rowCount(), 0, 1, -1);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString error = values.exportWatch(dialog.selectedFiles().constFirst(), withReadings->isChecked());
    if (!error.isEmpty())
        MessageBox::show(over, QMessageBox::Warning, QStringLiteral("Esporta i valori seguiti"), error);
}

void WatchFileQuestions::importWatch(FollowedValues &values, QWidget *over)
{
    const QString path = QFileDialog::getOpenFileName(over, QStringLiteral("Importa i valori seguiti"), startFolder(), Filter);
    if (path.isEmpty())
        return;
    const QString error = values.importWatch(path);
    if (error.isEmpty())
        MessageBox::show(over, QMessageBox::Information, QStringLiteral("Importa i valori seguiti"),
                         QStringLiteral("I valori seguiti di \u00ab%1\u00bb sono stati importati.").arg(QDir::toNativeSeparators(path)));
    else
        MessageBox::show(over, QMessageBox::Warning, QStringLiteral("Importa i valori seguiti"), error);
}
