// bench_window: full writes of a full configuration through the main window's own write command
// (offscreen, production timings), over a pseudo-terminal and over loopback UDP, to transceiver-sim
// running as its own process. Each write is set against the protocol's floor:
//  - USB: the simulator's answering alone, measured with a bare blocking client that sends the same
//    frames one by one and waits for each answer;
//  - LAN: N/5 + 1 round trips of "AT+CONFIG"/"OK", timed with a bare UDP client.
//
//   bench_window [--variant 600r|duziv] [--sim PATH]
#include "link/lan_channel.h"
#include "link/lan_datagrams.h"
#include "link/serial_channel.h"
#include "link/transceiver_link.h"
#include "link/serial_write.h"

#include "bench_support.h"

#include "console/paradox_writer.h"
#include "core/ip_text.h"
#include "core/prompts.h"
#include "ui/main_window.h"
#include "ui/window_parts.h"
#include "ui/object_list_dialog.h"
#include "ui/reserve_server_dialog.h"
#include "image/config_writer.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>

using namespace bench;

namespace {

// Answers every box with its first button and records it; picks the given port and address.
class BenchPrompts : public PromptService {
public:
    QString port;
    QString address;
    QString savePath;
    QStringList messages;

    using PromptService::message;
    MessageAnswer message(const UserMessage &r) override
    {
        messages << r.title + QStringLiteral(": ") + r.text;
        return r.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    std::optional<QString> inputBox(const QString &, const QString &, const QString &) override { return address; }
    std::optional<QString> openFile(const FileRequest &) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileRequest &) override { return savePath; }
    std::optional<QString> pickSerialPort(const QString &) override { return port; }
};

TransceiverConfig fullConfig(const Variant &v)
{
    TransceiverConfig c = guitest::validConfig(v);
    for (int k = 0; k < 80; ++k)
        c.reserveIps[std::size_t(k)] = *ipFromText(QStringLiteral("10.0.%1.%2").arg(k / 10).arg(k % 10 + 1));
    for (int n = 1; n <= v.maxPanels; ++n) {
        PanelRecord r;
        r.obj = QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
        r.account = QStringLiteral("%1").arg(1000 + n, 4, 10, QLatin1Char('0'));
        r.typeId = 400;
        r.phone1 = QStringLiteral("8900%1").arg(n, 7, 10, QLatin1Char('0'));
        r.testWait = 10;
        r.protocolCode = 128;
        c.panels.append(r);
    }
    return c;
}

// One frame out, one answer byte back, on a raw blocking line; -1 when nothing came in 2 s.
int askFrame(int fd, const Frame &f)
{
    if (::write(fd, f.data(), f.size()) != ssize_t(f.size()))
        return -1;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 2000) != 1)
        return -1;
    unsigned char b = 0;
    return ::read(fd, &b, 1) == 1 ? b : -1;
}

// The simulator's answering alone: the frames of the list sent by a bare client, each awaited.
// Returns the wall time of the frames, or a negative value on failure.
double rawSerialFloor(const QString &device, const SendList &frames)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(device), strerror(errno));
        return -1;
    }
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    cfsetspeed(&t, B115200);
    tcsetattr(fd, TCSANOW, &t);
    // Answers to the window's last keep-alive frames may still be in the line.
    ::usleep(300000);
    tcflush(fd, TCIOFLUSH);
    if (askFrame(fd, identificationFrame()) != 0x01) {
        std::fprintf(stderr, "the simulator did not answer the identification frame\n");
        ::close(fd);
        return -1;
    }
    const double t0 = nowSeconds(CLOCK_MONOTONIC);
    for (int i = 0; i < frames.size(); ++i) {
        int r = askFrame(fd, frames.at(i));
        for (int retry = 0; r == 0x15 && retry < 5; ++retry)
            r = askFrame(fd, frames.at(i));
        if (r != 0x01) {
            std::fprintf(stderr, "frame %d answered %d\n", i, r);
            ::close(fd);
            return -1;
        }
    }
    const double wall = nowSeconds(CLOCK_MONOTONIC) - t0;
    ::close(fd);
    return wall;
}

// count single "AT+CONFIG"/"OK" round trips in a row; their total wall time, negative on failure.
double rawLanFloor(const QHostAddress &sim, quint16 port, int count)
{
    QUdpSocket probe;
    if (!probe.bind(QHostAddress(QHostAddress::LocalHost), 0))
        return -1;
    char buf[64];
    const double t0 = nowSeconds(CLOCK_MONOTONIC);
    for (int i = 0; i < count; ++i) {
        probe.writeDatagram(QByteArrayLiteral("AT+CONFIG"), sim, port);
        bool ok = false;
        while (!ok && probe.waitForReadyRead(1000)) {
            while (probe.hasPendingDatagrams())
                ok = probe.readDatagram(buf, sizeof buf) == 2 || ok;
        }
        if (!ok)
            return -1;
    }
    return nowSeconds(CLOCK_MONOTONIC) - t0;
}

bool lastMessageIs(const BenchPrompts &p, const QString &text)
{
    if (!p.messages.isEmpty() && p.messages.constLast() == text)
        return true;
    std::fprintf(stderr, "expected \"%s\", the boxes were:\n  %s\n", qPrintable(text),
                 qPrintable(p.messages.join(QStringLiteral("\n  "))));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchArgs opts{QCoreApplication::applicationDirPath() + QStringLiteral("/transceiver-sim")};
    if (!parseBenchArgs(app.arguments(), opts))
        return 2;
    const QString &program = opts.program;
    const Variant &v = *opts.variant;

    QTemporaryDir dir;
    QString error;
    if (!dir.isValid()
        || !writeParadoxTable(dir.path() + QStringLiteral("/CentralType.db"),
                              {{QStringLiteral("TypeId"), ParadoxType::Long, 4},
                               {QStringLiteral("NameCentral"), ParadoxType::Alpha, 40}},
                              {QVariantList{400, QStringLiteral("Type 400")}}, error)) {
        std::fprintf(stderr, "cannot write the type table: %s\n", qPrintable(error));
        return 1;
    }
    const QString link = dir.path() + QStringLiteral("/ttyBench0");
    const QString memoryFile = dir.path() + QStringLiteral("/memory.bin");
    SimProcess sim;
    if (!sim.start(program, {QStringLiteral("--variant"), v.shortName, QStringLiteral("--serial-pty"), link,
                             QStringLiteral("--udp"), QStringLiteral("127.0.0.2"), QStringLiteral("--udp-port"),
                             QStringLiteral("0"), QStringLiteral("--no-status"), QStringLiteral("--save-image"),
                             memoryFile}))
        return 1;

    BenchPrompts prompts;
    prompts.port = link;
    prompts.address = sim.udpAddress;
    LinkParts setup;
    setup.lanLocalAddress = QHostAddress(QHostAddress::LocalHost);
    setup.lanLocalPort = 0;
    setup.lanRemotePort = sim.udpPort;
    MainWindow form(v, prompts, dir.path(), Timing(), setup);
    form.setStartupChooser([] { return 2; });
    form.show();
    QCoreApplication::processEvents();
    guitest::showConfig(form, fullConfig(v));

    bool writeDone = false;
    QObject::connect(&guitest::linkOf(form), &TransceiverLink::finished,
                     [&](const TransferResult &) { writeDone = true; });
    const QString doneText = QStringLiteral("Конфигурирование трансивера: Запись конфигурации трансивера № 12345 выполнена");
    const int frames = v.imageSize();
    const int blocks = v.objectBlocks() + 1;
    std::printf("variant %s: %d frames over USB; %d object blocks + 1 settings block over LAN\n",
                qPrintable(v.programName), frames, v.objectBlocks());

    // ---- The part every write shares: checks, image and send list (saved to a file here) ----
    prompts.savePath = dir.filePath(QStringLiteral("12345.kcf"));
    std::vector<double> preps;
    for (int run = 0; run < 5; ++run) {
        Stopwatch prep;
        prep.start();
        form.saveFile();
        prep.stop();
        preps.push_back(prep.wall);
    }

    // ---- USB ----
    form.chooseUsb();
    if (!pumpUntil([&] { return guitest::linkOf(form).serialChannel().isLinkUp(); }, 5000)) {
        std::fprintf(stderr, "the serial link did not come up\n");
        return 1;
    }
    Stopwatch usb;
    usb.start();
    prompts.messages.clear();
    form.writeConfiguration();
    // The end's box comes once the link's own handler has returned.
    if (!pumpUntil([&] { return writeDone && !prompts.messages.isEmpty(); }, 600000) || !lastMessageIs(prompts, doneText))
        return 1;
    usb.stop();
    const QByteArray image(reinterpret_cast<const char *>(guitest::workspaceOf(form).image().data()), guitest::workspaceOf(form).image().size());
    // What the transceiver stored must be what the window built.
    if (!pumpUntil([&] { return readFile(memoryFile) == image; }, 5000)) {
        std::fprintf(stderr, "the simulator's memory differs from the window's image after the USB write\n");
        return 1;
    }
    QFile::remove(memoryFile);

    // ---- LAN (choosing it closes the window's serial port, which the bare client takes next) ----
    form.chooseLan();
    if (!guitest::linkOf(form).lanChannel().isConnected()) {
        std::fprintf(stderr, "the LAN connect failed\n");
        return 1;
    }
    SendList list;
    ConfigImage copy(v);
    std::memcpy(copy.data(), image.constData(), std::size_t(image.size()));
    buildSendList(copy, list);
    const double usbFloor = rawSerialFloor(sim.serialDevice, list);
    if (usbFloor <= 0)
        return 1;

    writeDone = false;
    Stopwatch lan;
    lan.start();
    form.writeConfiguration(); // returns when the LAN write has ended
    lan.stop();
    if (!writeDone || !lastMessageIs(prompts, doneText))
        return 1;
    if (!pumpUntil([&] { return readFile(memoryFile) == image; }, 5000)) {
        std::fprintf(stderr, "the simulator's memory differs from the window's image after the LAN write\n");
        return 1;
    }
    const double lanFloor = rawLanFloor(QHostAddress(sim.udpAddress), sim.udpPort, blocks);
    if (lanFloor <= 0)
        return 1;

    std::printf("checks, image, send list and the saved file: %.1f ms (median of 5)\n", 1e3 * median(preps));
    std::printf("USB  window write:  %7.3f s  %8.0f frames/s  CPU %.1f us/frame (user %.2f s, system %.2f s)\n",
                usb.wall, frames / usb.wall, 1e6 * usb.cpu / frames, usb.user, usb.system);
    std::printf("USB  bare client:   %7.3f s  %8.0f frames/s  (the simulator's answering alone)\n", usbFloor,
                frames / usbFloor);
    std::printf("USB  ratio window / floor: %.2f\n", usb.wall / usbFloor);
    std::printf("LAN  window write:  %7.4f s  %8.0f blocks/s  CPU %.2f ms\n", lan.wall, blocks / lan.wall,
                1e3 * lan.cpu);
    std::printf("LAN  floor, %d AT+CONFIG/OK round trips: %7.4f s\n", blocks, lanFloor);
    std::printf("LAN  ratio window / floor: %.2f\n", lan.wall / lanFloor);
    return 0;
}
