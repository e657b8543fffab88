// Thin ownership of a pxlib document and its C file: an error handler that collects pxlib's
// messages (its default one prints them to stdout), and the file opened by us, never by pxlib.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

extern "C" {
#include <paradox.h>
}

namespace talvir::px {

// fopen() with a path that may hold any characters (the console's folders are often Cyrillic).
FILE *openFile(const QString &path, const char *mode);
// A read-only stream over bytes that must outlive it (a nameless temporary file where the C
// library has no memory streams); nullptr on failure.
FILE *memoryStream(const QByteArray &bytes);

class Doc {
public:
    Doc();
    ~Doc();
    Doc(const Doc &) = delete;
    Doc &operator=(const Doc &) = delete;

    pxdoc_t *get() const { return doc_; }
    explicit operator bool() const { return doc_ != nullptr; }
    // pxlib's messages since creation, joined; empty if it said nothing.
    QString messages() const { return messages_; }
    // Marks that PX_open_fp / PX_create_fp succeeded, so finish() must PX_close first.
    void setOpened() { opened_ = true; }
    // Ends the document (PX_close, PX_delete); call it before the file is closed. Safe twice.
    void finish();
    // After a failed PX_open_fp: pxlib 0.6.8 has already freed parts of the document on its
    // failure path and PX_delete would free them again; the rest is left to leak instead.
    void abandon() { doc_ = nullptr; opened_ = false; }

private:
    static void onError(pxdoc_t *doc, int type, const char *msg, void *data);
    pxdoc_t *doc_ = nullptr;
    bool opened_ = false;
    QString messages_;
};

// Reads bytes of an encrypted table decrypted, through pxlib's own block reading, before the table
// is opened: PX_open_fp already follows the block chain, which must be checked first.
class DecryptingReader {
public:
    DecryptingReader(FILE *fp, unsigned long encryption, int headerSize, int maxTableSize, int fileVersion);
    ~DecryptingReader();
    DecryptingReader(const DecryptingReader &) = delete;
    DecryptingReader &operator=(const DecryptingReader &) = delete;
    bool read(quint64 offset, unsigned char *out, size_t size);

private:
    Doc doc_;
    pxhead_t head_{};
    pxstream_t stream_{};
};

} // namespace talvir::px
