/* Records, on the calling thread only and while switched on, the calls into the
   operating system that a module's load and unload steps must never make: loading a
   library, creating or joining a thread, and every blocking wait or sleep. The
   functions are defined in the test program, which exports them, so that the
   module's calls reach them before the C library's. Uncontended mutexes are left out:
   the module's own lock taken without waiting is no wait. */
#ifndef AIKTEST_OS_CALL_RECORDER_H
#define AIKTEST_OS_CALL_RECORDER_H

#ifdef __cplusplus
extern "C" {
#endif

/* Starts recording on the calling thread, forgetting what was recorded before. */
void aikRecordOsCalls(int on);
/* The names of the calls recorded on the calling thread, separated by spaces. */
const char* aikRecordedOsCalls(void);
/* The C library's dlopen, past the recording. */
void* aikRealDlopen(const char* file, int mode);

#ifdef __cplusplus
}
#endif

#endif
