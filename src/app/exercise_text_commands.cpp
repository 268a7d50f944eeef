// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exercise_text_commands.h"

#include "app/exercise_text.h"
#include "app/exercise_text_box.h"
#include "app/exercise_text_dialogs.h"
#include "base/errors.h"
#include "desktop/windows1250.h"
#include "files/io_errors.h"
#include "files/regular_file.h"
#include "synthesis/random_generator.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace vortan {

namespace {

std::string displayName(const QString& path)
{
    return path.toStdString();
}

[[noreturn]] void cannotOpen(const QString& path, const std::string& reason)
{
    throw Error("Cannot open file " + displayName(path) + ": " + reason);
}

[[noreturn]] void cannotCreate(const QString& path, const std::string& reason)
{
    throw Error("Cannot create file " + displayName(path) + ": " + reason);
}

} // namespace

void appendExerciseLine(QPlainTextEdit& memo, std::string_view line)
{
    QTextDocument& document = *memo.document();
    // Appending depends only on whether the text ends with a line break: the last block is then
    // empty. A non-empty stand-in for a last line that has text is enough.
    const bool endsOpen = document.lastBlock().length() > 1;
    const std::string part = appendedPart(endsOpen ? "x" : "", line);
    if (exerciseTextByteCount(memo) + part.size() > kTextCapacityBytes) {
        throw Error("Text exceeds memo capacity");
    }
    QString unicode = windows1250::toUnicode(part);
    unicode.remove(u'\r');
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    cursor.insertText(unicode);
    cursor.endEditBlock();
}

void appendRandomLine(QPlainTextEdit& memo, const QString& characterSet, RandomGenerator& generator,
                      const Clock& clock)
{
    generator.seedFromClock(clock);
    const auto line = randomLine(windows1250::fromUnicode(characterSet), generator);
    if (line) {
        appendExerciseLine(memo, *line);
    }
}

void clearExerciseText(QPlainTextEdit& memo)
{
    // One edit, so that one undo brings the old text back.
    QTextCursor cursor(memo.document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(windows1250::toUnicode(kOpeningLine) + u'\n');
    cursor.endEditBlock();
    memo.document()->setModified(true);
}

std::string readExerciseTextFile(const QString& path)
{
    if (path.isEmpty())
        cannotOpen(path, systemReason(ENOENT));
    // Line breaks only grow when they are made CR LF: a larger file can never fit.
    RegularFileBytes file =
        readRegularFile(QFile::encodeName(path).toStdString(), kTextCapacityBytes);
    switch (file.state) {
    case RegularFileState::Read:
        return std::move(file.bytes);
    case RegularFileState::TooLarge:
        throw Error("Text exceeds memo capacity: " + displayName(path) + ": " + file.reason);
    default:
        cannotOpen(path, file.reason);
    }
}

void writeExerciseTextFile(const QString& path, std::string_view bytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (!path.isEmpty() && ::stat(name.constData(), &status) == 0) {
        // The temporary file would replace a device or a pipe, and a read-only file, by renaming;
        // refuse them as a plain write would (root included: write bits count, not privileges).
        if (!S_ISREG(status.st_mode))
            cannotCreate(path, notRegularReason(status.st_mode));
        const bool writable = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
                              ::access(name.constData(), W_OK) == 0;
        if (!writable)
            cannotCreate(path, systemReason(EACCES));
    }
    QSaveFile file(path);
    // In a folder where no temporary file can be made, write the file itself, as before.
    file.setDirectWriteFallback(true);
    if (path.isEmpty())
        cannotCreate(path, systemReason(ENOENT));
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(path, file.errorString().toStdString());
    const auto size = static_cast<qint64>(bytes.size());
    errno = 0;
    if (file.write(bytes.data(), size) != size || !file.commit()) {
        // Qt words a short write as "Unknown error"; the system's number says more.
        const int error = errno;
        throw Error("Stream write error: " + displayName(path) + ": " +
                    (error != 0 ? systemReason(error) : file.errorString().toStdString()));
    }
}

void openExerciseText(QPlainTextEdit& memo, const QString& path)
{
    setExerciseTextBytes(memo, readExerciseTextFile(path));
}

void openExerciseText(QPlainTextEdit& memo, ExerciseTextDialogs& dialogs)
{
    if (const auto path = dialogs.askOpenFile(memo.window())) {
        openExerciseText(memo, *path);
    }
}

void saveExerciseText(const QPlainTextEdit& memo, const QString& path)
{
    writeExerciseTextFile(path, exerciseTextBytes(memo));
}

void saveExerciseText(const QPlainTextEdit& memo, ExerciseTextDialogs& dialogs)
{
    if (const auto path = dialogs.askSaveFile(memo.window())) {
        saveExerciseText(memo, *path);
    }
}

} // namespace vortan
