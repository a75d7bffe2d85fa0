#pragma once

#include <QDir>
#include <QString>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <unistd.h>
#endif

// Cases that only some systems can show. Each function says why this one cannot, or nothing when
// it can; a test skips with that reason: if (QString why = ...; !why.isEmpty()) QSKIP(...).
namespace SystemCases {

// Symbolic links to files and folders, made with QFile::link.
inline QString noLinks()
{
#ifdef Q_OS_WIN
    return QStringLiteral("tested on Linux only: Wine, where the Windows build is tested, makes "
                          "no symbolic links or junctions (QFile::link makes a shortcut)");
#else
    return {};
#endif
}

// A file or folder this user may not read, made with QFile::setPermissions.
inline QString noUnreadableFiles()
{
#ifdef Q_OS_WIN
    return QStringLiteral("tested on Linux only: Windows has no permission bits to take away");
#else
    if (::geteuid() == 0)
        return QStringLiteral("root reads every file; run as another user to see this case");
    return {};
#endif
}

// Pipes and devices among a folder's files.
inline QString noSpecialFiles()
{
#ifdef Q_OS_WIN
    return QStringLiteral("tested on Linux only: a Windows folder holds no pipes or devices");
#else
    return {};
#endif
}

// How many files this process holds open, where the system tells (Linux lists them in /proc); 0
// where it does not.
inline qsizetype openFileCount()
{
#ifdef Q_OS_LINUX
    // A QDir would keep its first listing.
    return QDir(QStringLiteral("/proc/self/fd")).count();
#else
    return 0;
#endif
}

// A limit on the files a process holds open, as Unix systems set.
inline QString noOpenFileLimit()
{
#ifdef Q_OS_UNIX
    return {};
#else
    return QStringLiteral("the limit on open files is a Unix one");
#endif
}

// What work() returns, done while the process may hold at most limit files open.
template <typename Work> auto withOpenFileLimit(qsizetype limit, Work work)
{
#ifdef Q_OS_UNIX
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    rlimit lowered = saved;
    lowered.rlim_cur = rlim_t(limit);
    ::setrlimit(RLIMIT_NOFILE, &lowered);
    auto result = work();
    ::setrlimit(RLIMIT_NOFILE, &saved);
    return result;
#else
    Q_UNUSED(limit);
    return work();
#endif
}

} // namespace SystemCases

// Skips the test, with the reason, when the system cannot show the case.
#define SKIP_UNLESS_SYSTEM_CAN(reason)                                                             \
    do {                                                                                           \
        const QString why = (reason);                                                              \
        if (!why.isEmpty())                                                                        \
            QSKIP(qPrintable(why));                                                                \
    } while (false)
