#include "fleet_job.h"

#include "link_session.h"
#include "read_image_file.h"

#include "link/link_texts.h"
#include "link/serial_port_access.h"

using namespace talvir;

namespace kcftool {

namespace {

// Bytes that differ between what was written and what was read back, settings bytes 94-96 aside (the
// transceiver keeps its own there).
int differingBytes(const QByteArray &written, const QByteArray &back, const Variant &variant)
{
    if (written.size() != back.size())
        return int(std::max(written.size(), back.size()));
    const int keptFrom = variant.settingsBase() + 94;
    int n = 0;
    for (qsizetype i = 0; i < written.size(); ++i) {
        if (written[i] != back[i] && (i < keptFrom || i > keptFrom + 2))
            ++n;
    }
    return n;
}

} // namespace

QString resultName(FleetOutcome::Result result)
{
    switch (result) {
    case FleetOutcome::Result::Pending: return QStringLiteral("pending");
    case FleetOutcome::Result::Ok: return QStringLiteral("ok");
    case FleetOutcome::Result::Failed: return QStringLiteral("failed");
    case FleetOutcome::Result::Abandoned: return QStringLiteral("abandoned");
    }
    return {};
}

FleetJob::FleetJob(const FleetTarget &target, const Variant &variant, const LinkParts &parts, QObject *parent)
    : QObject(parent), target_(target), variant_(variant), parts_(parts)
{
    usbAnswer_.setSingleShot(true);
    connect(&usbAnswer_, &QTimer::timeout, this, [this] {
        if (!transferStarted_)
            end(FleetOutcome::Result::Failed, linktext::noAnswer().text);
    });
    if (target_.config)
        outcome_.factoryNumber = QString::number(target_.config->factoryNumber);
}

FleetJob::~FleetJob()
{
    if (link_)
        link_->shutDown();
}

void FleetJob::start()
{
    started_ = true;
    clock_.start();
    if (target_.action == FleetTarget::Action::Read)
        connectLan(target_.address, Phase::Read);
    else if (!target_.port.isEmpty())
        connectUsb();
    else
        connectLan(target_.address, Phase::Write);
}

void FleetJob::abandon()
{
    if (outcome_.result != FleetOutcome::Result::Pending)
        return;
    if (link_)
        link_->shutDown(); // a running transfer reports itself abandoned at once
    if (outcome_.result == FleetOutcome::Result::Pending)
        end(FleetOutcome::Result::Abandoned,
            started_ ? QStringLiteral("interrupted before the transfer started") : QStringLiteral("not started"));
}

void FleetJob::newLink()
{
    if (link_)
        link_->shutDown();
    link_ = std::make_unique<TransceiverLink>(variant_, timing_, parts_);
    transferStarted_ = false;
    connect(link_.get(), &TransceiverLink::stateChanged, this, &FleetJob::onLinkState);
    connect(link_.get(), &TransceiverLink::finished, this, &FleetJob::onTransferFinished);
    connect(link_.get(), &TransceiverLink::progressChanged, this, [this](int p) {
        // The gauge of the whole job: a write that is verified is the first half of it.
        percent_ = target_.action != FleetTarget::Action::WriteVerify ? p : phase_ == Phase::Write ? p / 2 : 50 + p / 2;
        emit progressed();
    });
}

void FleetJob::connectLan(const QString &address, Phase phase)
{
    phase_ = phase;
    lanAddress_ = address;
    newLink();
    if (!link_->chooseLan(address))
        end(FleetOutcome::Result::Failed, link_->lastError());
}

void FleetJob::connectUsb()
{
    phase_ = Phase::Write;
    newLink();
    connect(link_.get(), &TransceiverLink::typeRejected, this,
            [this] { end(FleetOutcome::Result::Failed, linktext::typeRejected().text); });
    connect(link_.get(), &TransceiverLink::storeFailed, this, [this] {
        if (!transferStarted_)
            end(FleetOutcome::Result::Failed, linktext::storeFailed().text);
    });
    connect(link_.get(), &TransceiverLink::portLost, this,
            [this](const QString &reason) { end(FleetOutcome::Result::Failed, target_.port + QStringLiteral(": ") + reason); });
    if (!link_->chooseUsb(target_.port)) {
        end(FleetOutcome::Result::Failed, explainSerialPortFailure(target_.port, link_->lastError()));
        return;
    }
    usbAnswer_.start(LinkSession::kUsbAnswerMs);
}

void FleetJob::onLinkState(TransceiverLink::State state)
{
    if (transferStarted_ || outcome_.result != FleetOutcome::Result::Pending)
        return;
    if (state == TransceiverLink::State::Down && link_->channel() == TransceiverLink::Channel::Lan) {
        end(FleetOutcome::Result::Failed, linktext::noLanLinkStatus(lanAddress_));
        return;
    }
    const bool up = state == TransceiverLink::State::UsbUp || state == TransceiverLink::State::LanUp;
    if (!up)
        return;
    transferStarted_ = phase_ == Phase::Write ? link_->write(target_.config->frames, target_.config->image)
                                              : link_->read();
    if (transferStarted_)
        usbAnswer_.stop();
    else
        end(FleetOutcome::Result::Failed, QStringLiteral("the transfer could not start"));
}

void FleetJob::onTransferFinished(const TransferResult &result)
{
    if (outcome_.result != FleetOutcome::Result::Pending)
        return;
    if (result.outcome == TransferOutcome::Abandoned) {
        end(FleetOutcome::Result::Abandoned, QStringLiteral("interrupted: the transfer was abandoned"));
        return;
    }
    const QString text = linktext::transferMessage(result, outcome_.factoryNumber).text;
    if (!result.succeeded()) {
        end(FleetOutcome::Result::Failed, text);
        return;
    }
    switch (phase_) {
    case Phase::Write:
        if (target_.action == FleetTarget::Action::WriteVerify) {
            outcome_.message = text;
            // The link settles after this signal; the read-back connects anew, as `write --verify` does.
            QTimer::singleShot(0, this, [this] { startReadBack(); });
        } else {
            end(FleetOutcome::Result::Ok, text);
        }
        return;
    case Phase::ReadBack: compareReadBack(result.image); return;
    case Phase::Read: saveRead(result); return;
    }
}

void FleetJob::startReadBack()
{
    if (outcome_.result == FleetOutcome::Result::Pending)
        connectLan(target_.verifyAddress, Phase::ReadBack);
}

void FleetJob::compareReadBack(const QByteArray &image)
{
    const QString written = outcome_.message;
    outcome_.differingBytes = differingBytes(target_.config->image, image, variant_);
    if (outcome_.differingBytes == 0)
        end(FleetOutcome::Result::Ok, written);
    else
        end(FleetOutcome::Result::Failed,
            QStringLiteral("verify: the transceiver holds something other than what was written (%1 bytes differ)")
                .arg(outcome_.differingBytes));
}

void FleetJob::saveRead(const TransferResult &result)
{
    outcome_.factoryNumber = QString::number(result.factoryNumber);
    QString path = target_.file;
    path.replace(QStringLiteral("{serial}"), outcome_.factoryNumber);
    const QString error = saveReadImage(result.image, variant_, path);
    if (error.isEmpty())
        end(FleetOutcome::Result::Ok, linktext::transferMessage(result, QString()).text);
    else
        end(FleetOutcome::Result::Failed, error);
}

void FleetJob::end(FleetOutcome::Result result, const QString &message)
{
    if (outcome_.result != FleetOutcome::Result::Pending)
        return;
    outcome_.result = result;
    outcome_.message = message;
    outcome_.seconds = elapsed();
    usbAnswer_.stop();
    if (result == FleetOutcome::Result::Ok)
        percent_ = 100;
    // The link is closed once the current signal has returned: its port, its address on the endpoint.
    QTimer::singleShot(0, this, [this] {
        if (link_)
            link_->shutDown();
    });
    emit finished();
}

} // namespace kcftool
