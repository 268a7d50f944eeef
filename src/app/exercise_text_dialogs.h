// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace vortan {

// The file dialogs of Open and Save, made once by the window and reused: each opens with the
// name chosen last in it. No overwrite question and no existence check: the commands report
// what goes wrong. Tests replace the two questions by overriding them.
class ExerciseTextDialogs {
public:
    virtual ~ExerciseTextDialogs() = default;

    // The chosen file, or nothing when the user cancels.
    virtual std::optional<QString> askOpenFile(QWidget* parent);
    virtual std::optional<QString> askSaveFile(QWidget* parent);

    // Text files first; Linux names are case-sensitive, so both spellings of the extension
    // count, and "all files" means every name, with or without a dot.
    static QStringList nameFilters();
    static QString saveSuffix() { return QStringLiteral("txt"); }

    QString lastOpenName() const { return m_lastOpenName; }
    QString lastSaveName() const { return m_lastSaveName; }

private:
    QString m_lastOpenName;
    QString m_lastSaveName;
};

} // namespace vortan
