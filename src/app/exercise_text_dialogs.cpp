// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exercise_text_dialogs.h"

#include "app/single_file_dialog.h"

namespace vortan {

namespace {

std::optional<QString> ask(QWidget* parent, QFileDialog::AcceptMode mode, const QString& suffix,
                           QString& lastName)
{
    SingleFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(ExerciseTextDialogs::nameFilters());
    dialog.setDefaultSuffix(suffix);
    if (!lastName.isEmpty()) {
        dialog.selectFile(lastName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.chosenFile().isEmpty()) {
        return std::nullopt;
    }
    lastName = dialog.chosenFile();
    return lastName;
}

} // namespace

QStringList ExerciseTextDialogs::nameFilters()
{
    return {QStringLiteral("Pliki tekstowe (*.txt *.TXT)"), QStringLiteral("Wszystkie pliki (*)")};
}

std::optional<QString> ExerciseTextDialogs::askOpenFile(QWidget* parent)
{
    // Any name may be typed: a missing file is reported by Open itself.
    return ask(parent, QFileDialog::AcceptOpen, QString(), m_lastOpenName);
}

std::optional<QString> ExerciseTextDialogs::askSaveFile(QWidget* parent)
{
    return ask(parent, QFileDialog::AcceptSave, saveSuffix(), m_lastSaveName);
}

} // namespace vortan
