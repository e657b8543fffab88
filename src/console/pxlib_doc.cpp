#include "pxlib_doc.h"

#include <QFile>

#include <cstdlib>

// pxlib's reading functions that PX_open_fp installs; exported, though its header does not declare them.
extern "C" {
size_t px_read(pxdoc_t *p, pxstream_t *stream, size_t numbytes, void *buffer);
int px_seek(pxdoc_t *p, pxstream_t *stream, long offset, int whence);
long px_tell(pxdoc_t *p, pxstream_t *stream);
}

namespace talvir::px {

FILE *openFile(const QString &path, const char *mode)
{
#ifdef _WIN32
    return _wfopen(reinterpret_cast<const wchar_t *>(path.utf16()),
                   reinterpret_cast<const wchar_t *>(QString::fromLatin1(mode).utf16()));
#else
    return std::fopen(QFile::encodeName(path).constData(), mode);
#endif
}

FILE *memoryStream(const QByteArray &bytes)
{
#ifdef _WIN32
    FILE *fp = std::tmpfile();
    if (fp && (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), fp) != size_t(bytes.size()) || std::fseek(fp, 0, SEEK_SET) != 0)) {
        std::fclose(fp);
        return nullptr;
    }
    return fp;
#else
    return fmemopen(const_cast<char *>(bytes.constData()), size_t(bytes.size()), "rb");
#endif
}

namespace {

// pxlib leaves parts of the header it allocates unset and writes them to the file as they are;
// zeroed memory keeps the files it writes free of stray bytes (and the same from build to build).
void *zeroedAlloc(pxdoc_t *, size_t size, const char *)
{
    return std::calloc(1, size);
}

void *plainRealloc(pxdoc_t *, void *mem, size_t size, const char *)
{
    return std::realloc(mem, size);
}

void plainFree(pxdoc_t *, void *mem)
{
    std::free(mem);
}

} // namespace

Doc::Doc()
{
    // PX_new3 is PX_new2 with a user pointer for the error handler.
    doc_ = PX_new3(&Doc::onError, &zeroedAlloc, &plainRealloc, &plainFree, this);
}

Doc::~Doc()
{
    finish();
}

void Doc::finish()
{
    if (!doc_)
        return;
    if (opened_)
        PX_close(doc_);
    PX_delete(doc_);
    doc_ = nullptr;
    opened_ = false;
}

void Doc::onError(pxdoc_t *, int, const char *msg, void *data)
{
    auto *self = static_cast<Doc *>(data);
    if (!self || !msg)
        return;
    if (!self->messages_.isEmpty())
        self->messages_ += QLatin1String("; ");
    // pxlib's messages are plain ASCII; anything else is shown as Latin-1 rather than lost.
    self->messages_ += QString::fromLatin1(msg).trimmed();
}

namespace {

size_t rawRead(pxdoc_t *, pxstream_t *stream, size_t size, void *buffer)
{
    return std::fread(buffer, 1, size, stream->s.fp);
}

int rawSeek(pxdoc_t *, pxstream_t *stream, long offset, int whence)
{
    return std::fseek(stream->s.fp, offset, whence);
}

long rawTell(pxdoc_t *, pxstream_t *stream)
{
    return std::ftell(stream->s.fp);
}

} // namespace

DecryptingReader::DecryptingReader(FILE *fp, unsigned long encryption, int headerSize, int maxTableSize, int fileVersion)
{
    // Just enough of an opened document for px_read: the key, where the blocks start, their size.
    head_.px_encryption = encryption;
    head_.px_headersize = headerSize;
    head_.px_maxtablesize = maxTableSize;
    head_.px_fileversion = fileVersion;
    stream_.type = pxfIOFile;
    stream_.mode = pxfFileRead;
    stream_.close = 0;
    stream_.s.fp = fp;
    stream_.read = &rawRead;
    stream_.seek = &rawSeek;
    stream_.tell = &rawTell;
    if (pxdoc_t *d = doc_.get()) {
        d->px_head = &head_;
        d->px_stream = &stream_;
        d->read = &px_read;
        d->seek = &px_seek;
        d->tell = &px_tell;
    }
}

DecryptingReader::~DecryptingReader()
{
    // The header and the stream are ours, not pxlib's to free.
    if (pxdoc_t *d = doc_.get()) {
        d->px_head = nullptr;
        d->px_stream = nullptr;
    }
}

bool DecryptingReader::read(quint64 offset, unsigned char *out, size_t size)
{
    pxdoc_t *d = doc_.get();
    return d && d->seek(d, &stream_, long(offset), SEEK_SET) == 0 && d->read(d, &stream_, size, out) == size;
}

} // namespace talvir::px
