// The programs the tests start as child processes (kcftool, transceiver-sim, mkparadox) run with the
// sanitizers' exit code set apart from the programs' own codes: both AddressSanitizer and
// UndefinedBehaviorSanitizer end a program with 1 by default, which is also the code of a refusal, so
// an abort in a sanitized child could pass for the refusal a test expects.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>

namespace testsupport {

constexpr int kSanitizerExitCode = 86;

// The environment of p (the test's own unless given) with exitcode=86 added to the options of both
// sanitizers, after any options already set.
inline void setSanitizerExitCode(QProcess &p, QProcessEnvironment env = QProcessEnvironment::systemEnvironment())
{
    for (const char *name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        const QString given = env.value(QLatin1String(name));
        env.insert(QLatin1String(name), given + (given.isEmpty() ? QString() : QStringLiteral(":"))
                             + QStringLiteral("exitcode=%1").arg(kSanitizerExitCode));
    }
    p.setProcessEnvironment(env);
}

} // namespace testsupport
