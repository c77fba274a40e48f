#ifndef PLATFORM_REGULARFILE_H
#define PLATFORM_REGULARFILE_H

#include <cstddef>
#include <cstdio>
#include <string>

// Files read by name: only a regular file is opened, and never waited on.
// A pipe, socket or device under a picture's, script's or module's name would
// otherwise make the reader wait (or read) for ever.

// Opens `path` for reading without waiting. What stands there is looked at
// first, and anything but a regular file is refused by its type without being
// opened (some devices act on an open); the open itself does not wait
// (O_NONBLOCK) and is checked again (fstat), and the descriptor is made
// blocking again once it is known to be a regular file. -1 otherwise, with
// errno set (ENOENT, EACCES…; EISDIR for a folder, ENODEV for a pipe, socket
// or device) and, when `what` is given, what stands there ("a folder", "a
// pipe", "a socket", "a device") or the system's reason. Without
// `followLinks`, a link under the name is refused too (ELOOP, "a link").
int openRegularFile(const char* path, std::string* what = nullptr, bool followLinks = true);

// Reads from `fd` until `size` bytes are in `data` or the file ends, again
// after an interrupted read; false (errno) when a read fails. `got` says how
// many bytes came.
bool readFully(int fd, void* data, std::size_t size, std::size_t& got);

// Writes all `size` bytes of `data` to `fd`, again after an interrupted or
// short write; false (errno: the failed write's own, EIO when one wrote
// nothing) otherwise.
bool writeFully(int fd, const void* data, std::size_t size);

// Reads what is left of an open file, at most `limit` bytes in all, into
// `text`. False with errno set otherwise (EFBIG for a larger file) and the
// reason in `what` ("file too large" for a larger file).
bool readOpenFile(int fd, std::string& text, std::size_t limit, std::string* what = nullptr);

// The same with the open's own `flags` (O_RDONLY, or O_WRONLY or O_RDWR with
// O_CREAT, O_APPEND… for a writer): a file made is given mode 0644; with
// O_NOFOLLOW a link is refused by its type, a dangling one too, so that
// nothing is made where it points.
int openRegularFileWith(const char* path, int flags, std::string* what = nullptr);

// The same as a stream, mode "rb" or "r".
std::FILE* fopenRegularFile(const char* path, const char* mode = "rb", std::string* what = nullptr);

// Reads a whole regular file of at most `limit` bytes into `text`. False with
// the reason in `what` ("file too large" for a bigger file) otherwise.
bool readRegularFile(const char* path, std::string& text, std::size_t limit, std::string* what = nullptr);

// For files written by name: null when nothing stands at `path` or a regular
// file does (through links), otherwise what stands there ("a folder", "a
// pipe", "a socket", "a device"), which a writer must leave alone.
const char* nonRegularFileAt(const char* path);

// "a folder", "a pipe", "a socket", "a device" or "a link" for what is not a
// regular file, from a stat mode; "a file" for a regular one.
const char* describeFileType(unsigned int mode);

#endif
