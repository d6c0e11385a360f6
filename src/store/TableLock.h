#pragma once
// The shared/exclusive guard of a table file: an advisory flock() on X.ADT,
// shared for shared opens and exclusive for exclusive ones, so that an
// exclusive open fails while another process has the table open.
//
// POSIX releases every fcntl() lock a process holds on a file as soon as any
// descriptor of that file is closed — and SQLite's own locks are fcntl()
// locks. So the lock descriptors live in one table per process: each file
// gets one descriptor, shared by every table object of this process that has
// the file open, and it is closed only when the last of them lets go (after
// their SQLite connections are closed). Opens within this process follow the
// same shared/exclusive rule through the reference counts.

#include <QString>

class TTableLock {
public:
    TTableLock() = default;
    // Takes the lock or throws EAdsError when the table is in use.
    TTableLock(const QString& path, bool exclusive);
    ~TTableLock();
    TTableLock(TTableLock&& other) noexcept;
    TTableLock& operator=(TTableLock&& other) noexcept;
    TTableLock(const TTableLock&) = delete;
    TTableLock& operator=(const TTableLock&) = delete;

    bool Held() const { return !key_.isEmpty(); }
    void Release();

private:
    QString key_;
    bool exclusive_ = false;
};
