#include "RecordFile.h"

#include "FaxEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RecordFile {
namespace {

[[noreturn]] void fail(const QString& what, const QString& path, int error) {
    throw SuiteError(
        QStringLiteral("%1 %2: %3")
            .arg(what, QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error)))
            .toStdString());
}

} // namespace

QString escapeField(const QString& field) {
    QString out;
    out.reserve(field.size());
    for (const QChar c : field) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QByteArray encodeRecord(const QStringList& fields) {
    QStringList escaped;
    escaped.reserve(fields.size());
    for (const QString& field : fields)
        escaped.append(escapeField(field));
    QByteArray line = escaped.join(QLatin1Char('\t')).toUtf8();
    line.append('\n');
    return line;
}

std::optional<QStringList> decodeRecord(const QByteArray& line) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(line);
    if (utf8.hasError())
        return std::nullopt;
    if (!text.contains(QLatin1Char('\\'))) { // nothing escaped: the usual line
        if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
            return std::nullopt;
        return text.split(QLatin1Char('\t'));
    }
    QStringList fields;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\t')) {
            fields.append(current);
            current.clear();
        } else if (c == QLatin1Char('\\')) {
            if (++i >= text.size())
                return std::nullopt;
            switch (text.at(i).unicode()) {
            case '\\':
                current += QLatin1Char('\\');
                break;
            case 't':
                current += QLatin1Char('\t');
                break;
            case 'n':
                current += QLatin1Char('\n');
                break;
            case 'r':
                current += QLatin1Char('\r');
                break;
            default:
                return std::nullopt;
            }
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            return std::nullopt;
        } else {
            current += c;
        }
    }
    fields.append(current);
    return fields;
}

LockedRecordFile::LockedRecordFile(const QString& path) : path_(path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    fd_ =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        fail(QStringLiteral("cannot open"), path, errno);
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const int error = errno;
            ::close(fd_);
            fd_ = -1;
            fail(QStringLiteral("cannot lock"), path, error);
        }
    }
}

LockedRecordFile::~LockedRecordFile() {
    if (fd_ >= 0)
        ::close(fd_); // closing releases the lock
}

void LockedRecordFile::append(const QStringList& fields) {
    const QByteArray line = encodeRecord(fields);
    struct stat before {};
    if (::fstat(fd_, &before) != 0)
        fail(QStringLiteral("cannot examine"), path_, errno);
    ssize_t written;
    do {
        written = ::write(fd_, line.constData(), static_cast<size_t>(line.size()));
    } while (written < 0 && errno == EINTR);
    if (written == line.size())
        return;
    const int error = written < 0 ? errno : ENOSPC;
    if (written > 0 && ::ftruncate(fd_, before.st_size) != 0)
        fail(QStringLiteral("cannot take back a short write to"), path_, errno);
    fail(QStringLiteral("cannot append to"), path_, error);
}

void appendRecord(const QString& path, const QStringList& fields) {
    LockedRecordFile(path).append(fields);
}

QList<QStringList> readRecords(const QString& path, int* skipped) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw SuiteError(QStringLiteral("cannot read %1: %2")
                             .arg(QDir::toNativeSeparators(path), file.errorString())
                             .toStdString());
    const QByteArray bytes = file.readAll();
    QList<QStringList> records;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            break; // a record still being written
        if (auto fields = decodeRecord(bytes.mid(start, end - start)))
            records.append(*fields);
        else if (skipped)
            ++*skipped;
        start = end + 1;
    }
    return records;
}

} // namespace RecordFile
