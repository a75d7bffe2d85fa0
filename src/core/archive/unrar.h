#pragma once

#include <QString>

#include <functional>

struct archive;
struct archive_entry;

// Reads RAR archives (RAR 4.x and 5.0) through libarchive, the way the catalogue needs it: a
// listing pass and an extraction into a folder, each calling FileDone once per entry, on the
// calling thread, before the call returns.
//
// Entries that could write outside the destination or make anything but plain files and folders
// (absolute names, "..", links, devices and other special files) are never written: the listing
// records the first of them as unsafeEntry(), and an extraction stops at it with an error. An
// extraction also checks the data of stored entries against the checksums in the archive's
// headers, which libarchive leaves unchecked.
class UnRar {
public:
    enum class Pass { Listing, Extracting };
    // Called after each entry, with the pass it is in and the entry's name.
    using EntryDone = std::function<void(Pass pass, const QString& entryName)>;

    // Makes the process's character type one in which libarchive can give every entry's name in
    // full (UTF-8). Call it once in main, after the application object has set the locale from
    // the environment and before any thread reads an archive.
    static void useUtf8Names();

    bool ListArchive(const QString& archivePath);
    bool ExtractArchive(const QString& archivePath, const QString& folder);

    // Stops the pass that is running, after the FileDone handler that calls it returns.
    void cancel() { cancelled = true; }

    EntryDone FileDone;

    // Why the last pass failed, in words for the user; empty after a pass that succeeded.
    QString errorString() const { return error; }
    // Why the first entry of the last listing that must not be extracted stops an unpacking,
    // in the words an extraction that meets it uses; empty when there is none.
    QString unsafeEntry() const { return unsafe; }

private:
    struct Reading; // one pass's archive, reader and writer

    bool run(const QString& archivePath, const QString& folder);
    bool openArchive(Reading& pass, const QString& archivePath);
    bool nextEntry(Reading& pass, archive_entry** entry);
    bool extractEntry(Reading& pass, archive_entry* entry, const QString& name);
    bool copyData(Reading& pass, archive_entry* entry, const QString& name);
    bool checkEntriesComplete(const Reading& pass);
    bool fail(const QString& why);
    QString libraryError(archive* a) const;

    QString error;
    QString unsafe;
    bool cancelled = false;
};
