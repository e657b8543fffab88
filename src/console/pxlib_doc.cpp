#include "pxlib_doc.h"

#include <QFile>

#include <cstdlib>

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

} // namespace talvir::px
