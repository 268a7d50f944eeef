#include "desktop/windows1250.h"

#include <QTextCodec>

namespace vortan::windows1250 {

namespace {

QTextCodec& codec()
{
    // Qt's own table (Core5Compat), not iconv: iconv refuses the five unassigned bytes.
    static QTextCodec* const windows1250 = QTextCodec::codecForName("windows-1250");
    Q_ASSERT(windows1250);
    return *windows1250;
}

} // namespace

QString toUnicode(std::string_view bytes)
{
    return codec().toUnicode(bytes.data(), static_cast<int>(bytes.size()));
}

std::string fromUnicode(const QString& text)
{
    const QByteArray bytes = codec().fromUnicode(text);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool canEncode(const QString& text)
{
    return codec().canEncode(text);
}

} // namespace vortan::windows1250
