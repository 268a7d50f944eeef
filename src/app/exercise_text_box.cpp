// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exercise_text_box.h"

#include "app/exercise_text.h"
#include "base/errors.h"
#include "desktop/windows1250.h"

#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <bitset>
#include <vector>

namespace vortan {

namespace {

// Which UTF-16 code units stand for a windows-1250 character: the 256 the code page maps to.
// Line breaks are not characters of a line: the box keeps them as paragraph breaks.
const std::bitset<0x10000>& windows1250Characters()
{
    static const std::bitset<0x10000> table = [] {
        std::bitset<0x10000> characters;
        for (int byte = 0; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            const QString unicode = windows1250::toUnicode(std::string_view(&c, 1));
            if (unicode.size() == 1) {
                characters.set(unicode.at(0).unicode());
            }
        }
        characters.reset(u'\r');
        characters.reset(u'\n');
        return characters;
    }();
    return table;
}

// A stretch of the document that becomes that many "?".
struct Replacement {
    int position = 0;
    int length = 0;
    int questionMarks = 0;
};

class Windows1250Filter : public QObject {
public:
    explicit Windows1250Filter(QTextDocument& document)
        : QObject(&document)
        , m_document(document)
    {
        connect(&document, &QTextDocument::contentsChange, this,
                &Windows1250Filter::onContentsChange);
    }

private:
    void onContentsChange(int position, int /*charsRemoved*/, int charsAdded)
    {
        if (m_busy || charsAdded <= 0) {
            return;
        }
        // Our own edits below come back through this signal.
        const QScopedValueRollback<bool> busy(m_busy, true);
        const int documentEnd = m_document.characterCount() - 1;
        const int end = std::min(position + charsAdded, documentEnd);
        if (end <= position) {
            return;
        }

        const std::vector<Replacement> replacements = findUnencodable(position, end);
        int insertedEnd = end;
        QTextCursor cursor(&m_document);
        cursor.joinPreviousEditBlock();
        // From the back, so that the positions still to come stay valid.
        for (auto it = replacements.rbegin(); it != replacements.rend(); ++it) {
            cursor.setPosition(it->position);
            cursor.setPosition(it->position + it->length, QTextCursor::KeepAnchor);
            cursor.insertText(QString(it->questionMarks, u'?'));
            insertedEnd -= it->length - it->questionMarks;
        }

        // Like an edit box with a length limit: what does not fit is not taken.
        const std::size_t byteCount =
            static_cast<std::size_t>(m_document.characterCount() - 1 + m_document.blockCount() - 1);
        if (byteCount > kTextCapacityBytes) {
            const auto excess =
                static_cast<int>(std::min<std::size_t>(byteCount - kTextCapacityBytes, INT32_MAX));
            const int cut = std::min(excess, insertedEnd - position);
            cursor.setPosition(insertedEnd - cut);
            cursor.setPosition(insertedEnd, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        cursor.endEditBlock();
    }

    std::vector<Replacement> findUnencodable(int begin, int end) const
    {
        const auto& allowed = windows1250Characters();
        std::vector<Replacement> found;
        for (QTextBlock block = m_document.findBlock(begin);
             block.isValid() && block.position() < end; block = block.next()) {
            const QString text = block.text();
            const int blockStart = block.position();
            const int from = std::max(begin, blockStart) - blockStart;
            const int to = std::min<int>(end - blockStart, static_cast<int>(text.size()));
            for (int i = from; i < to; ++i) {
                const char16_t unit = text.at(i).unicode();
                if (allowed.test(unit)) {
                    continue;
                }
                // A character outside the BMP is two code units: still one "?".
                int length = 1;
                if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
                    QChar::isLowSurrogate(text.at(i + 1).unicode())) {
                    length = 2;
                }
                const int documentPosition = blockStart + i;
                if (!found.empty() &&
                    found.back().position + found.back().length == documentPosition) {
                    found.back().length += length;
                    found.back().questionMarks += 1;
                } else {
                    found.push_back({documentPosition, length, 1});
                }
                i += length - 1;
            }
        }
        return found;
    }

    QTextDocument& m_document;
    bool m_busy = false;
};

} // namespace

void restrictToWindows1250(QPlainTextEdit& memo)
{
    new Windows1250Filter(*memo.document());
}

std::string exerciseTextBytes(const QPlainTextEdit& memo)
{
    // The document's own characters, its blocks apart by paragraph separators: one replace, not
    // a walk through the blocks, so that a long text costs Play little before its sound.
    QString text = memo.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return windows1250::fromUnicode(text);
}

std::size_t exerciseTextByteCount(const QPlainTextEdit& memo)
{
    const QTextDocument& document = *memo.document();
    // Every block but the last ends with a line break: one character in the box, CR LF in bytes.
    return static_cast<std::size_t>(document.characterCount() - 1 + document.blockCount() - 1);
}

void setExerciseTextBytes(QPlainTextEdit& memo, std::string_view bytes)
{
    const std::string text = normalizeLineBreaks(bytes);
    if (text.size() > kTextCapacityBytes) {
        throw Error("Text exceeds memo capacity");
    }
    QString unicode = windows1250::toUnicode(text);
    unicode.remove(u'\r');
    memo.setPlainText(unicode);
    memo.document()->setModified(true);
}

} // namespace vortan
