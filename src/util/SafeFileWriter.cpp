#include "util/SafeFileWriter.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileWriteStatus StatusOfErrno(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileWriteStatus::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case ENOENT:   // the folder is gone
    case ENOTDIR:
    case EISDIR:   // the target is a folder
        return FileWriteStatus::AccessDenied;
    default:
        return FileWriteStatus::Failed;
    }
}

// Runs one step: the injected failure if there is one, else the call; -1 with errno on failure.
template <typename Call>
auto Step(IFileWriteFaults* faults, FileWriteStep step, Call call) -> decltype(call())
{
    if (faults) {
        if (const int injected = faults->Before(step)) {
            errno = injected;
            return -1;
        }
    }
    return call();
}

// The temporary file: removed unless the rename made it the target.
struct TemporaryFile {
    QByteArray path;
    int fd = -1;
    bool renamed = false;
    ~TemporaryFile()
    {
        if (fd >= 0)
            ::close(fd);
        if (!renamed && !path.isEmpty())
            ::unlink(path.constData());
    }
};

}  // namespace

FileWriteStatus WriteFileSafely(const QString& path, const QByteArray& bytes, IFileWriteFaults* faults)
{
    const QFileInfo target(path);
    const QByteArray targetPath = QFile::encodeName(target.absoluteFilePath());
    // A new file gets the usual mode (0666 less the umask); a replaced file keeps its own.
    mode_t mode = 0666;
    struct stat existing;
    const bool replacing = ::stat(targetPath.constData(), &existing) == 0;
    if (replacing)
        mode = existing.st_mode & 07777;

    TemporaryFile temp;
    QByteArray pattern = QFile::encodeName(target.absolutePath()) + "/~TX" + QFile::encodeName(target.fileName()) + ".XXXXXX";
    temp.fd = Step(faults, FileWriteStep::Open, [&] { return ::mkstemp(pattern.data()); });
    if (temp.fd < 0)
        return StatusOfErrno(errno);
    temp.path = pattern;
    if (replacing) {
        ::fchmod(temp.fd, mode);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(temp.fd, mode & ~mask);
    }

    for (qsizetype done = 0; done < bytes.size();) {
        const size_t chunk = size_t(std::min(kSafeWriteChunk, bytes.size() - done));
        const ssize_t n = Step(faults, FileWriteStep::Write, [&] { return ::write(temp.fd, bytes.constData() + done, chunk); });
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return StatusOfErrno(errno);
        }
        if (n == 0)
            return FileWriteStatus::DiskFull;  // the device takes nothing more
        done += n;
    }
    if (Step(faults, FileWriteStep::Sync, [&] { return ::fsync(temp.fd); }) != 0)
        return StatusOfErrno(errno);
    const int fd = temp.fd;
    temp.fd = -1;
    // A failed close may report a delayed write error (on network file systems, for instance).
    if (Step(faults, FileWriteStep::Close, [&] { return ::close(fd); }) != 0)
        return StatusOfErrno(errno);
    if (Step(faults, FileWriteStep::Rename, [&] { return ::rename(temp.path.constData(), targetPath.constData()); }) != 0)
        return StatusOfErrno(errno);
    temp.renamed = true;
    // The rename itself reaches the disk with the folder's entry; a failure here cannot undo it.
    const int dir = ::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return FileWriteStatus::Ok;
}
