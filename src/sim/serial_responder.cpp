#include "serial_responder.h"

#include "link/frames.h"

#include <cstring>

namespace talvir {

namespace {

Frame toFrame(const char *p)
{
    Frame f;
    std::memcpy(f.data(), p, 6);
    return f;
}

bool goodFrameAt(const QByteArray &buf, qsizetype off)
{
    const auto cmd = static_cast<unsigned char>(buf.at(off));
    if (cmd != kWriteCommand && cmd != kIdentCommand)
        return false;
    return frameCrcValid(toFrame(buf.constData() + off));
}

QString hexByte(int b) { return QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0')); }
QString hexWord(int w) { return QString::number(w, 16).toUpper().rightJustified(4, QLatin1Char('0')); }

} // namespace

void SerialResponder::reset()
{
    buffer_.clear();
}

QList<SerialEvent> SerialResponder::feed(const QByteArray &bytes)
{
    QList<SerialEvent> events;
    buffer_.append(bytes);
    qsizetype pos = 0;
    while (buffer_.size() - pos >= 6) {
        if (!goodFrameAt(buffer_, pos)) {
            qsizetype next = -1;
            // Only a frame that overlaps the head makes the head noise; a good frame further on leaves
            // the head a bad frame of its own, answered below.
            for (qsizetype k = pos + 1; k < pos + 6 && k + 6 <= buffer_.size(); ++k) {
                if (goodFrameAt(buffer_, k)) {
                    next = k;
                    break;
                }
            }
            if (next > 0) {
                SerialEvent skipped;
                skipped.kind = SerialEvent::Kind::Garbage;
                skipped.bytes = buffer_.mid(pos, next - pos);
                skipped.meaning = QStringLiteral("line noise skipped (%1 bytes)").arg(next - pos);
                counters_.garbageBytes += int(next - pos);
                events.append(skipped);
                pos = next;
                continue;
            }
        }
        SerialEvent e = judge(buffer_.mid(pos, 6));
        pos += 6;
        events.append(e);
    }
    buffer_.remove(0, pos);
    return events;
}

SerialEvent SerialResponder::judge(const QByteArray &bytes)
{
    SerialEvent e;
    e.bytes = bytes;
    e.number = ++counters_.framesReceived;
    const Frame f = toFrame(bytes.constData());
    if (f[0] != kWriteCommand && f[0] != kIdentCommand) {
        e.kind = frameCrcValid(f) ? SerialEvent::Kind::UnknownCommand : SerialEvent::Kind::BadCrc;
    } else if (!frameCrcValid(f)) {
        e.kind = SerialEvent::Kind::BadCrc;
    } else if (f[0] == kIdentCommand) {
        e.kind = SerialEvent::Kind::Ident;
        ++counters_.identFrames;
        e.stray = counters_.identFrames == settings_.strayAfterIdent;
    } else if (frameAddress(f) >= memory_.size()) {
        e.kind = SerialEvent::Kind::OutOfRange;
    } else {
        e.kind = SerialEvent::Kind::Write;
        ++counters_.writeFrames;
    }
    answer(e);
    return e;
}

void SerialResponder::answer(SerialEvent &e)
{
    const Frame f = toFrame(e.bytes.constData());
    const int address = frameAddress(f);
    const QString what = [&] {
        switch (e.kind) {
        case SerialEvent::Kind::Ident: return QStringLiteral("ident");
        case SerialEvent::Kind::Write:
            return QStringLiteral("write 0x%1=%2").arg(hexWord(address), hexByte(frameData(f)));
        case SerialEvent::Kind::BadCrc: return QStringLiteral("bad CRC");
        case SerialEvent::Kind::UnknownCommand: return QStringLiteral("unknown command 0x%1").arg(hexByte(f[0]));
        case SerialEvent::Kind::OutOfRange:
            return QStringLiteral("address 0x%1 outside the memory").arg(hexWord(address));
        case SerialEvent::Kind::Garbage: break;
        }
        return QString();
    }();

    auto storeIt = [&] {
        if (address != settings_.dropStoredByte)
            memory_.store(address, frameData(f));
        e.stored = true;
        e.lastAddress = address == memory_.size() - 1;
        ++counters_.bytesStored;
    };

    if (settings_.silentAfter >= 0 && e.number > settings_.silentAfter) {
        e.meaning = what + QStringLiteral(", silent (fault)");
        ++counters_.framesUnanswered;
        return;
    }
    if (settings_.replyBytes.contains(e.number)) {
        // The injected byte replaces the answer; only an injected 0x01 lets a good write frame store.
        e.reply = settings_.replyBytes.value(e.number);
        if (e.reply == kReplyAck && e.kind == SerialEvent::Kind::Write)
            storeIt();
        e.meaning = what + QStringLiteral(", answered %1 (fault)").arg(hexByte(e.reply));
    } else if (e.kind == SerialEvent::Kind::Ident) {
        e.reply = kReplyAck;
        e.meaning = what;
    } else if (e.kind == SerialEvent::Kind::Write) {
        if (nakOwed_) {
            nakOwed_ = false;
            e.reply = kReplyAck;
            storeIt();
            e.meaning = what + (e.bytes == nakedFrame_ ? QStringLiteral(" (repeat accepted)")
                                                       : QStringLiteral(" (NOT the frame NAKed before)"));
        } else if (settings_.nakEvery > 0 && ++nakCount_ % settings_.nakEvery == 0) {
            nakOwed_ = true;
            nakedFrame_ = e.bytes;
            e.reply = kReplyNak;
            e.meaning = what + QStringLiteral(", NAK (fault)");
        } else {
            e.reply = kReplyAck;
            storeIt();
            e.meaning = what;
        }
    } else {
        e.reply = kReplyNak;
        e.meaning = QStringLiteral("NAK (%1)").arg(what);
    }

    if (e.reply == kReplyAck)
        ++counters_.acksSent;
    else if (e.reply == kReplyNak)
        ++counters_.naksSent;
    else
        ++counters_.otherRepliesSent;
}

} // namespace talvir
