#include "app/exercise_text.h"
#include "app/exercise_text_box.h"
#include "synthesis/errors.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

using namespace vortan;

namespace {

// A text of exactly that many bytes, in lines of 36 characters.
std::string textOfBytes(std::size_t byteCount)
{
    std::string text;
    text.reserve(byteCount);
    while (text.size() + 38 <= byteCount) {
        text.append(36, 'a').append("\r\n");
    }
    text.append(byteCount - text.size(), 'a');
    return text;
}

} // namespace

class ExerciseTextBoxTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QPlainTextEdit> m_memo;

    QByteArray bytes() const { return QByteArray::fromStdString(exerciseTextBytes(*m_memo)); }

    void type(const QString& text)
    {
        // One key event per character, as a keyboard or an input method sends it.
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(m_memo.get(), &press);
    }

private slots:
    void init()
    {
        m_memo = std::make_unique<QPlainTextEdit>();
        restrictToWindows1250(*m_memo);
    }
    void cleanup() { m_memo.reset(); }

    void everyByteValueRoundTrips()
    {
        // Every byte but CR and LF inside a line, then CR LF line breaks.
        std::string text;
        for (int byte = 0; byte < 256; ++byte) {
            if (byte != '\r' && byte != '\n') {
                text += static_cast<char>(byte);
            }
        }
        text += "\r\n\r\nnext\r\n";
        setExerciseTextBytes(*m_memo, text);
        QCOMPARE(bytes(), QByteArray::fromStdString(text));
        QCOMPARE(exerciseTextByteCount(*m_memo), text.size());
        QVERIFY(m_memo->document()->isModified());
    }

    void lineBreaksOfAnyKindBecomeCrLf()
    {
        setExerciseTextBytes(*m_memo, "a\nb\rc\r\nd");
        m_memo->moveCursor(QTextCursor::End);
        QCOMPARE(bytes(), QByteArray("a\r\nb\r\nc\r\nd"));
        m_memo->insertPlainText(QStringLiteral("x\ry\r\nz\u2029w"));
        QCOMPARE(bytes(), QByteArray("a\r\nb\r\nc\r\ndx\r\ny\r\nz\r\nw"));
    }

    void typedCharactersOutsideTheCodePageBecomeQuestionMarks()
    {
        type(QStringLiteral("\u0105"));              // ą: in the code page
        type(QStringLiteral("\u4e2d"));              // a CJK character
        type(QString::fromUtf8("\xf0\x9f\x98\x80")); // an emoji: two UTF-16 units, one "?"
        type(QStringLiteral("\u20ac"));              // €: 0x80
        QCOMPARE(bytes(), QByteArray("\xb9??\x80"));
        QCOMPARE(m_memo->textCursor().position(), 4);
    }

    void pastedTextIsFilteredAsOneUndoStep()
    {
        m_memo->setPlainText(QStringLiteral("start "));
        m_memo->moveCursor(QTextCursor::End);
        QApplication::clipboard()->setText(
            QString::fromUtf8("a\xe4\xb8\xad\xf0\x9f\x98\x80\xf0\x9f\x98\x80"
                              "b\xe2\x80\xa8"
                              "c\xc2\xa0\r\nd"));
        m_memo->paste();
        // Two emoji in a row are two "?"; U+2028 is no line break of ours; NBSP is 0xA0.
        const QByteArray expected("start a???b?c\xa0\r\nd");
        QCOMPARE(bytes(), expected);
        QCOMPARE(m_memo->textCursor().position(), m_memo->document()->characterCount() - 1);

        m_memo->undo();
        QCOMPARE(bytes(), QByteArray("start "));
        m_memo->redo();
        QCOMPARE(bytes(), expected);
    }

    void insertionsStopAtTheCapacity()
    {
        setExerciseTextBytes(*m_memo, textOfBytes(kTextCapacityBytes - 3));
        m_memo->moveCursor(QTextCursor::End);
        QApplication::clipboard()->setText(QStringLiteral("bcdef"));
        m_memo->paste();
        QCOMPARE(exerciseTextByteCount(*m_memo), kTextCapacityBytes);
        QCOMPARE(bytes().right(4), QByteArray("abcd"));
        type(QStringLiteral("z"));
        QCOMPARE(exerciseTextByteCount(*m_memo), kTextCapacityBytes);
    }

    void aTextOverTheCapacityIsRefusedWhole()
    {
        setExerciseTextBytes(*m_memo, "keep");
        m_memo->document()->setModified(false);
        // LF-only: within the capacity as a file, over it once made CR LF.
        const std::string tooLong(kTextCapacityBytes / 2 + 1, '\n');
        try {
            setExerciseTextBytes(*m_memo, tooLong);
            QFAIL("no error");
        } catch (const Error& error) {
            QCOMPARE(error.what(), "Text exceeds memo capacity");
        }
        QCOMPARE(bytes(), QByteArray("keep"));
        QVERIFY(!m_memo->document()->isModified());
        setExerciseTextBytes(*m_memo, textOfBytes(kTextCapacityBytes));
        QCOMPARE(exerciseTextByteCount(*m_memo), kTextCapacityBytes);
    }
};

QTEST_MAIN(ExerciseTextBoxTest)
#include "exercise_text_box_test.moc"
