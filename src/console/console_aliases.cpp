#include "console_aliases.h"

#include "core/cp1251.h"
#include "core/data_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>

namespace talvir {
namespace {

// The installation writes its alias file with Windows tools: Windows-1251 unless it is UTF-8.
QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return fromCp1251(bytes);
}

struct DemoConsole {
    bool on = false;
    QString folder;
};

DemoConsole &demo()
{
    static DemoConsole d;
    return d;
}

} // namespace

void useDemoConsole(const QString &folder)
{
    demo() = DemoConsole{true, folder};
}

void noDemoConsole()
{
    demo() = DemoConsole{};
}

QString demoAliasFile()
{
    if (!demo().on)
        return {};
    QString folder = demo().folder;
    if (folder.isEmpty())
        folder = dataFolderOf(QStringLiteral("demo_console.ini"));
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("demo_console.ini"));
}

QString aliasFileInUse()
{
    for (const QString &file : aliasFilesLookedFor()) {
        if (QFileInfo(file).isFile())
            return file;
    }
    return {};
}

QStringList aliasFilesLookedFor()
{
    QStringList files{consoleAliasFile()};
    const QString demoFile = demoAliasFile();
    if (!demoFile.isEmpty())
        files.append(demoFile);
    return files;
}

QString consoleAliasFile()
{
    // Only the location is taken from QSettings. The file is parsed below, because QSettings reads
    // backslashes as escapes and would turn C:\Talvir\Data into something else.
    const QSettings settings(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Talvir"),
                             QStringLiteral("console"));
    return settings.fileName();
}

bool resolveAlias(const QString &alias, QString &folder, QString &error)
{
    folder.clear();
    error.clear();
    const QString fileName = aliasFileInUse();
    if (fileName.isEmpty()) {
        QStringList looked;
        for (const QString &f : aliasFilesLookedFor())
            looked.append(QDir::toNativeSeparators(f));
        error = QStringLiteral("Не найден файл псевдонимов пультового ПО: %1").arg(looked.join(QLatin1String(", ")));
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Не читается файл псевдонимов пультового ПО %1: %2")
                    .arg(QDir::toNativeSeparators(fileName), file.errorString());
        return false;
    }
    QString text = decodeText(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    bool inAliases = false;
    bool found = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inAliases = line.mid(1, line.size() - 2).trimmed().compare(QLatin1String("Aliases"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!inAliases || eq < 0 || line.left(eq).trimmed().compare(alias, Qt::CaseInsensitive) != 0)
            continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        folder = value;
        found = true;
        break; // the first line of an alias counts, as in an INI file read by Windows
    }
    if (!found) {
        error = QStringLiteral("Псевдоним \"%1\" не определён в файле %2").arg(alias, QDir::toNativeSeparators(fileName));
        return false;
    }
    if (folder.isEmpty()) {
        error = QStringLiteral("Псевдоним \"%1\" не указывает папку").arg(alias);
        return false;
    }
    if (QDir::isRelativePath(folder))
        folder = QDir::cleanPath(QFileInfo(fileName).absoluteDir().filePath(folder));
    if (!QFileInfo(folder).isDir()) {
        error = QStringLiteral("Папка псевдонима \"%1\" не найдена: %2").arg(alias, QDir::toNativeSeparators(folder));
        folder.clear();
        return false;
    }
    return true;
}

QString tablePath(const QString &folder, const QString &table)
{
    const QDir dir(folder);
    const QString exact = dir.filePath(table);
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(table, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return exact;
}

} // namespace talvir
