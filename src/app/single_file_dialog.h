// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileDialog>

namespace vortan {

// A file dialog for one file, whose chosen file is always the name the user typed or picked.
// Qt's own dialog reads a typed name holding quotation marks as a list of quoted names
// ("a" "b"), so that `my "q" notes.txt` would choose q.txt, another file; in a dialog for one
// file such a name is taken as it stands, in the dialog's folder, with the default suffix added
// as Qt adds it. Only the widget-based dialog parses names; a platform's native dialog returns
// what was typed, and is left alone.
class SingleFileDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit SingleFileDialog(QWidget* parent = nullptr);

    // The file chosen at the last accept; empty before.
    QString chosenFile() const { return m_chosenFile; }

    // What a name typed into the dialog names: taken as it stands, relative to `folder`, "~"
    // and "~/" meaning the home folder, the suffix added to a name without a dot.
    static QString typedFile(const QString& typed, const QString& folder,
                             const QString& defaultSuffix);

public Q_SLOTS:
    void accept() override;

private:
    QString m_chosenFile;
};

} // namespace vortan
