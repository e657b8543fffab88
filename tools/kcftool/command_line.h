// One subcommand's command line read with QCommandLineParser: its options ("--name VALUE",
// "--name=VALUE" or a flag, anywhere among the operands, the last of a repeated one counting), the
// common "--variant", and its operands; every fault thrown as UsageError in kcftool's own words.
#pragma once

#include "core/variant.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

namespace kcftool {

struct OptionSpec {
    QString name;      // without the dashes
    bool takesValue = true;
};

class CommandLine {
public:
    // The subcommand's options besides "--variant"; usage is its usage line for the messages.
    CommandLine(const QString &usage, const QList<OptionSpec> &options);

    // Reads args (the arguments after the subcommand's name). Throws UsageError for an unknown option,
    // an option without its value, or an unknown variant.
    void parse(const QStringList &args);

    const talvir::Variant &variant() const { return *variant_; }
    std::optional<QString> value(const QString &name) const; // nothing when not given or not an option here
    bool isSet(const QString &name) const { return parser_.isSet(name); }
    QStringList values(const QString &name) const { return parser_.values(name); } // in the order given
    bool takesValue(const QString &name) const; // an option of this command that takes a value
    QStringList operands() const { return parser_.positionalArguments(); }
    // The arguments as given, for a command whose operands and options alternate meaningfully.
    const QStringList &arguments() const { return arguments_; }
    // Throws UsageError ("usage: ...") unless exactly count operands were given.
    void expectOperands(int count) const;
    const QString &usage() const { return usage_; }

private:
    QString usage_;
    QList<OptionSpec> options_;
    QCommandLineParser parser_;
    QStringList arguments_;
    const talvir::Variant *variant_ = &talvir::Variant::mxr600r();
};

} // namespace kcftool
