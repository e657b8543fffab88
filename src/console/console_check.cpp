#include "console_check.h"

#include "console_aliases.h"

#include <QDir>

namespace talvir {
namespace {

struct AliasTables {
    const char *alias;
    const char *tables[2];
};
constexpr AliasTables kConsoleTables[] = {
    {"TraficDB", {"ObjList.db", "TrnObj.db"}},
    {"EditDB", {"CentralList.db", "CentralType.db"}},
};

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

bool ConsoleCheck::ok() const
{
    if (aliasFileInUse.isEmpty())
        return false;
    for (const ConsoleAliasCheck &a : aliases) {
        if (!a.error.isEmpty())
            return false;
    }
    for (const ConsoleTableCheck &t : tables) {
        if (!t.readable)
            return false;
    }
    return true;
}

ConsoleCheck checkConsole()
{
    ConsoleCheck check;
    check.aliasFilesLookedFor = aliasFilesLookedFor();
    check.aliasFileInUse = aliasFileInUse();
    for (const AliasTables &group : kConsoleTables) {
        ConsoleAliasCheck a;
        a.alias = QString::fromLatin1(group.alias);
        resolveAlias(a.alias, a.folder, a.error);
        check.aliases.append(a);
        for (const char *name : group.tables) {
            ConsoleTableCheck t;
            t.alias = a.alias;
            t.table = QString::fromLatin1(name);
            if (a.folder.isEmpty()) {
                t.error = a.error;
            } else {
                t.path = tablePath(a.folder, t.table);
                ParadoxTable table;
                t.readable = readParadoxTable(t.path, table, t.error);
                t.records = int(table.rows.size());
                t.fields = table.fields;
            }
            check.tables.append(t);
        }
    }
    return check;
}

QString consoleFailureCause(const ConsoleCheck &check)
{
    QString cause;
    if (check.aliasFileInUse.isEmpty())
        cause = QStringLiteral("Не найден файл псевдонимов пультового ПО.");
    for (const ConsoleAliasCheck &a : check.aliases) {
        if (!cause.isEmpty())
            break;
        if (!a.error.isEmpty()) {
            cause = QStringLiteral("Псевдоним \"%1\" не открывается: %2").arg(a.alias, a.error);
            break;
        }
    }
    if (cause.isEmpty()) {
        for (const ConsoleTableCheck &t : check.tables) {
            if (!t.readable) {
                cause = QStringLiteral("Таблица %1 (псевдоним \"%2\") не открывается: %3").arg(t.table, t.alias, t.error);
                break;
            }
        }
    }
    if (cause.isEmpty())
        return {};
    QStringList looked;
    for (const QString &f : check.aliasFilesLookedFor)
        looked.append(native(f));
    const QString where = check.aliasFileInUse.isEmpty()
        ? QStringLiteral("Файл псевдонимов искали здесь: %1.").arg(looked.join(QLatin1String(", ")))
        : QStringLiteral("Файл псевдонимов: %1.").arg(native(check.aliasFileInUse));
    return cause + QLatin1Char('\n') + where;
}

QString consoleFailureCause()
{
    return consoleFailureCause(checkConsole());
}

UserMessage consoleNotRunning(const QString &title, MessageIcon icon, MessageButtons buttons,
                              const QString &fallbackCause)
{
    const QString cause = consoleFailureCause();
    return {title, QStringLiteral("Приложение \"Zavevo duravezad\" не выполняется!\n\n") + (cause.isEmpty() ? fallbackCause : cause),
            icon, buttons, MessageAnswer::None, true};
}

} // namespace talvir
