#include "paradox_values.h"

#include "core/cp1251.h"

#include <QDate>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace talvir::px {
namespace {

// Julian day of the day before 1 January of year 1: Paradox counts dates from that day.
constexpr qint64 kDateEpoch = 1721425;

bool allZero(const char *data, int size)
{
    for (int i = 0; i < size; ++i) {
        if (data[i] != 0)
            return false;
    }
    return true;
}

quint64 readBigEndian(const char *data, int size)
{
    quint64 v = 0;
    for (int i = 0; i < size; ++i)
        v = (v << 8) | static_cast<unsigned char>(data[i]);
    return v;
}

void writeBigEndian(quint64 v, char *data, int size)
{
    for (int i = size - 1; i >= 0; --i) {
        data[i] = char(v & 0xFF);
        v >>= 8;
    }
}

// Integers keep their two's complement with the top bit flipped, so that they sort as bytes.
qint64 decodeInteger(const char *data, int size)
{
    const int bits = size * 8;
    const quint64 raw = readBigEndian(data, size) ^ (quint64(1) << (bits - 1));
    const quint64 sign = quint64(1) << (bits - 1);
    return (raw & sign) ? qint64(raw) - qint64(quint64(1) << bits) : qint64(raw);
}

QString encodeInteger(const QVariant &value, char *data, int size)
{
    bool ok = false;
    const qlonglong v = value.toLongLong(&ok);
    if (!ok || (value.typeId() == QMetaType::Double && double(v) != value.toDouble()))
        return QStringLiteral("значение \"%1\" не является целым числом").arg(value.toString());
    const qint64 limit = (qint64(1) << (size * 8 - 1)) - 1;
    // The most negative value would be stored as all zero bytes, which means NULL.
    if (v > limit || v < -limit)
        return QStringLiteral("число %1 вне диапазона поля (от %2 до %3)").arg(v).arg(-limit).arg(limit);
    const quint64 raw = quint64(v) ^ (quint64(1) << (size * 8 - 1));
    writeBigEndian(raw, data, size);
    return {};
}

constexpr int kBcdDigits = 32;

int bcdDigit(const char *data, int k) // k-th of the 32 digits
{
    const unsigned char byte = static_cast<unsigned char>(data[1 + k / 2]);
    return k % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

QString decodeBcd(const char *data, int decimals)
{
    const bool negative = !(static_cast<unsigned char>(data[0]) & 0x80);
    QString whole;
    QString fraction;
    bool nonZero = false;
    for (int k = 0; k < kBcdDigits; ++k) {
        int digit = bcdDigit(data, k);
        if (negative)
            digit = 0x0F - digit;
        // A half byte above 9 is no digit (a damaged value); it shows as the digit it ends in.
        const QChar c = QLatin1Char(char('0' + digit % 10));
        nonZero = nonZero || digit != 0;
        if (k < kBcdDigits - decimals) {
            if (!whole.isEmpty() || digit != 0)
                whole += c;
        } else {
            fraction += c;
        }
    }
    QString text = (negative && nonZero ? QStringLiteral("-") : QString()) + (whole.isEmpty() ? QStringLiteral("0") : whole);
    if (decimals > 0)
        text += QLatin1Char('.') + fraction;
    return text;
}

QString encodeBcd(const QVariant &value, char *data, int decimals)
{
    QString text = value.typeId() == QMetaType::Double ? QString::number(value.toDouble(), 'f', decimals) : value.toString().trimmed();
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative || text.startsWith(QLatin1Char('+')))
        text.remove(0, 1);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? text : text.left(point);
    const QString fraction = point < 0 ? QString() : text.mid(point + 1);
    const auto digitsOnly = [](const QString &s) {
        return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    };
    if ((whole.isEmpty() && fraction.isEmpty()) || !digitsOnly(whole) || !digitsOnly(fraction))
        return QStringLiteral("значение \"%1\" не является десятичным числом").arg(value.toString());
    if (fraction.size() > decimals)
        return QStringLiteral("у числа \"%1\" больше %2 знаков после запятой").arg(value.toString()).arg(decimals);
    QString digits = whole + fraction.leftJustified(decimals, QLatin1Char('0'));
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.size() > kBcdDigits)
        return QStringLiteral("число \"%1\" не помещается в поле").arg(value.toString());
    digits = digits.rightJustified(kBcdDigits, QLatin1Char('0'));
    data[0] = char((negative ? 0x00 : 0x80) | 0x40 | decimals);
    for (int k = 0; k < kBcdDigits; ++k) {
        int digit = digits.at(k).unicode() - '0';
        if (negative)
            digit = 0x0F - digit;
        data[1 + k / 2] = char(k % 2 == 0 ? digit << 4 : (static_cast<unsigned char>(data[1 + k / 2]) | digit));
    }
    return {};
}

} // namespace

int fixedSize(ParadoxType type)
{
    switch (type) {
    case ParadoxType::Short:
        return 2;
    case ParadoxType::Long:
    case ParadoxType::AutoInc:
    case ParadoxType::Date:
        return 4;
    case ParadoxType::Number:
    case ParadoxType::Currency:
        return 8;
    case ParadoxType::Logical:
        return 1;
    case ParadoxType::Bcd:
        return 17;
    case ParadoxType::Alpha:
        return 0;
    }
    return 0;
}

bool isKnownType(int code)
{
    switch (code) {
    case int(ParadoxType::Alpha):
    case int(ParadoxType::Date):
    case int(ParadoxType::Short):
    case int(ParadoxType::Long):
    case int(ParadoxType::Currency):
    case int(ParadoxType::Number):
    case int(ParadoxType::Logical):
    case int(ParadoxType::AutoInc):
    case int(ParadoxType::Bcd):
        return true;
    default:
        return false;
    }
}

QVariant decodeField(ParadoxType type, const char *data, int size, int decimals)
{
    if (size <= 0 || allZero(data, size))
        return {};
    switch (type) {
    case ParadoxType::Alpha:
        return fromCp1251Field(data, size);
    case ParadoxType::Short:
    case ParadoxType::Long:
    case ParadoxType::AutoInc:
        if (size != fixedSize(type))
            return {};
        return int(decodeInteger(data, size));
    case ParadoxType::Date:
        if (size != 4)
            return {};
        return QDate::fromJulianDay(decodeInteger(data, size) + kDateEpoch);
    case ParadoxType::Logical:
        return static_cast<unsigned char>(data[0]) != 0x80;
    case ParadoxType::Number:
    case ParadoxType::Currency: {
        if (size != 8)
            return {};
        quint64 raw = readBigEndian(data, size);
        // Positive numbers carry the sign bit set, negative ones are stored inverted.
        raw = (raw & (quint64(1) << 63)) ? raw & ~(quint64(1) << 63) : ~raw;
        return std::bit_cast<double>(raw);
    }
    case ParadoxType::Bcd:
        if (size != 17 || decimals < 0 || decimals > kBcdMaxDecimals)
            return {};
        return decodeBcd(data, decimals);
    }
    return {};
}

QString encodeField(ParadoxType type, const QVariant &value, char *data, int size, int decimals)
{
    std::memset(data, 0, size_t(size));
    if (value.isNull())
        return {};
    switch (type) {
    case ParadoxType::Alpha: {
        const QString text = value.toString();
        const QByteArray bytes = toCp1251(text);
        if (fromCp1251(bytes) != text)
            return QStringLiteral("текст \"%1\" содержит знаки вне кодировки Windows-1251").arg(text);
        if (bytes.size() > size)
            return QStringLiteral("текст \"%1\" длиннее поля (%2 знаков)").arg(text).arg(size);
        std::memcpy(data, bytes.constData(), size_t(bytes.size()));
        return {};
    }
    case ParadoxType::Short:
    case ParadoxType::Long:
    case ParadoxType::AutoInc:
        if (size != fixedSize(type))
            return QStringLiteral("неверная ширина числового поля");
        return encodeInteger(value, data, size);
    case ParadoxType::Date: {
        const QDate date = value.toDate();
        if (!date.isValid() || date.year() < 1)
            return QStringLiteral("значение \"%1\" не является датой").arg(value.toString());
        writeBigEndian(quint64(date.toJulianDay() - kDateEpoch) ^ 0x80000000u, data, 4);
        return {};
    }
    case ParadoxType::Logical: {
        const int id = value.typeId();
        if (id != QMetaType::Bool && id != QMetaType::Int && id != QMetaType::LongLong)
            return QStringLiteral("значение \"%1\" не является логическим").arg(value.toString());
        data[0] = char(value.toBool() ? 0x81 : 0x80);
        return {};
    }
    case ParadoxType::Number:
    case ParadoxType::Currency: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            return QStringLiteral("значение \"%1\" не является числом").arg(value.toString());
        quint64 raw = std::bit_cast<quint64>(d);
        raw = (raw & (quint64(1) << 63)) ? ~raw : raw | (quint64(1) << 63);
        writeBigEndian(raw, data, 8);
        return {};
    }
    case ParadoxType::Bcd:
        if (size != 17 || decimals < 0 || decimals > kBcdMaxDecimals)
            return QStringLiteral("неверная ширина поля BCD");
        return encodeBcd(value, data, decimals);
    }
    return QStringLiteral("тип поля не поддерживается");
}

} // namespace talvir::px
