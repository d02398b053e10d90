/* Written in C: the C library's C++ declarations of these functions carry exception
   specifications that a definition here would have to repeat exactly. */
#define _GNU_SOURCE
#include "tests/hardening/os_call_recorder.h"

#include <dlfcn.h>
#include <poll.h>
#include <pthread.h>
#include <semaphore.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/epoll.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>

static _Thread_local int t_recording;
static _Thread_local char t_recorded[512];

static void Record(const char* name) {
    if (!t_recording)
        return;
    const size_t used = strlen(t_recorded);
    snprintf(t_recorded + used, sizeof t_recorded - used, "%s%s", used ? " " : "", name);
}

void aikRecordOsCalls(int on) {
    t_recording = on;
    if (on)
        t_recorded[0] = '\0';
}

const char* aikRecordedOsCalls(void) {
    return t_recorded;
}

/* The next definition of name in the lookup order: the C library's. */
#define REAL(name) ((__typeof__(&name))(uintptr_t)dlsym(RTLD_NEXT, #name))

void* aikRealDlopen(const char* file, int mode) {
    return REAL(dlopen)(file, mode);
}

/* A recorded function: its return type, name, parameters and their names. */
#define RECORDED(type, name, parameters, arguments)                                                          \
    type name parameters {                                                                                   \
        Record(#name);                                                                                       \
        return REAL(name) arguments;                                                                         \
    }

RECORDED(void*, dlopen, (const char* file, int mode), (file, mode))
RECORDED(void*, dlmopen, (Lmid_t space, const char* file, int mode), (space, file, mode))
RECORDED(int, pthread_create,
         (pthread_t * thread, const pthread_attr_t* attributes, void* (*start)(void*), void* argument),
         (thread, attributes, start, argument))
RECORDED(int, pthread_join, (pthread_t thread, void** result), (thread, result))
RECORDED(int, pthread_cond_wait, (pthread_cond_t * condition, pthread_mutex_t* mutex), (condition, mutex))
RECORDED(int, pthread_cond_timedwait,
         (pthread_cond_t * condition, pthread_mutex_t* mutex, const struct timespec* until),
         (condition, mutex, until))
RECORDED(int, pthread_cond_clockwait,
         (pthread_cond_t * condition, pthread_mutex_t* mutex, clockid_t clock, const struct timespec* until),
         (condition, mutex, clock, until))
RECORDED(int, sem_wait, (sem_t * semaphore), (semaphore))
RECORDED(int, sem_timedwait, (sem_t * semaphore, const struct timespec* until), (semaphore, until))
RECORDED(int, poll, (struct pollfd * descriptors, nfds_t count, int timeoutMs),
         (descriptors, count, timeoutMs))
RECORDED(int, ppoll,
         (struct pollfd * descriptors, nfds_t count, const struct timespec* timeout, const sigset_t* mask),
         (descriptors, count, timeout, mask))
RECORDED(int, select,
         (int count, fd_set* readable, fd_set* writable, fd_set* failed, struct timeval* timeout),
         (count, readable, writable, failed, timeout))
RECORDED(int, epoll_wait, (int epoll, struct epoll_event* events, int count, int timeoutMs),
         (epoll, events, count, timeoutMs))
RECORDED(int, nanosleep, (const struct timespec* duration, struct timespec* left), (duration, left))
RECORDED(int, clock_nanosleep,
         (clockid_t clock, int flags, const struct timespec* duration, struct timespec* left),
         (clock, flags, duration, left))
RECORDED(int, usleep, (useconds_t microseconds), (microseconds))
RECORDED(unsigned int, sleep, (unsigned int seconds), (seconds))
