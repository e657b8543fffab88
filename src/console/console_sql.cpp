#include "console_sql.h"

namespace talvir {
namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Index just past the quoted text that starts at i (sql[i] is ' or "); a doubled quote is part of it.
qsizetype skipQuoted(const QString &sql, qsizetype i)
{
    const QChar q = sql.at(i);
    for (++i; i < sql.size(); ++i) {
        if (sql.at(i) == q) {
            if (i + 1 < sql.size() && sql.at(i + 1) == q)
                ++i;
            else
                return i + 1;
        }
    }
    return sql.size();
}

// Index of the ')' that closes the '(' at open, or -1.
qsizetype closingParen(const QString &sql, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < sql.size();) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            i = skipQuoted(sql, i);
            continue;
        }
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && --depth == 0)
            return i;
        ++i;
    }
    return -1;
}

// Index of the keyword as a whole word at nesting depth 0 of text, outside quotes; -1 if absent.
qsizetype findKeyword(const QString &text, QLatin1String keyword, qsizetype from = 0)
{
    int depth = 0;
    for (qsizetype i = from; i < text.size();) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            i = skipQuoted(text, i);
            continue;
        }
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        else if (depth == 0 && (i == 0 || !isWordChar(text.at(i - 1)))
                 && QStringView(text).mid(i).startsWith(keyword, Qt::CaseInsensitive)
                 && (i + keyword.size() >= text.size() || !isWordChar(text.at(i + keyword.size()))))
            return i;
        ++i;
    }
    return -1;
}

} // namespace

QString toSqliteSql(const QString &sql)
{
    static const QLatin1String kSubstring("substring");
    QString out;
    out.reserve(sql.size());
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = skipQuoted(sql, i);
            out += QStringView(sql).mid(i, end - i);
            i = end;
            continue;
        }
        const bool wordStart = i == 0 || !isWordChar(sql.at(i - 1));
        if (wordStart && QStringView(sql).mid(i).startsWith(kSubstring, Qt::CaseInsensitive)) {
            qsizetype open = i + kSubstring.size();
            while (open < sql.size() && sql.at(open).isSpace())
                ++open;
            const qsizetype close = open < sql.size() && sql.at(open) == QLatin1Char('(') ? closingParen(sql, open) : -1;
            if (close > open) {
                const QString inner = sql.mid(open + 1, close - open - 1);
                const qsizetype fromAt = findKeyword(inner, QLatin1String("from"));
                if (fromAt >= 0) {
                    const qsizetype forAt = findKeyword(inner, QLatin1String("for"), fromAt + 4);
                    const QString value = inner.left(fromAt).trimmed();
                    const QString start = (forAt >= 0 ? inner.mid(fromAt + 4, forAt - fromAt - 4)
                                                      : inner.mid(fromAt + 4)).trimmed();
                    out += QLatin1String("substr(") + toSqliteSql(value) + QLatin1String(", ") + toSqliteSql(start);
                    if (forAt >= 0)
                        out += QLatin1String(", ") + toSqliteSql(inner.mid(forAt + 3).trimmed());
                    out += QLatin1Char(')');
                    i = close + 1;
                    continue;
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

QStringList tablesNamed(const QString &sql)
{
    QStringList names;
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql.at(i);
        if (c != QLatin1Char('\'') && c != QLatin1Char('"')) {
            ++i;
            continue;
        }
        const qsizetype end = skipQuoted(sql, i);
        if (c == QLatin1Char('"') && end - i >= 2) {
            const QString name = sql.mid(i + 1, end - i - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
            if (name.endsWith(QLatin1String(".db"), Qt::CaseInsensitive)
                && !names.contains(name, Qt::CaseInsensitive))
                names.append(name);
        }
        i = end;
    }
    return names;
}

QStringList parametersNamed(const QString &sql)
{
    QStringList names;
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            i = skipQuoted(sql, i);
            continue;
        }
        if (c == QLatin1Char(':') && (i == 0 || sql.at(i - 1) != QLatin1Char(':'))) {
            qsizetype end = i + 1;
            while (end < sql.size() && isWordChar(sql.at(end)))
                ++end;
            if (end > i + 1) {
                const QString name = sql.mid(i + 1, end - i - 1);
                if (!names.contains(name))
                    names.append(name);
            }
            i = end;
            continue;
        }
        ++i;
    }
    return names;
}

} // namespace talvir
