/** \file
    POSIX-threads-style functions: threads, recursive mutexes, once-control, thread-specific
    keys and condition variables. Usable from C and C++; the functions have C linkage and
    keep the POSIX names (with the prefix varn_) and argument order.

    ```
    static varn_pthread_mutex_t lock = VARN_PTHREAD_MUTEX_INITIALIZER;
    static int counter = 0;

    static void* work(void* arg) {
        varn_pthread_mutex_lock(&lock);
        ++counter;
        varn_pthread_mutex_unlock(&lock);
        return arg;
    }

    varn_pthread_t thread;
    void* result;
    if (varn_pthread_create(&thread, NULL, work, (void*)7) == 0) {
        varn_pthread_join(thread, &result);   // result == (void*)7, counter == 1
    }
    ```

    Results are 0 on success and -1 on failure, never an errno value; the only POSIX
    numbers returned are VARN_EINVAL (22) from varn_pthread_once and VARN_ETIMEDOUT (60)
    from varn_pthread_cond_timedwait. Arguments are not checked: a null or destroyed
    mutex or condition variable is the caller's fault and is not detected. Every function
    may be called from any thread.

    Mutexes are recursive; condition variables wake their waiters strictly in the order in
    which they began to wait. A thread started here may carry a shared object
    (Varn::SharedObject, C++ only), which the threads it starts inherit. */
#ifndef TESSERA_VARN_PTHREAD_H
#define TESSERA_VARN_PTHREAD_H

#include <stdint.h>

#include <tessera/Export.h>

/** \typedef varn_pthread_t
    A thread id: a 32-bit number, distinct among the threads alive at one time; not a
    handle. */
/** \typedef varn_pthread_attr_t
    Flags for varn_pthread_create; VARN_PTHREAD_ATTR_NO_SHARED is the only one read. */
/** \def VARN_PTHREAD_ATTR_NO_SHARED
    The flag by which a new thread starts without its creator's shared object. */
/** \typedef varn_pthread_mutex_t
    A recursive mutex: a pointer-sized slot holding the library's mutex, or
    VARN_PTHREAD_MUTEX_INITIALIZER until first used, or 0 once destroyed. */
/** \typedef varn_pthread_mutexattr_t
    Mutex attributes; not interpreted. */
/** \typedef varn_pthread_cond_t
    A condition variable: a pointer-sized slot holding the library's condition variable,
    or VARN_PTHREAD_COND_INITIALIZER until first used, or 0 once destroyed. */
/** \typedef varn_pthread_condattr_t
    Condition-variable attributes; not interpreted. */
/** \typedef varn_pthread_key_t
    A thread-specific key, made by varn_pthread_key_create. */
/** \struct varn_pthread_once_t
    The state of one varn_pthread_once control; start it as VARN_PTHREAD_ONCE_INIT and do
    not touch its fields. */
/** \var varn_pthread_once_t::done
    1 once the routine has returned, 0 before. */
/** \var varn_pthread_once_t::counter
    Counts the callers that arrived while the routine had not returned, from -1. */
/** \struct varn_timespec
    An absolute time, the deadline of varn_pthread_cond_timedwait. */
/** \var varn_timespec::tv_sec
    Seconds since 1970-01-01T00:00:00 UTC. */
/** \var varn_timespec::tv_nsec
    Nanoseconds added to tv_sec. */
/** \def VARN_PTHREAD_MUTEX_INITIALIZER
    The value of a statically defined mutex: it is created on its first lock or unlock,
    and needs no varn_pthread_mutex_init. */
/** \def VARN_PTHREAD_COND_INITIALIZER
    The value of a statically defined condition variable: it is created on its first use,
    and needs no varn_pthread_cond_init. */
/** \def VARN_PTHREAD_ONCE_INIT
    The initial value of a varn_pthread_once_t. */
/** \def VARN_ETIMEDOUT
    The result of varn_pthread_cond_timedwait when its deadline has passed. */
/** \def VARN_EINVAL
    The result of varn_pthread_once when an argument is null. */
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

/** An object that a thread shares with the threads it starts, kept alive by a reference
    count of its own. varn_pthread_setshared installs it in the calling thread;
    varn_pthread_create hands the creator's object on to the new thread unless told
    otherwise (VARN_PTHREAD_ATTR_NO_SHARED). The library takes a reference for every
    thread that holds the object, and drops it when the thread installs another object or
    ends through varn_pthread_exit or the return of a routine started by
    varn_pthread_create. It never deletes the object: Release does, when the last
    reference goes, if the object so chooses. */
class SharedObject {
public:
    /** Takes one reference. The library ignores the result. */
    virtual long AddRef() = 0;
    /** Drops one reference. The result is what varn_pthread_setshared returns when it
        replaces this object. */
    virtual long Release() = 0;
};

}  // namespace Varn

extern "C" {
#endif

/** Starts `routine(arg)` on a new thread and stores its id in `*thread`. The new thread
    inherits the calling thread's shared object unless `attr` (which may be null) has
    VARN_PTHREAD_ATTR_NO_SHARED set; no other flag is read. The thread can be joined or
    detached from the moment this returns; its routine's result, cut to 32 bits, is its
    exit code. Returns 0, or -1 if no thread could be started (`*thread` not written). */
TESSERA_API int varn_pthread_create(varn_pthread_t* thread, const varn_pthread_attr_t* attr, void* (*routine)(void*),
                                    void* arg);
/** Waits, without time limit, for `thread` to end and stores its 32-bit exit code in
    `*value` unless `value` is null. Joining removes a thread started here from the
    library's registry; a thread joined already, or started elsewhere, is joined by its
    id, which works only while it still exists. A thread that names itself gets -1 at
    once and stays joinable by others. Returns 0, or -1 when the thread cannot be found
    or waited for (`*value` not written). */
TESSERA_API int varn_pthread_join(varn_pthread_t thread, void** value);
/** Forgets `thread`, started here and neither joined nor detached: it runs on and its
    resources are freed when it ends. Returns 0, or -1 for an id not in the registry
    (joined or detached already, or not started here). */
TESSERA_API int varn_pthread_detach(varn_pthread_t thread);
/** Ends the calling thread with `value`, cut to 32 bits, as its exit code, after
    dropping its reference on its shared object; does not return. */
TESSERA_API void varn_pthread_exit(void* value);
/** The calling thread's id: for a thread started here, the one varn_pthread_create
    stored; any other thread has one too. */
TESSERA_API varn_pthread_t varn_pthread_self(void);
#ifdef __cplusplus
/** The calling thread's shared object, or null; no reference is taken. */
TESSERA_API Varn::SharedObject* varn_pthread_getshared(void);
/** Makes `object` (null for none) the calling thread's shared object, which threads it
    starts from now on inherit: takes a reference on `object`, then drops the one on the
    previous object and returns that Release's result; without a previous object returns
    non-zero when stored, 0 when not. */
TESSERA_API long varn_pthread_setshared(Varn::SharedObject* object);
#else
/** The calling thread's shared object (a Varn::SharedObject), or null. */
TESSERA_API void* varn_pthread_getshared(void);
/** Makes `object`, a Varn::SharedObject made by C++ code, the calling thread's shared
    object; see the C++ declaration. */
TESSERA_API long varn_pthread_setshared(void* object);
#endif

/** Creates a recursive mutex in `*mutex`; `attr` (which may be null) is ignored. A mutex
    defined as VARN_PTHREAD_MUTEX_INITIALIZER needs no call. Initialising a mutex that is
    in use loses it. Returns 0, or -1 (`*mutex` unchanged) when memory runs out. */
TESSERA_API int varn_pthread_mutex_init(varn_pthread_mutex_t* mutex, const varn_pthread_mutexattr_t* attr);
/** Locks `mutex`, waiting while another thread holds it. The holder may lock again, and
    each lock needs its own unlock. Returns 0. */
TESSERA_API int varn_pthread_mutex_lock(varn_pthread_mutex_t* mutex);
/** Releases one level of the calling thread's lock on `mutex`; unlocking a mutex the
    thread does not hold is not detected. Returns 0. */
TESSERA_API int varn_pthread_mutex_unlock(varn_pthread_mutex_t* mutex);
/** Frees `*mutex`, which no thread may hold, and leaves 0 in its slot; harmless on a
    statically defined mutex never used and on one destroyed already. It also destroys a
    condition variable (see varn_pthread_cond_destroy). Returns 0. */
TESSERA_API int varn_pthread_mutex_destroy(varn_pthread_mutex_t* mutex);
/** Does nothing and returns 0: mutex attributes are not interpreted. */
TESSERA_API int varn_pthread_mutexattr_init(varn_pthread_mutexattr_t* attr);
/** Does nothing and returns 0, whatever `type`: mutexes are always recursive. */
TESSERA_API int varn_pthread_mutexattr_settype(varn_pthread_mutexattr_t* attr, int type);
/** Runs `routine` once for `control`, which starts as VARN_PTHREAD_ONCE_INIT: the first
    caller runs it, and callers that arrive meanwhile return only after it has returned.
    Returns 0, or VARN_EINVAL (22) when `control` or `routine` is null. */
TESSERA_API int varn_pthread_once(varn_pthread_once_t* control, void (*routine)(void));
/** Allocates a key under which each thread keeps a pointer of its own (null until it
    sets one) and stores it in `*key`. Per-thread destructors are not supported. Returns
    0, or -1, writing nothing, when `destructor` is not null or no key is left. */
TESSERA_API int varn_pthread_key_create(varn_pthread_key_t* key, void (*destructor)(void*));
/** Frees `key`; the values threads stored under it are not freed. Returns 0, or -1 when
    the platform refuses (a key not allocated). */
TESSERA_API int varn_pthread_key_delete(varn_pthread_key_t key);
/** Stores `value` as the calling thread's value under `key`. Returns 0, or -1 when the
    platform refuses (a key not allocated). */
TESSERA_API int varn_pthread_setspecific(varn_pthread_key_t key, const void* value);
/** The calling thread's value under `key`; null if it never stored one. */
TESSERA_API void* varn_pthread_getspecific(varn_pthread_key_t key);

/** Creates a condition variable in `*cond`; `attr` (which may be null) is ignored. One
    defined as VARN_PTHREAD_COND_INITIALIZER needs no call. Returns 0, or -1 when memory
    runs out. */
TESSERA_API int varn_pthread_cond_init(varn_pthread_cond_t* cond, const varn_pthread_condattr_t* attr);
/** Releases one level of `mutex`, which the calling thread holds, waits for a signal or
    broadcast on `cond`, and locks `mutex` again before it returns. A thread holding
    `mutex` recursively keeps its other levels while it waits. As with POSIX threads,
    test the awaited condition again in a loop. Returns 0. */
TESSERA_API int varn_pthread_cond_wait(varn_pthread_cond_t* cond, varn_pthread_mutex_t* mutex);
/** As varn_pthread_cond_wait, but gives up once `deadline` has passed: an absolute UTC
    time, rounded to the millisecond. Returns 0 when woken, VARN_ETIMEDOUT (60) on
    time-out; `mutex` is locked again either way. A deadline in the past times out at
    once; one more than about 24.8 days ahead is not supported. */
TESSERA_API int varn_pthread_cond_timedwait(varn_pthread_cond_t* cond, varn_pthread_mutex_t* mutex,
                                            const varn_timespec* deadline);
/** Wakes the thread that has waited longest on `cond`, if any; a signal with no thread
    waiting is lost. Returns 0. */
TESSERA_API int varn_pthread_cond_signal(varn_pthread_cond_t* cond);
/** Wakes every thread waiting on `cond` now; threads that begin to wait later wait for
    the next signal or broadcast. Returns 0. */
TESSERA_API int varn_pthread_cond_broadcast(varn_pthread_cond_t* cond);
/** Frees `*cond` and leaves 0 in its slot; threads still waiting on it are not woken, so
    destroy it only when none waits. The same function as varn_pthread_mutex_destroy.
    Returns 0. */
TESSERA_API int varn_pthread_cond_destroy(varn_pthread_cond_t* cond);

#ifdef __cplusplus
}
#endif

#endif /* TESSERA_VARN_PTHREAD_H */
