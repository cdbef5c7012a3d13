/* The thread functions used from C: the static initializers, once, create/join with the
   attribute word, and destruction. */
#include <tessera/varn_pthread.h>

#include <stddef.h>

static varn_pthread_mutex_t g_mutex = VARN_PTHREAD_MUTEX_INITIALIZER;
static varn_pthread_cond_t g_cond = VARN_PTHREAD_COND_INITIALIZER;
static varn_pthread_once_t g_once = VARN_PTHREAD_ONCE_INIT;
static int g_once_runs = 0;

static void CountRun(void) { ++g_once_runs; }

static void* LockAndReturn(void* argument) {
    varn_pthread_mutex_lock(&g_mutex);
    varn_pthread_cond_signal(&g_cond);
    varn_pthread_mutex_unlock(&g_mutex);
    return argument;
}

/* 0 when every step works, else the number of the first step that failed. */
int tessera_threads_from_c(void) {
    const varn_pthread_attr_t attr = VARN_PTHREAD_ATTR_NO_SHARED;
    varn_pthread_t thread;
    void* value = NULL;
    if (varn_pthread_once(&g_once, CountRun) != 0 || varn_pthread_once(&g_once, CountRun) != 0) return 1;
    if (g_once_runs != 1) return 2;
    if (varn_pthread_create(&thread, &attr, LockAndReturn, (void*)(uintptr_t)42) != 0) return 3;
    if (varn_pthread_join(thread, &value) != 0 || value != (void*)(uintptr_t)42) return 4;
    if (varn_pthread_cond_destroy(&g_cond) != 0 || varn_pthread_mutex_destroy(&g_mutex) != 0) return 5;
    if (g_cond != NULL || g_mutex != NULL) return 6;
    return 0;
}
