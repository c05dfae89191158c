// SPDX-License-Identifier: MIT
/* Board support: the system calls the C library makes, for a board with no
 * operating system. Built once per pack into lib/libboard.a.
 *
 *   sbrk      grows the heap, from __heap_start (the end of .bss) to
 *             __heap_end (the memory map's limit: the room kept for the stack,
 *             or the frame buffer), and never past the stack pointer; when
 *             full it gives (void *)-1 with errno ENOMEM, and malloc NULL.
 *   _exit     records the status in __exit_status and stops the board through
 *             __board_stop (lib/crt0.s), where a debugger can break. exit(),
 *             abort() and a failed assert() all end there.
 *   write     passes the bytes for standard output and standard error to
 *             board_write(), which a program may define (for example to drive
 *             a serial port); by default they go nowhere.
 *   read      asks board_read() likewise; by default there is no input.
 *   the rest  answer as a system without files, processes, clock or entropy
 *             does: the call fails and says why in errno. */
#include <errno.h>
#include <signal.h>
#include <stddef.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/times.h>
#include <sys/types.h>

extern char __heap_start[], __heap_end[];
void __board_stop(void) __attribute__((noreturn));

int __exit_status;

/* The program's own console, if it defines these (non-weak). */
__attribute__((weak)) long board_write(int fd, const char *bytes, size_t count)
{
    (void)fd;
    (void)bytes;
    return (long)count;
}

__attribute__((weak)) long board_read(int fd, char *bytes, size_t count)
{
    (void)fd;
    (void)bytes;
    (void)count;
    return 0;
}

void *sbrk(ptrdiff_t increment)
{
    static char *brk = __heap_start;
    char *limit = __heap_end;
    char *stack = __builtin_frame_address(0);
    if (stack > brk && stack < limit)
        limit = stack;
    if (increment > limit - brk || increment < __heap_start - brk) {
        errno = ENOMEM;
        return (void *)-1;
    }
    char *old = brk;
    brk += increment;
    return old;
}

void _exit(int status)
{
    __exit_status = status;
    __board_stop();
}

int kill(int pid, int signal)
{
    if (pid == 1) /* this program: end it, as the signal's default would */
        _exit(128 + signal);
    errno = ESRCH;
    return -1;
}

int getpid(void)
{
    return 1;
}

int write(int fd, const void *bytes, size_t count)
{
    if (fd != 1 && fd != 2) {
        errno = EBADF;
        return -1;
    }
    return (int)board_write(fd, bytes, count);
}

int read(int fd, void *bytes, size_t count)
{
    if (fd != 0) {
        errno = EBADF;
        return -1;
    }
    return (int)board_read(fd, bytes, count);
}

int isatty(int fd)
{
    if (fd >= 0 && fd <= 2)
        return 1;
    errno = EBADF;
    return 0;
}

int fstat(int fd, struct stat *status)
{
    if (fd < 0 || fd > 2) {
        errno = EBADF;
        return -1;
    }
    status->st_mode = S_IFCHR;
    return 0;
}

int close(int fd)
{
    (void)fd;
    errno = EBADF;
    return -1;
}

off_t lseek(int fd, off_t offset, int whence)
{
    (void)fd;
    (void)offset;
    (void)whence;
    errno = ESPIPE;
    return -1;
}

int open(const char *path, int flags, ...)
{
    (void)path;
    (void)flags;
    errno = ENOENT;
    return -1;
}

int stat(const char *path, struct stat *status)
{
    (void)path;
    (void)status;
    errno = ENOENT;
    return -1;
}

int unlink(const char *path)
{
    (void)path;
    errno = ENOENT;
    return -1;
}

int _rename(const char *old_path, const char *new_path)
{
    (void)old_path;
    (void)new_path;
    errno = ENOENT;
    return -1;
}

int wait(int *status)
{
    (void)status;
    errno = ECHILD;
    return -1;
}

/* No shell: system(NULL) says so with 0. */
int _system(const char *command)
{
    if (command == NULL)
        return 0;
    errno = ENOSYS;
    return -1;
}

static int unsupported(void)
{
    errno = ENOSYS;
    return -1;
}

int link(const char *old_path, const char *new_path)
{
    (void)old_path;
    (void)new_path;
    return unsupported();
}

int mkdir(const char *path, mode_t mode)
{
    (void)path;
    (void)mode;
    return unsupported();
}

int fcntl(int fd, int command, ...)
{
    (void)fd;
    (void)command;
    return unsupported();
}

int execve(const char *path, char *const arguments[], char *const environment[])
{
    (void)path;
    (void)arguments;
    (void)environment;
    return unsupported();
}

int fork(void)
{
    return unsupported();
}

int gettimeofday(struct timeval *time, void *zone)
{
    (void)time;
    (void)zone;
    return unsupported();
}

clock_t times(struct tms *buffer)
{
    (void)buffer;
    return (clock_t)unsupported();
}

int getentropy(void *buffer, size_t length)
{
    (void)buffer;
    (void)length;
    return unsupported();
}

int sigprocmask(int how, const sigset_t *set, sigset_t *old_set)
{
    (void)how;
    (void)set;
    (void)old_set;
    return unsupported();
}
