#pragma once

#include <QString>

class QFile;

// A folder whose files are read one after another by name, the way the catalogue reads its title
// files: only regular files open, opening never blocks (a pipe or a device put in a file's place is
// refused at once instead of stalling the reader), and on Unix each file is opened relative to the
// open folder, with no path to look up again per file.
class ReadableFolder {
public:
    // A file of the folder, open for reading; closed when this goes.
    class File {
    public:
        File() = default;
        File(File&& other) noexcept;
        File& operator=(File&& other) noexcept;
        ~File();
        File(const File&) = delete;
        File& operator=(const File&) = delete;

        bool isOpen() const { return handle != -1; }
        // Why the file is not open, or why the last read failed; it reads after the file's
        // name: "cannot be opened: ...", "is not a regular file", "cannot be read: ...".
        QString error() const { return why; }
        qint64 sizeWhenOpened() const { return size; }
        // Reads up to length bytes: how many it read, 0 at the end of the file, -1 on a failure.
        qint64 read(char* data, qint64 length);
        // Gives the open file to a QFile, which closes it from then on; false when it cannot.
        bool handOver(QFile& file);

    private:
        friend class ReadableFolder;
        void close();

        qintptr handle = -1; // the system's descriptor or handle
        qint64 size = 0;
        QString why;
    };

    explicit ReadableFolder(const QString& path);
    ~ReadableFolder();
    ReadableFolder(const ReadableFolder&) = delete;
    ReadableFolder& operator=(const ReadableFolder&) = delete;

    File open(const QString& name) const;
    // A file by its whole path, outside any folder.
    static File openPath(const QString& path);

    // Asks the system to fetch the first bytes of an open file into its cache now, without
    // waiting for them, because they are read soon. A reader that asks this for several files
    // before reading the first keeps the disk busy with all of them. Only a hint.
    static void adviseWillRead(const File& file, qint64 bytes);
    // Whether adviseWillRead() has the disk fetch files ahead on this system; where it does not,
    // more readers at once keep the disk busy instead.
    static bool readsAhead();

private:
    // Opens name in the open folder, or a whole path when folder is -1.
    static File openIn(qintptr folder, const QString& name);

    QString path;
    qintptr folder = -1; // the open folder, where the system reads files relative to one
};
