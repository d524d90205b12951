#include "platform/base/SafeCreate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <utility>

namespace afx_file {

namespace {

std::function<unsigned()>& TempNameSource() {
    static std::function<unsigned()> source;
    return source;
}

unsigned NextTempValue(std::mt19937& rng) {
    if (const auto& source = TempNameSource()) return source();
    return static_cast<unsigned>(rng());
}

}  // namespace

AccessLimit AccessOf(const std::string& dataPath) {
    struct stat st {};
    if (dataPath.empty() || ::stat(dataPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return OwnerOnly();
    AccessLimit limit;
    limit.mode = st.st_mode & 0777;
    limit.gid = st.st_gid;
    limit.checkGroup = true;
    return limit;
}

AccessLimit OwnerOnly() {
    return AccessLimit{};
}

void ApplyAccess(int fd, const AccessLimit& limit, bool exact) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return;
    const mode_t now = st.st_mode & 07777;
    mode_t mode = exact ? limit.mode : now & limit.mode;
    if (limit.checkGroup && (mode & 0070) != 0 && st.st_gid != limit.gid &&
        ::fchown(fd, static_cast<uid_t>(-1), limit.gid) != 0)
        mode &= ~static_cast<mode_t>(0070);
    if (mode != now) ::fchmod(fd, mode);
}

int CreateNew(const std::string& path, const AccessLimit& limit) {
    // O_EXCL alone already refuses a link at the name, dangling or not; O_NOFOLLOW says so.
    const int fd =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, limit.mode & 0666);
    if (fd >= 0) ApplyAccess(fd, limit);
    return fd;
}

int CreateTempBeside(const std::string& target, const AccessLimit& limit, std::string& rTempPath) {
    std::random_device seed;
    std::mt19937 rng(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char tail[16];
        std::snprintf(tail, sizeof tail, ".%08x.tmp", NextTempValue(rng));
        rTempPath = target + tail;
        const int fd = CreateNew(rTempPath, limit);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

std::function<unsigned()> SetTempNameSource(std::function<unsigned()> source) {
    return std::exchange(TempNameSource(), std::move(source));
}

}  // namespace afx_file
