// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into the compiler by the fault tests, to act at a known point of a build without timing anything.
// The first time the process opens a file whose path ends with QP_HOOK_AFTER_OPENING, the file or directory
// tree named by QP_HOOK_REMOVE (if set) is removed, then the signal numbered QP_HOOK_SIGNAL (if set) is raised.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int done;

static int endsWith(const char* text, const char* suffix) {
    size_t textLength = strlen(text);
    size_t suffixLength = strlen(suffix);
    return suffixLength <= textLength && strcmp(text + textLength - suffixLength, suffix) == 0;
}

static int removeEntry(const char* path, const struct stat* status, int type, struct FTW* walk) {
    (void)status;
    (void)walk;
    return type == FTW_DP ? rmdir(path) : unlink(path);
}

static void opened(const char* path) {
    const char* trigger = getenv("QP_HOOK_AFTER_OPENING");
    if (done || path == NULL || trigger == NULL || !endsWith(path, trigger)) return;
    done = 1;
    const char* victim = getenv("QP_HOOK_REMOVE");
    if (victim != NULL) nftw(victim, removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    const char* signalNumber = getenv("QP_HOOK_SIGNAL");
    if (signalNumber != NULL) raise(atoi(signalNumber));
}

static mode_t modeArgument(int flags, va_list arguments) {
    return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(arguments, int) : 0;
}

#define FORWARD_OPEN(name)                                                                \
    int name(const char* path, int flags, ...) {                                          \
        static int (*real)(const char*, int, ...);                                        \
        if (real == NULL) real = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, #name); \
        va_list arguments;                                                                \
        va_start(arguments, flags);                                                       \
        mode_t mode = modeArgument(flags, arguments);                                     \
        va_end(arguments);                                                                \
        int result = real(path, flags, mode);                                             \
        opened(path);                                                                     \
        return result;                                                                    \
    }

#define FORWARD_OPENAT(name)                                                                   \
    int name(int directory, const char* path, int flags, ...) {                                \
        static int (*real)(int, const char*, int, ...);                                        \
        if (real == NULL) real = (int (*)(int, const char*, int, ...))dlsym(RTLD_NEXT, #name); \
        va_list arguments;                                                                     \
        va_start(arguments, flags);                                                            \
        mode_t mode = modeArgument(flags, arguments);                                          \
        va_end(arguments);                                                                     \
        int result = real(directory, path, flags, mode);                                       \
        opened(path);                                                                          \
        return result;                                                                         \
    }

#define FORWARD_FOPEN(name)                                                                      \
    FILE* name(const char* path, const char* mode) {                                             \
        static FILE* (*real)(const char*, const char*);                                          \
        if (real == NULL) real = (FILE * (*)(const char*, const char*)) dlsym(RTLD_NEXT, #name); \
        FILE* result = real(path, mode);                                                         \
        opened(path);                                                                            \
        return result;                                                                           \
    }

FORWARD_OPEN(open)
FORWARD_OPEN(open64)
FORWARD_OPENAT(openat)
FORWARD_OPENAT(openat64)
FORWARD_FOPEN(fopen)
FORWARD_FOPEN(fopen64)
