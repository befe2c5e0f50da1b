#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QTemporaryFile>

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

// The system's own words for what stops a file from being made in the
// folder (a full disk, a folder made immutable), with the folder named. A
// small block is written as well: a full disk still lets an empty file be made.
QString Folder_Failure(const QString &folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/Settings.XXXXXX"));
    const QByteArray block(4096, '\n');
    if (probe.open() && probe.write(block) == block.size() && probe.flush())
        return QString();
    return Tr("the folder %1 cannot be written: %2")
        .arg(QDir::toNativeSeparators(folder), probe.errorString());
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
// by trying what it tried.
QString Write_Failure_Reason(const QString &path)
{
    if (QFileInfo::exists(path))
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite))
            return file.errorString();
    }
    const QString folder_failure = Folder_Failure(QFileInfo(path).absolutePath());
    return folder_failure.isEmpty() ? Tr("the file could not be written") : folder_failure;
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
    return Write_Failure_Reason(d_file_name);
}
