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

void aikRecordedOsCalls(char* names, size_t size) {
    snprintf(names, size, "%s", t_recorded);
}

/* The next definition of name in the lookup order: the C library's. */
#define REAL(name) ((__typeof__(&name))(uintptr_t)dlsym(RTLD_NEXT, #name))

void* aikRealDlopen(const char* file, int mode) {
    return REAL(dlopen)(file, mode);
}

int aikRealDlclose(void* handle) {
    return REAL(dlclose)(handle);
}

void* dlopen(const char* file, int mode) {
    Record("dlopen");
    return REAL(dlopen)(file, mode);
}

void* dlmopen(Lmid_t namespaceId, const char* file, int mode) {
    Record("dlmopen");
    return REAL(dlmopen)(namespaceId, file, mode);
}

int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                   void* argument) {
    Record("pthread_create");
    return REAL(pthread_create)(thread, attributes, start, argument);
}

int pthread_join(pthread_t thread, void** result) {
    Record("pthread_join");
    return REAL(pthread_join)(thread, result);
}

int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex) {
    Record("pthread_cond_wait");
    return REAL(pthread_cond_wait)(condition, mutex);
}

int pthread_cond_timedwait(pthread_cond_t* condition, pthread_mutex_t* mutex, const struct timespec* until) {
    Record("pthread_cond_timedwait");
    return REAL(pthread_cond_timedwait)(condition, mutex, until);
}

int pthread_cond_clockwait(pthread_cond_t* condition, pthread_mutex_t* mutex, clockid_t clock,
                           const struct timespec* until) {
    Record("pthread_cond_clockwait");
    return REAL(pthread_cond_clockwait)(condition, mutex, clock, until);
}

int sem_wait(sem_t* semaphore) {
    Record("sem_wait");
    return REAL(sem_wait)(semaphore);
}

int sem_timedwait(sem_t* semaphore, const struct timespec* until) {
    Record("sem_timedwait");
    return REAL(sem_timedwait)(semaphore, until);
}

int poll(struct pollfd* descriptors, nfds_t count, int timeoutMs) {
    Record("poll");
    return REAL(poll)(descriptors, count, timeoutMs);
}

int ppoll(struct pollfd* descriptors, nfds_t count, const struct timespec* timeout, const sigset_t* mask) {
    Record("ppoll");
    return REAL(ppoll)(descriptors, count, timeout, mask);
}

int select(int count, fd_set* readable, fd_set* writable, fd_set* failed, struct timeval* timeout) {
    Record("select");
    return REAL(select)(count, readable, writable, failed, timeout);
}

int epoll_wait(int epoll, struct epoll_event* events, int count, int timeoutMs) {
    Record("epoll_wait");
    return REAL(epoll_wait)(epoll, events, count, timeoutMs);
}

int nanosleep(const struct timespec* duration, struct timespec* left) {
    Record("nanosleep");
    return REAL(nanosleep)(duration, left);
}

int clock_nanosleep(clockid_t clock, int flags, const struct timespec* duration, struct timespec* left) {
    Record("clock_nanosleep");
    return REAL(clock_nanosleep)(clock, flags, duration, left);
}

int usleep(useconds_t microseconds) {
    Record("usleep");
    return REAL(usleep)(microseconds);
}

unsigned int sleep(unsigned int seconds) {
    Record("sleep");
    return REAL(sleep)(seconds);
}
