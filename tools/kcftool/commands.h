// The subcommands of kcftool and what they share: exit codes, the usage error, output helpers.
#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>

namespace kcftool {

enum Exit {
    ExitOk = 0,
    ExitRefused = 1, // the program refused the configuration or could not read / write the file; a
                     // transfer failed, the transceiver did not answer, or the file does not fit it
    ExitUsage = 2,   // bad command line or malformed JSON
};

// Thrown for a bad command line or input the tool cannot take; main prints it and exits 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString &text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};

void printOut(const QByteArray &utf8);
void printErr(const QString &text); // one line on stderr

// Each returns its exit code; UsageError escapes to main.
int cmdEncode(QStringList args);
int cmdDump(QStringList args);
int cmdWrite(QStringList args);
int cmdRead(QStringList args);
int cmdConsole(QStringList args);
int cmdDiff(QStringList args);
int cmdPanels(QStringList args);
int cmdFleet(QStringList args);

} // namespace kcftool
