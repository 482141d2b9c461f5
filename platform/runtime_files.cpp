#include "platform/runtime_files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/runtime_dir.h"

namespace platform {

std::string escape_runtime_name(std::string_view name) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : name) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
    if (out.size() > MAX_ESCAPED_NAME) return "";
  }
  return out;
}

int open_runtime_dir() {
  std::string path = ensure_runtime_dir();
  if (path.empty()) return -1;
  path.pop_back();  // a trailing '/' would make O_NOFOLLOW follow a link
  int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & 077) != 0) {
    close(fd);
    return -1;
  }
  // A tight umask at creation can leave even the owner without write or
  // search access; the folder is ours and closed to others, so mend it.
  if ((st.st_mode & 0700) != 0700 && fchmod(fd, 0700) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

int open_private_file(int dir_fd, const std::string& file, bool create, PrivateOpen* why) {
  auto fail = [why](PrivateOpen reason) {
    if (why) *why = reason;
    return -1;
  };
  if (dir_fd < 0 || file.empty() || file.find('/') != std::string::npos) return fail(PrivateOpen::failed);
  int flags = O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  if (create) flags |= O_CREAT;
  int fd;
  do {
    fd = openat(dir_fd, file.c_str(), flags, 0600);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    if (errno == ENOENT) return fail(PrivateOpen::missing);
    // O_NOFOLLOW reports a link as ELOOP; a FIFO or socket in the way fails
    // the open in other ways, all of which mean "not ours to use".
    if (errno == ELOOP || errno == ENXIO || errno == EISDIR) return fail(PrivateOpen::refused);
    return fail(PrivateOpen::failed);
  }
  struct stat st;
  if (fstat(fd, &st) != 0) {
    close(fd);
    return fail(PrivateOpen::failed);
  }
  if (!S_ISREG(st.st_mode) || st.st_uid != getuid()) {
    close(fd);
    return fail(PrivateOpen::refused);
  }
  // The umask may have taken bits away on creation, or the file was widened
  // since: either way it ends up exactly 0600.
  if ((st.st_mode & 07777) != 0600 && fchmod(fd, 0600) != 0) {
    close(fd);
    return fail(PrivateOpen::failed);
  }
  // O_NONBLOCK only kept the open from hanging on a FIFO planted in the way.
  int fl = fcntl(fd, F_GETFL);
  if (fl >= 0) fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
  if (why) *why = PrivateOpen::opened;
  return fd;
}

}  // namespace platform
