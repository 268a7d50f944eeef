// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QObject>
#include <QSignalSpy>
#include <QTest>

namespace vortan::testing {

// The rows of a NOTIFY check: one for each property the class itself declares.
inline void addPropertyRows(const QMetaObject& metaObject)
{
    QTest::addColumn<QByteArray>("property");
    for (int i = metaObject.propertyOffset(); i < metaObject.propertyCount(); ++i) {
        const char* name = metaObject.property(i).name();
        QTest::newRow(name) << QByteArray(name);
    }
}

// A value of the property's type that differs from the one it holds now.
inline QVariant differentValue(const QMetaProperty& property, const QObject& object)
{
    const QVariant now = property.read(&object);
    if (property.isEnumType()) {
        const QMetaEnum values = property.enumerator();
        for (int i = 0; i < values.keyCount(); ++i)
            if (values.value(i) != now.toInt())
                return values.value(i);
    }
    if (now.metaType().flags().testFlag(QMetaType::IsEnumeration) &&
        now.metaType().sizeOf() == sizeof(int)) {
        // An enum not known to the meta-object system: its first two enumerators are 0 and 1.
        QVariant other(now.metaType());
        *static_cast<int*>(other.data()) = *static_cast<const int*>(now.constData()) == 0 ? 1 : 0;
        return other;
    }
    switch (now.typeId()) {
    case QMetaType::Int:
        return now.toInt() + 1;
    case QMetaType::Bool:
        return !now.toBool();
    case QMetaType::QString:
        return now.toString() + QLatin1Char('x');
    case QMetaType::QColor:
        return now.value<QColor>() == QColor(Qt::red) ? QColor(Qt::green) : QColor(Qt::red);
    case QMetaType::QFont: {
        QFont font = now.value<QFont>();
        font.setPixelSize(font.pixelSize() == 20 ? 21 : 20);
        return font;
    }
    case QMetaType::QImage:
        return QImage(170, 21, QImage::Format_RGB32);
    default:
        return {};
    }
}

// Writing a new value into the property sends its NOTIFY signal once; writing the same value
// again sends nothing (unless told it does: a property too costly to compare).
inline void checkNotifies(QObject& object, const QByteArray& property, bool sameValueTells = false)
{
    const QMetaObject& meta = *object.metaObject();
    const QMetaProperty written = meta.property(meta.indexOfProperty(property));
    QVERIFY(written.hasNotifySignal());
    QSignalSpy notified(&object, written.notifySignal());
    const QVariant other = differentValue(written, object);
    QVERIFY2(other.isValid(), "no different value known for this type");
    QVERIFY(written.write(&object, other));
    QCOMPARE(notified.size(), 1);
    written.write(&object, written.read(&object));
    QCOMPARE(notified.size(), sameValueTells ? 2 : 1);
}

} // namespace vortan::testing
