#include "ReceptionLog.h"

#include "RecordFile.h"
#include "VbValue.h"

#include <QDir>
#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(lcReceptionLog, "kmbsuite.log")

namespace {

std::optional<int> integer16(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < -32768 || value > 32767)
        return std::nullopt;
    return value;
}

// Only the exact form the log is written in: "YYYY/MM/DD hh:mm:ss".
std::optional<qint64> sortKeyOf(const QString& time) {
    static constexpr char shape[] = "dddd/dd/dd dd:dd:dd";
    if (time.size() != int(sizeof(shape)) - 1)
        return std::nullopt;
    for (int i = 0; i < time.size(); ++i) {
        const bool digit = time.at(i) >= QLatin1Char('0') && time.at(i) <= QLatin1Char('9');
        if ((shape[i] == 'd') != digit || (!digit && time.at(i) != QLatin1Char(shape[i])))
            return std::nullopt;
    }
    const auto number = [&](int from, int length) { return time.mid(from, length).toInt(); };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    if (!QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second))
        return std::nullopt;
    return ((((qint64(year) * 100 + month) * 100 + day) * 100 + hour) * 100 + minute) * 100 +
           second;
}

QString nativeDocumentPath(const QString& logged, const QString& suiteDirectory) {
    const QString path =
        logged.startsWith(QLatin1Char('/')) ? logged : suiteDirectory + QLatin1Char('/') + logged;
    // Paths as the log writes them need no cleaning; only a hand-edited one might.
    const bool clean = !path.contains(QLatin1String("/.")) && !path.contains(QLatin1String("//"));
    return clean ? path : QDir::cleanPath(path);
}

} // namespace

namespace ReceptionRecord {

qint64 sortKey(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyyMMddHHmmss")).toLongLong();
}

QStringList fields(const QDateTime& time, int flags, int result, const QString& faxId,
                   const QString& document, const QString& suiteDirectory) {
    const QString absolute = QDir::cleanPath(QDir(suiteDirectory).absoluteFilePath(document));
    const QString relative = QDir(suiteDirectory).relativeFilePath(absolute);
    const bool inside =
        !relative.startsWith(QLatin1String("../")) && relative != QLatin1String("..");
    return {VbValue::formatDateTime(time), QString::number(flags), QString::number(result), faxId,
            inside ? relative : absolute};
}

std::optional<ReceptionEntry> parse(const QByteArray& line, const QString& suiteDirectory) {
    const auto fields = TabRecord::decodeRecord(line);
    if (!fields || fields->size() != 5)
        return std::nullopt;
    const auto key = sortKeyOf(fields->at(0));
    const auto flags = integer16(fields->at(1));
    const auto result = integer16(fields->at(2));
    if (!key || !flags || !result || fields->at(4).isEmpty())
        return std::nullopt;
    ReceptionEntry entry;
    entry.time = fields->at(0);
    entry.sortKey = *key;
    entry.flags = *flags;
    entry.result = *result;
    entry.faxId = fields->at(3);
    entry.document = nativeDocumentPath(fields->at(4), suiteDirectory);
    return entry;
}

} // namespace ReceptionRecord

ReceptionLog::ReceptionLog(const QString& logPath, const QString& suiteDirectory)
    : tail_(logPath), suiteDirectory_(suiteDirectory) {}

bool ReceptionLog::refresh() {
    LogTail::Update update = tail_.read();
    if (update.restarted) {
        entries_.clear();
        malformed_ = 0;
    }
    const size_t before = entries_.size();
    int skipped = 0;
    for (const QByteArray& line : update.lines) {
        if (auto entry = ReceptionRecord::parse(line, suiteDirectory_))
            entries_.push_back(std::move(*entry));
        else
            ++skipped;
    }
    keepTimeOrder(before);
    if (skipped > 0) {
        malformed_ += skipped;
        qCWarning(lcReceptionLog, "skipped %d line(s) of %s that are not receptions", skipped,
                  qPrintable(QDir::toNativeSeparators(path())));
    }
    return update.restarted || int(update.lines.size()) > skipped;
}

void ReceptionLog::keepTimeOrder(size_t firstNew) {
    const auto earlier = [](const ReceptionEntry& a, const ReceptionEntry& b) {
        return a.sortKey < b.sortKey;
    };
    const auto begin = entries_.begin();
    const auto middle = begin + qsizetype(firstNew);
    if (std::is_sorted(middle, entries_.end(), earlier) &&
        (middle == begin || middle == entries_.end() || !earlier(*middle, *(middle - 1))))
        return; // the usual case: appended in time order
    // Logged out of time order (a clock set back): keep the index order the time order.
    // Both steps are stable, so receptions of the same second keep their logged order.
    std::stable_sort(middle, entries_.end(), earlier);
    std::inplace_merge(begin, middle, entries_.end(), earlier);
}
