#include "command_line.h"

#include "commands.h"

#include <QRegularExpression>

#include <algorithm>

namespace kcftool {

CommandLine::CommandLine(const QString &usage, const QList<OptionSpec> &options)
    : usage_(usage), options_(options)
{
    options_.prepend({QStringLiteral("variant"), true});
    // "-name" is "--name", never a cluster of one-letter options (kcftool has none).
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionSpec &o : std::as_const(options_))
        parser_.addOption(QCommandLineOption(o.name, QString(), o.takesValue ? QStringLiteral("value") : QString()));
}

void CommandLine::parse(const QStringList &args)
{
    arguments_ = args;
    // QCommandLineParser takes the first argument for the program's name.
    if (!parser_.parse(QStringList{QStringLiteral("kcftool")} + args)) {
        const QStringList unknown = parser_.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString given = args.value(args.indexOf(QRegularExpression(QStringLiteral("^-+%1(=.*)?$")
                                                                                 .arg(QRegularExpression::escape(unknown.first())))),
                                              QStringLiteral("--") + unknown.first());
            throw UsageError(QStringLiteral("unknown option '%1'\nusage: %2").arg(given.section(QLatin1Char('='), 0, 0), usage_));
        }
        // Otherwise a value option given last, without its value, or a flag given one.
        const QString last = args.isEmpty() ? QString() : args.last();
        if (last == QLatin1String("--variant"))
            throw UsageError(QStringLiteral("--variant needs a value: 600r or duziv"));
        for (const OptionSpec &o : std::as_const(options_)) {
            if (o.takesValue && last == QStringLiteral("--") + o.name)
                throw UsageError(QStringLiteral("%1 needs a value\nusage: %2").arg(last, usage_));
        }
        throw UsageError(QStringLiteral("%1\nusage: %2").arg(parser_.errorText(), usage_));
    }
    if (parser_.isSet(QStringLiteral("variant"))) {
        const QString name = parser_.value(QStringLiteral("variant"));
        variant_ = talvir::Variant::byName(name);
        if (!variant_)
            throw UsageError(QStringLiteral("unknown variant '%1': use 600r or duziv").arg(name));
    }
}

std::optional<QString> CommandLine::value(const QString &name) const
{
    const bool declared = std::any_of(options_.cbegin(), options_.cend(), [&](const OptionSpec &o) { return o.name == name; });
    if (!declared || !parser_.isSet(name))
        return std::nullopt;
    return parser_.value(name);
}

bool CommandLine::takesValue(const QString &name) const
{
    return std::any_of(options_.cbegin(), options_.cend(), [&](const OptionSpec &o) { return o.takesValue && o.name == name; });
}

void CommandLine::expectOperands(int count) const
{
    if (operands().size() != count)
        throw UsageError(QStringLiteral("usage: %1").arg(usage_));
}

} // namespace kcftool
