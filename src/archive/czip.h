#pragma once

#include "platform/ziplibrary.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>

// cZip: builds a zip archive from a list of file patterns with a set of options.
// The options live in the library's option record, laid out as the library reads it:
// two of them are kept inverted there (StoreDirectories and StoreFolderNames) and
// RecurseSubDirs is written as 2.
//
// The events are raised during Zip and Delete, on the calling thread; their handlers
// answer through the reference arguments, so connect them directly.
class cZip : public QObject
{
    Q_OBJECT
public:
    enum MessageLevel : int32_t { Verbose = 0, Quiet = 1, Normal = 2 };

    explicit cZip(QObject *parent = nullptr);

    QString zipFile() const { return m_zipFile; }
    void setZipFile(const QString &path) { m_zipFile = path; }
    // The folder the stored names are relative to, and relative patterns too.
    QString basePath() const { return m_basePath; }
    void setBasePath(const QString &path) { m_basePath = path; }

    bool encrypt() const { return m_options.encrypt != 0; }
    void setEncrypt(bool on) { m_options.encrypt = on ? 1 : 0; }
    bool addComment() const { return m_options.comment != 0; }
    void setAddComment(bool on) { m_options.comment = on ? 1 : 0; }
    // Hidden files are those whose name starts with "."; a file named outright is
    // always taken, this governs what folders and wildcards bring in.
    bool includeSystemAndHiddenFiles() const { return m_options.systemAndHidden != 0; }
    void setIncludeSystemAndHiddenFiles(bool on) { m_options.systemAndHidden = on ? 1 : 0; }
    // Volumes have no label here; the option is kept and changes nothing.
    bool storeVolumeLabel() const { return m_options.volumeLabel != 0; }
    void setStoreVolumeLabel(bool on) { m_options.volumeLabel = on ? 1 : 0; }
    bool storeDirectories() const { return m_options.noDirectoryEntries == 0; }
    void setStoreDirectories(bool on) { m_options.noDirectoryEntries = on ? 0 : 1; }
    bool storeFolderNames() const { return m_options.junkFolderNames == 0; }
    void setStoreFolderNames(bool on) { m_options.junkFolderNames = on ? 0 : 1; }
    bool recurseSubDirs() const { return m_options.recurse != 0; }
    void setRecurseSubDirs(bool on) { m_options.recurse = on ? 2 : 0; }
    bool updateOnlyIfNewer() const { return m_options.updateIfNewer != 0; }
    void setUpdateOnlyIfNewer(bool on) { m_options.updateIfNewer = on ? 1 : 0; }
    bool freshenFiles() const { return m_options.freshen != 0; }
    void setFreshenFiles(bool on) { m_options.freshen = on ? 1 : 0; }
    // 0 verbose, 1 quiet, 2 normal; any other value changes nothing.
    int32_t messageLevel() const;
    void setMessageLevel(int32_t level);
    bool convertCRLFToLF() const { return m_options.crlfToLf != 0; }
    void setConvertCRLFToLF(bool on) { m_options.crlfToLf = on ? 1 : 0; }
    bool convertLFToCRLF() const { return m_options.lfToCrlf != 0; }
    void setConvertLFToCRLF(bool on) { m_options.lfToCrlf = on ? 1 : 0; }
    bool allowAppend() const { return m_options.append != 0; }
    void setAllowAppend(bool on) { m_options.append = on ? 1 : 0; }
    // Deflate level 1 (fastest) to 9 (smallest); 0 is the library's default, 6.
    int compressionLevel() const { return m_options.level; }
    void setCompressionLevel(int level) { m_options.level = static_cast<uint8_t>(std::clamp(level, 0, 9)); }

    void clearFileSpecs() { m_patterns.clear(); }
    // A file, a folder or a wildcard pattern ("*.txt"); for Delete, entry names or
    // patterns. The list has no upper bound.
    void addFileSpec(const QString &pattern) { m_patterns.append(pattern); }
    int32_t fileSpecCount() const { return static_cast<int32_t>(m_patterns.size()); }
    // Pattern number index, counted from 1; empty outside the list.
    QString fileSpec(int index) const { return m_patterns.value(index - 1); }

    // Makes the archive (or adds to it, freshens or updates it, as the options say).
    void zip();
    // Deletes the entries the patterns name from the archive.
    void deleteEntries();
    // True when the last Zip or Delete worked; true for a new object.
    bool success() const { return m_result == 0; }
    // The library's result code of the last Zip or Delete (0 success).
    int32_t resultCode() const { return m_result; }

    const ZipLibrary::Options &options() const { return m_options; }

signals:
    // Before each entry, with its name: set cancel to stop the whole archive.
    void cancel(const QString &message, bool &cancelled);
    // The password to encrypt with (at most maxLength bytes); asked twice, the second
    // time with confirm set.
    void passwordRequest(QString &password, int maxLength, bool confirm, bool &cancelled);
    // The archive comment (at most 255 bytes); an empty one cancels.
    void commentRequest(QString &comment, bool &cancelled);
    // A text about the work under way ("adding: a/b.txt"); count is always 1.
    void progress(int count, const QString &message);

private:
    QString m_zipFile;
    QString m_basePath;
    ZipLibrary::Options m_options;
    QStringList m_patterns;
    int32_t m_result = 0;
};
