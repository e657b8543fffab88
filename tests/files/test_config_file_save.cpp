// Saving a configuration file: the exact bytes, replacement of an existing file, and failures that
// must leave an existing file byte for byte as it was (disk full, no access).
#include "files/config_file.h"
#include "link/frames.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace talvir;

namespace {
SendList framesOf(int count, unsigned char data)
{
    SendList list;
    for (int a = 0; a < count; ++a)
        list.queueWriteFrame(std::uint16_t(a), data);
    return list;
}

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}
} // namespace

class TestConfigFileSave : public QObject {
    Q_OBJECT
private slots:
    void bytesOfAFile()
    {
        const QByteArray f = configFileBytes(framesOf(2, 0));
        QCOMPARE(f.size(), 24);
        QCOMPARE(f.left(6), QByteArray("TransP"));
        QCOMPARE(f.mid(6, 6), QByteArray::fromHex("A55AC33C9669"));
        QCOMPARE(f.mid(12, 6), QByteArray::fromHex("3B00000032F6"));
        QCOMPARE(f.mid(18, 4), QByteArray::fromHex("3B010000"));
    }

    void replacesAnExistingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("12345.kcf");
        put(path, QByteArray(500000, 'x'));
        QCOMPARE(saveConfigFile(path, framesOf(28622, 7)), QString());
        const QByteArray written = contentOf(path);
        QCOMPARE(written.size(), 171744);
        QCOMPARE(written, configFileBytes(framesOf(28622, 7)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"12345.kcf"}); // no temporary left
    }

    void diskFullLeavesTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("old.kcf");
        const QByteArray old = configFileBytes(framesOf(100, 0x42));
        put(path, old);

        // A child process with a file-size limit stands for a full disk: its writes fail with EFBIG.
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit = {4096, 4096};
            setrlimit(RLIMIT_FSIZE, &limit);
            const QString error = saveConfigFile(path, framesOf(28622, 0x11));
            const bool mentionsTheFile = error.contains(QStringLiteral("old.kcf"));
            _exit(error.isEmpty() ? 10 : (mentionsTheFile ? 0 : 11));
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0); // the save reported a failure naming the file
        QCOMPARE(contentOf(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.kcf"});
    }

    void unwritableFolder()
    {
        if (geteuid() == 0)
            QSKIP("root writes into a read-only folder");
        QTemporaryDir dir;
        const QString path = dir.filePath("old.kcf");
        put(path, "old");
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const QString error = saveConfigFile(path, framesOf(10, 0));
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(!error.isEmpty());
        QCOMPARE(contentOf(path), QByteArray("old"));
    }

    void missingFolder()
    {
        QTemporaryDir dir;
        const QString error = saveConfigFile(dir.filePath("no/such/folder/a.kcf"), framesOf(10, 0));
        QVERIFY(!error.isEmpty());
        QVERIFY(error.contains("a.kcf"));
        QVERIFY(!QFile::exists(dir.filePath("no")));
    }

    void targetIsAFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("x.kcf"));
        QVERIFY(!saveConfigFile(dir.filePath("x.kcf"), framesOf(10, 0)).isEmpty());
        QVERIFY(QFileInfo(dir.filePath("x.kcf")).isDir());
    }
};

QTEST_GUILESS_MAIN(TestConfigFileSave)
#include "test_config_file_save.moc"
