// The fuzzer's bytes read as a script of events, for the harnesses that drive a state machine: each
// read takes the next byte, and reads past the end give zeros so every input is a whole script.
#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace talvir {

class FuzzScript {
public:
    FuzzScript(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

    bool atEnd() const { return at_ >= size_; }
    unsigned char byte() { return at_ < size_ ? data_[at_++] : 0; }
    // The next n bytes, fewer at the end of the input.
    QByteArray bytes(std::size_t n)
    {
        const std::size_t take = n < size_ - at_ ? n : size_ - at_;
        const QByteArray b(reinterpret_cast<const char *>(data_ + at_), qsizetype(take));
        at_ += take;
        return b;
    }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

} // namespace talvir
