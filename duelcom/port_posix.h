// The system calls of the POSIX serial port (port_posix.cpp), every one reached
// through one table so that a test can make any of them fail. Internal to the
// library: nothing here is exported.
#pragma once

#include <poll.h>
#include <pthread.h>
#include <sys/types.h>
#include <termios.h>

#include <cstddef>

namespace duelcom {

struct SystemCalls {
  int (*Open)(const char* path, int flags);
  int (*Flock)(int fd, int operation);
  int (*Fcntl)(int fd, int command, int argument);
  int (*Ioctl)(int fd, unsigned long request, void* argument);
  int (*Tcgetattr)(int fd, termios* settings);
  int (*Tcsetattr)(int fd, int when, const termios* settings);
  int (*Pipe)(int fds[2], int flags);
  // As pthread_create with default attributes: returns 0 or the error number.
  int (*CreateThread)(pthread_t* thread, void* (*start)(void*), void* argument);
  ssize_t (*Write)(int fd, const void* data, std::size_t size);
  ssize_t (*Read)(int fd, void* data, std::size_t size);
  int (*Poll)(pollfd* fds, nfds_t count, int timeoutMs);
  int (*Tcflush)(int fd, int queue);
  int (*Close)(int fd);
};

// The table the port calls through; it starts with the real calls. Replace
// entries only while no port is open: the reader thread reads the table
// without a lock.
SystemCalls& PortSystemCalls();
// Puts the real calls back in the table.
void ResetPortSystemCalls();

}  // namespace duelcom
