#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QTemporaryFile>

#include <algorithm>

namespace Settings_Keys
{
QString Row_Key(Row_Value value, int row)
{
    static const char *const patterns[] = {"Nominal_Value_%1", "Actual_Value_%1",
                                           "Reading_Value_%1"};
    return QString::fromLatin1(patterns[static_cast<int>(value)]).arg(row);
}

double Default_Row_Value(int row)
{
    return 15.0 + 5.0 * row;
}
} // namespace Settings_Keys

namespace
{
QString Tr(const char *text)
{
    return QCoreApplication::translate("TSettingsStore", text);
}

// Writes a file of the given size in the folder, as a save would, and
// removes it again. Returns the system's own words for what stopped it (a
// full disk, a quota, a folder made immutable), or nothing.
QString Probe_Failure(const QString &folder, qint64 bytes)
{
    QTemporaryFile probe(folder + QStringLiteral("/Settings.XXXXXX"));
    // A settings file takes some kilobytes; the probe stays bounded whatever
    // a damaged one holds.
    constexpr qint64 largest_probe = 64 * 1024 * 1024;
    const QByteArray block(static_cast<int>(std::min(bytes, largest_probe)), '\n');
    if (!probe.open())
        return probe.errorString();
    // A disk that fills on the way takes part of a block without a word;
    // the rest, written again, meets the system's error.
    qint64 written = 0;
    while (written < block.size())
    {
        const qint64 now = probe.write(block.constData() + written, block.size() - written);
        if (now <= 0)
            return probe.errorString();
        written += now;
    }
    if (!probe.flush())
        return probe.errorString();
    return QString();
}

// What stops any file from being made in the folder, with the folder
// named. A small block is written as well: a full disk still lets an empty
// file be made.
QString Folder_Failure(const QString &folder)
{
    const QString failure = Probe_Failure(folder, 4096);
    if (failure.isEmpty())
        return QString();
    return Tr("the folder %1 cannot be written: %2").arg(QDir::toNativeSeparators(folder), failure);
}

// About what the file takes: each key and value on a line of its own.
qint64 Written_Size(const QSettings &store)
{
    qint64 size = 0;
    for (const QString &key : store.allKeys())
        size += key.toUtf8().size() + store.value(key).toString().toUtf8().size() + 2;
    return size;
}

QString Lock_Failure_Reason(QLockFile::LockError error, const QString &lock_name)
{
    const QString name = QDir::toNativeSeparators(lock_name);
    if (error == QLockFile::LockFailedError)
        return Tr("its lock file %1 is held by another program, or something else stands in "
                  "its place")
            .arg(name);
    // A lock that cannot be made is most often a folder that cannot be
    // written at all; that is the cause to name, not the lock.
    const QString folder_failure = Folder_Failure(QFileInfo(lock_name).absolutePath());
    if (!folder_failure.isEmpty())
        return folder_failure;
    if (error == QLockFile::PermissionError)
        return Tr("its lock file %1 cannot be made: permission denied").arg(name);
    return Tr("its lock file %1 cannot be used").arg(name);
}

// QSettings says only that the write failed; the system's reason is found
// by trying what it tried: opening the file, and writing a new one of the
// same size beside it (a disk with room for a small file may have none for
// this one).
QString Write_Failure_Reason(const QString &path, qint64 size)
{
    if (QFileInfo::exists(path))
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite))
            return file.errorString();
    }
    const QString folder = QFileInfo(path).absolutePath();
    const QString folder_failure = Folder_Failure(folder);
    if (!folder_failure.isEmpty())
        return folder_failure;
    // With a margin over the estimate: a probe that fitted where the file
    // did not would leave the reason unnamed.
    const QString size_failure = Probe_Failure(folder, size + size / 4 + 4096);
    if (!size_failure.isEmpty())
        return Tr("the file (about %1 KiB) does not fit in the folder %2: %3")
            .arg((size + 1023) / 1024)
            .arg(QDir::toNativeSeparators(folder), size_failure);
    return Tr("the file could not be written");
}
} // namespace

TSettingsStore::TSettingsStore()
{
    // The folder is made with the home folder itself if that does not exist
    // yet: otherwise the first close would write the file into the home
    // folder and the next start would look for it in the new folder.
    QDir folder = QDir::home();
    const QString folder_name = QStringLiteral(".zentrova");
    if (!folder.exists(folder_name))
        folder.mkpath(folder.absoluteFilePath(folder_name));
    // When the folder cannot be made, or a file stands in its way, the
    // settings live in the home folder itself.
    folder.cd(folder_name);
    d_file_name = folder.absolutePath() + QStringLiteral("/Settings.ini");
    if (Unusable_Reason().isEmpty())
        d_reader = std::make_unique<QSettings>(d_file_name, QSettings::IniFormat);
}

TSettingsStore::~TSettingsStore() = default;

QString TSettingsStore::File_Name() const
{
    return d_file_name;
}

bool TSettingsStore::Contains(const QString &key) const
{
    return d_reader && d_reader->contains(key);
}

QVariant TSettingsStore::Value(const QString &key, const QVariant &default_value) const
{
    return d_reader ? d_reader->value(key, default_value) : default_value;
}

QString TSettingsStore::Unusable_Reason() const
{
    const QFileInfo info(d_file_name);
    if (!info.exists() || info.isFile())
        return QString();
    if (info.isDir())
        return Tr("a folder stands where the file should be");
    return Tr("something that is not a regular file (a pipe or a device) stands where the file "
              "should be");
}

QString TSettingsStore::Write(const std::function<void(QSettings &)> &fill) const
{
    // QSettings reads the file again before it writes; a pipe in its place
    // would block the close for good.
    const QString unusable = Unusable_Reason();
    if (!unusable.isEmpty())
        return unusable;

    // QSettings waits for its lock file without end (a stale lock of another
    // user, a folder or a dangling link in its place), so the lock is tried
    // here first, for a bounded time, and nothing is written while it is
    // held: nothing is then left pending to hang a later write either.
    const QString lock_name = d_file_name + QStringLiteral(".lock");
    {
        QLockFile lock(lock_name);
        if (!lock.tryLock(Lock_Wait_Ms))
            return Lock_Failure_Reason(lock.error(), lock_name);
    }

    // Each attempt writes through a settings object of its own: status()
    // keeps the first error that an object met, reading included, so a
    // format error in the loaded file, or a failed earlier attempt, would
    // make a good write look failed.
    QSettings store(d_file_name, QSettings::IniFormat);
    fill(store);
    store.sync();
    if (store.status() != QSettings::AccessError)
        return QString();
    return Write_Failure_Reason(d_file_name, Written_Size(store));
}

QString Stored_Text(const TSettingsStore &store, const QString &key)
{
    const QVariant value = store.Value(key);
    if (value.type() == QVariant::StringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.isValid() ? value.toString() : QString();
}
