#include "store/TableLock.h"

#include "store/AdsError.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct TLockEntry {
    int fd = -1;
    int users = 0;
    bool exclusive = false;
};

std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<QString, TLockEntry>& Registry() {
    static std::map<QString, TLockEntry> registry;
    return registry;
}

constexpr int kTableInUse = 7041;

} // namespace

TTableLock::TTableLock(const QString& path, bool exclusive) {
    const QString key = QFileInfo(path).canonicalFilePath();
    if (key.isEmpty())
        throw EAdsError(QStringLiteral("Table %1 not found").arg(path), 7008);

    std::lock_guard guard(RegistryMutex());
    auto& registry = Registry();
    auto it = registry.find(key);
    if (it != registry.end()) {
        if (exclusive || it->second.exclusive)
            throw EAdsError(QStringLiteral("Table %1 is in use").arg(path), kTableInUse);
        ++it->second.users;
    } else {
        const int fd = ::open(key.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            throw EAdsError(QStringLiteral("Cannot open %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))),
                            7008);
        if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                throw EAdsError(QStringLiteral("Table %1 is in use by another program").arg(path), kTableInUse);
            throw EAdsError(QStringLiteral("Cannot lock %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error))),
                            kTableInUse);
        }
        registry.emplace(key, TLockEntry{fd, 1, exclusive});
    }
    key_ = key;
    exclusive_ = exclusive;
}

TTableLock::~TTableLock() {
    Release();
}

TTableLock::TTableLock(TTableLock&& other) noexcept : key_(std::move(other.key_)), exclusive_(other.exclusive_) {
    other.key_.clear();
}

TTableLock& TTableLock::operator=(TTableLock&& other) noexcept {
    if (this != &other) {
        Release();
        key_ = std::move(other.key_);
        exclusive_ = other.exclusive_;
        other.key_.clear();
    }
    return *this;
}

void TTableLock::Release() {
    if (key_.isEmpty())
        return;
    std::lock_guard guard(RegistryMutex());
    auto& registry = Registry();
    auto it = registry.find(key_);
    if (it != registry.end() && --it->second.users == 0) {
        ::close(it->second.fd);
        registry.erase(it);
    }
    key_.clear();
}
