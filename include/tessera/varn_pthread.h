/* POSIX-threads-style functions: threads, recursive mutexes, once-control, thread-specific
   keys and condition variables. Usable from C and C++; the functions have C linkage.
   Results are 0 on success and -1 on failure, except where noted. */
#ifndef TESSERA_VARN_PTHREAD_H
#define TESSERA_VARN_PTHREAD_H

#include <stdint.h>

#include <tessera/Export.h>

/* clang-format off */
typedef uint32_t varn_pthread_t;               /* the platform's thread id */
typedef uint32_t varn_pthread_attr_t;          /* flags word */
#define VARN_PTHREAD_ATTR_NO_SHARED 0x4000     /* new thread does not inherit the shared object */
typedef void*    varn_pthread_mutex_t;         /* pointer-sized slot */
typedef int      varn_pthread_mutexattr_t;
typedef void*    varn_pthread_cond_t;          /* pointer-sized slot */
typedef int      varn_pthread_condattr_t;
typedef uint32_t varn_pthread_key_t;
typedef struct { int32_t done; int32_t counter; } varn_pthread_once_t;
typedef struct { int32_t tv_sec; int32_t tv_nsec; } varn_timespec;

/* A mutex or condition variable holding this value is created on its first use. */
#define VARN_PTHREAD_MUTEX_INITIALIZER ((varn_pthread_mutex_t)~(uintptr_t)0)
#define VARN_PTHREAD_COND_INITIALIZER  ((varn_pthread_cond_t)~(uintptr_t)0)
#define VARN_PTHREAD_ONCE_INIT         { 0, -1 }
#define VARN_ETIMEDOUT 60
#define VARN_EINVAL    22
/* clang-format on */

#ifdef __cplusplus
namespace Varn {

/// An object shared by a thread and the threads it starts; it counts its own references
/// and the library never deletes it.
class SharedObject {
public:
    virtual long AddRef() = 0;
    virtual long Release() = 0;
};

}  // namespace Varn

extern "C" {
#endif

/* Starts `routine(arg)` on a new thread and stores its id in `*thread`. */
TESSERA_API int varn_pthread_create(varn_pthread_t* thread, const varn_pthread_attr_t* attr, void* (*routine)(void*),
                                    void* arg);
/* Waits for a thread to end; stores its 32-bit exit code in `*value` unless null. */
TESSERA_API int varn_pthread_join(varn_pthread_t thread, void** value);
/* Forgets a thread started here; it runs on but can no longer be joined through its entry. */
TESSERA_API int varn_pthread_detach(varn_pthread_t thread);
/* Ends the calling thread with `value` as its exit code. */
TESSERA_API void varn_pthread_exit(void* value);
/* The calling thread's id. */
TESSERA_API varn_pthread_t varn_pthread_self(void);
#ifdef __cplusplus
/* The calling thread's shared object, or null. */
TESSERA_API Varn::SharedObject* varn_pthread_getshared(void);
/* Replaces the calling thread's shared object, taking a reference on the new one. */
TESSERA_API long varn_pthread_setshared(Varn::SharedObject* object);
#else
TESSERA_API void* varn_pthread_getshared(void);
TESSERA_API long varn_pthread_setshared(void* object);
#endif

/* Creates a recursive mutex; the attribute is ignored. */
TESSERA_API int varn_pthread_mutex_init(varn_pthread_mutex_t* mutex, const varn_pthread_mutexattr_t* attr);
/* Locks a mutex; the owner may lock again, and each lock needs its own unlock. */
TESSERA_API int varn_pthread_mutex_lock(varn_pthread_mutex_t* mutex);
/* Releases one level of a mutex. */
TESSERA_API int varn_pthread_mutex_unlock(varn_pthread_mutex_t* mutex);
/* Frees a mutex or a condition variable and leaves 0 in its slot. */
TESSERA_API int varn_pthread_mutex_destroy(varn_pthread_mutex_t* mutex);
/* Does nothing and returns 0. */
TESSERA_API int varn_pthread_mutexattr_init(varn_pthread_mutexattr_t* attr);
/* Does nothing and returns 0. */
TESSERA_API int varn_pthread_mutexattr_settype(varn_pthread_mutexattr_t* attr, int type);
/* Runs `routine` once per control; 22 when an argument is null. */
TESSERA_API int varn_pthread_once(varn_pthread_once_t* control, void (*routine)(void));
/* Allocates a thread-specific key; fails when a destructor is given. */
TESSERA_API int varn_pthread_key_create(varn_pthread_key_t* key, void (*destructor)(void*));
/* Frees a thread-specific key. */
TESSERA_API int varn_pthread_key_delete(varn_pthread_key_t key);
/* Sets the calling thread's value under a key. */
TESSERA_API int varn_pthread_setspecific(varn_pthread_key_t key, const void* value);
/* The calling thread's value under a key, null if never set. */
TESSERA_API void* varn_pthread_getspecific(varn_pthread_key_t key);

/* Creates a condition variable; the attribute is ignored. */
TESSERA_API int varn_pthread_cond_init(varn_pthread_cond_t* cond, const varn_pthread_condattr_t* attr);
/* Releases one level of `mutex`, waits for a signal, then locks `mutex` again. */
TESSERA_API int varn_pthread_cond_wait(varn_pthread_cond_t* cond, varn_pthread_mutex_t* mutex);
/* As varn_pthread_cond_wait, but returns 60 once `deadline` (UTC since 1970) has passed. */
TESSERA_API int varn_pthread_cond_timedwait(varn_pthread_cond_t* cond, varn_pthread_mutex_t* mutex,
                                            const varn_timespec* deadline);
/* Wakes the longest-waiting thread, if any. */
TESSERA_API int varn_pthread_cond_signal(varn_pthread_cond_t* cond);
/* Wakes every thread waiting now. */
TESSERA_API int varn_pthread_cond_broadcast(varn_pthread_cond_t* cond);
/* Frees a condition variable and leaves 0 in its slot; waiters are not woken. */
TESSERA_API int varn_pthread_cond_destroy(varn_pthread_cond_t* cond);

#ifdef __cplusplus
}
#endif

#endif /* TESSERA_VARN_PTHREAD_H */
