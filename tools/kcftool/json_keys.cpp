#include "json_keys.h"

#include <QSet>

#include <string_view>

namespace kcftool {

namespace {

bool oneOf(char c, std::string_view set)
{
    return set.find(c) != std::string_view::npos;
}

// A walk over a document QJsonDocument has accepted: only the structure and the keys matter, every
// scalar is stepped over.
class KeyWalk {
public:
    explicit KeyWalk(const QByteArray &json) : s_(json) {}

    std::optional<QString> value(const QString &path)
    {
        space();
        if (i_ >= s_.size())
            return std::nullopt;
        if (s_[i_] == '{')
            return object(path);
        if (s_[i_] == '[')
            return array(path);
        if (s_[i_] == '"')
            string();
        else
            while (i_ < s_.size() && !oneOf(s_[i_], ",]} \t\r\n"))
                ++i_;
        return std::nullopt;
    }

private:
    std::optional<QString> object(const QString &path)
    {
        ++i_; // '{'
        QSet<QString> seen;
        for (space(); i_ < s_.size() && s_[i_] != '}'; space()) {
            if (s_[i_] == ',') {
                ++i_;
                continue;
            }
            const QString key = string();
            const QString keyPath = path.isEmpty() ? key : path + QLatin1Char('.') + key;
            if (seen.contains(key))
                return keyPath;
            seen.insert(key);
            space();
            ++i_; // ':'
            if (auto repeated = value(keyPath))
                return repeated;
        }
        ++i_;
        return std::nullopt;
    }

    std::optional<QString> array(const QString &path)
    {
        ++i_; // '['
        int index = 0;
        for (space(); i_ < s_.size() && s_[i_] != ']'; space()) {
            if (s_[i_] == ',') {
                ++i_;
                continue;
            }
            if (auto repeated = value(QStringLiteral("%1[%2]").arg(path).arg(index++)))
                return repeated;
        }
        ++i_;
        return std::nullopt;
    }

    // The string at i_ decoded (escapes included, so "a" and "\u0061" are one key); i_ past its end.
    QString string()
    {
        QString out;
        QByteArray run;
        ++i_; // opening quote
        while (i_ < s_.size() && s_[i_] != '"') {
            if (s_[i_] != '\\') {
                run.append(s_[i_++]);
                continue;
            }
            out += QString::fromUtf8(run);
            run.clear();
            const char e = i_ + 1 < s_.size() ? s_[i_ + 1] : '\\';
            i_ += 2;
            switch (e) {
            case 'b': out += QLatin1Char('\b'); break;
            case 'f': out += QLatin1Char('\f'); break;
            case 'n': out += QLatin1Char('\n'); break;
            case 'r': out += QLatin1Char('\r'); break;
            case 't': out += QLatin1Char('\t'); break;
            case 'u':
                out += QChar(char16_t(s_.mid(i_, 4).toUShort(nullptr, 16)));
                i_ += 4;
                break;
            default: out += QLatin1Char(e); // '"', '\\', '/'
            }
        }
        out += QString::fromUtf8(run);
        ++i_; // closing quote
        return out;
    }

    void space()
    {
        while (i_ < s_.size() && oneOf(s_[i_], " \t\r\n"))
            ++i_;
    }

    const QByteArray &s_;
    qsizetype i_ = 0;
};

} // namespace

std::optional<QString> firstRepeatedKey(const QByteArray &json)
{
    return KeyWalk(json).value(QString());
}

} // namespace kcftool
